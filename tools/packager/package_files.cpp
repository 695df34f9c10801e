#include "package_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>

const char kDataFolder[] = "TarvelArcade";
const char kSettingsFile[] = "QOX_002.wdt";
const char kChannelFile[] = "Channel.dat";
const char kServicesFile[] = "TarvelArcade.dll";
const char kLogoEntry[] = "Branding.jpg";
const char kMaskEntry[] = "BrandingMask.jpg";
const char* const kSkinFiles[4] = {"Background.jpg", "button_normal.jpg", "button_hover.jpg",
                                   "button_pressed.jpg"};

bool ReadBytes(const std::string& path, std::string* bytes) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string GameNameFor(const std::string& exeName) {
    return exeName.substr(0, exeName.size() < 3 ? 0 : exeName.size() - 3) + "QXG";
}
