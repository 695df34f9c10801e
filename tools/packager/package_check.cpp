#include "package_check.h"

#include "channel_archive.h"
#include "jpeg_header.h"
#include "package_files.h"
#include "settings.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Windows finds files whatever their case.
bool HasFile(const fs::path& folder, const std::string& name) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error) &&
            Lower(entry.path().filename().string()) == Lower(name)) {
            return true;
        }
    }
    return false;
}

void Fail(CheckReport* report, const std::string& line) {
    report->text += line + "\n";
    report->wouldStart = false;
}

void CheckGame(const fs::path& folder, CheckReport* report) {
    std::vector<std::string> wrappers;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && Lower(entry.path().extension().string()) == ".exe" &&
            Lower(name) != "packager.exe" && Lower(name) != "qox_001.exe") {
            wrappers.push_back(name);
        }
    }
    std::sort(wrappers.begin(), wrappers.end());
    if (wrappers.empty()) {
        Fail(report, "no wrapper: the folder holds no .exe file");
    }
    for (const std::string& wrapper : wrappers) {
        std::string game = GameNameFor(wrapper);
        if (HasFile(folder, game)) {
            report->text += "wrapper " + wrapper + " starts " + game + "\n";
        } else if (HasFile(folder, "QOX_001.exe")) {
            report->text +=
                "wrapper " + wrapper + " finds no " + game + " and starts QOX_001.exe\n";
        } else {
            Fail(report, "wrapper " + wrapper + " finds no " + game +
                             " and no QOX_001.exe: the game cannot start");
        }
    }
}

void CheckSettings(const fs::path& data, CheckReport* report) {
    std::string text;
    if (!ReadBytes((data / kSettingsFile).string(), &text)) {
        Fail(report, std::string("settings ") + kDataFolder + "\\" + kSettingsFile +
                         ": missing, the wrapper stops with \"Could not get file size\"");
        return;
    }
    report->text += std::string("settings ") + kDataFolder + "\\" + kSettingsFile + ":\n";
    for (const SettingKey& key : SettingKeys()) {
        std::string value;
        if (FindSettingValue(text, key.key, &value)) {
            report->text += std::string("  ") + key.key + InterpretSetting(key.kind, value) + "\n";
        } else {
            report->text += std::string("  ") + key.key + key.defaultValue + " (default)\n";
        }
    }
}

void CheckSkin(const fs::path& data, CheckReport* report) {
    for (const char* skin : kSkinFiles) {
        std::string bytes;
        JpegInfo info;
        std::string line = std::string("skin ") + skin + ": ";
        if (!ReadBytes((data / skin).string(), &bytes)) {
            Fail(report, line + "missing, the wrapper stops with \"Can't Load '" + skin + "'\"");
        } else if (bytes.empty()) {
            report->text += line + "empty, nothing is drawn\n";
        } else {
            std::string problem = ReadJpegHeader(bytes, &info);
            if (problem.empty()) {
                report->text +=
                    line + std::to_string(info.width) + "x" + std::to_string(info.height) + "\n";
            } else {
                Fail(report,
                     line + problem + ", the wrapper stops with \"Can't Load '" + skin + "'\"");
            }
        }
    }
}

// Empty when the entry is a usable branding image, otherwise why not.
std::string BrandingProblem(const std::string& archive, const char* entry) {
    std::string bytes;
    if (!ReadArchiveEntry(archive, entry, &bytes)) {
        return std::string("no entry ") + entry;
    }
    JpegInfo info;
    std::string problem = ReadJpegHeader(bytes, &info);
    if (!problem.empty()) {
        return std::string(entry) + " " + problem;
    }
    if (info.width != kLogoWidth || info.height != kLogoHeight) {
        return std::string(entry) + " is " + std::to_string(info.width) + "x" +
               std::to_string(info.height) + ", not 245x120";
    }
    return "";
}

void CheckBranding(const fs::path& data, CheckReport* report) {
    std::string archive = fs::absolute(data / kChannelFile).string();
    std::string line = std::string("branding ") + kChannelFile + ": ";
    std::string bytes;
    if (!ReadBytes(archive, &bytes)) {
        report->text += line + "missing, no branding\n";
        return;
    }
    std::string logo = BrandingProblem(archive, kLogoEntry);
    if (!logo.empty()) {
        report->text += line + logo + ", no branding\n";
        return;
    }
    std::string mask = BrandingProblem(archive, kMaskEntry);
    report->text +=
        line + kLogoEntry + " shown" +
        (mask.empty() ? std::string(" through ") + kMaskEntry : ", unmasked (" + mask + ")") + "\n";
}

} // namespace

CheckReport CheckPackage(const std::string& folder) {
    CheckReport report;
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        Fail(&report, "folder " + folder + ": does not exist");
        return report;
    }
    fs::path data = fs::path(folder) / kDataFolder;
    CheckGame(folder, &report);
    CheckSettings(data, &report);
    CheckSkin(data, &report);
    CheckBranding(data, &report);
    std::string services;
    if (ReadBytes((data / kServicesFile).string(), &services)) {
        report.text += std::string("services ") + kServicesFile + ": present\n";
    } else {
        Fail(&report, std::string("services ") + kServicesFile + ": missing");
    }
    return report;
}
