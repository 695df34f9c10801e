#include "package_writer.h"

#include "channel_archive.h"
#include "jpeg_header.h"
#include "package_files.h"

#include <cctype>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

const char kWrapperFileName[] = "GameWrapper.exe";

namespace {

struct Plan {
    std::string wrapper;
    std::string exeName;
    std::string settingsText;
    ArchiveEntries channel;
};

std::string CheckProgram(const char* what, const std::string& path) {
    std::string bytes;
    if (!ReadBytes(path, &bytes)) {
        return std::string(what) + " " + path + ": no such file";
    }
    if (bytes.size() < 64 || bytes.compare(0, 2, "MZ") != 0) {
        return std::string(what) + " " + path + ": is not a Windows program";
    }
    return "";
}

// Reads a JPEG into bytes; size checked when width is not 0.
std::string CheckJpeg(const char* what, const std::string& path, int width, int height,
                      std::string* bytes) {
    if (!ReadBytes(path, bytes)) {
        return std::string(what) + " " + path + ": no such file";
    }
    JpegInfo info;
    std::string problem = ReadJpegHeader(*bytes, &info);
    if (!problem.empty()) {
        return std::string(what) + " " + path + ": " + problem;
    }
    if (width != 0 && (info.width != width || info.height != height)) {
        return std::string(what) + " " + path + ": is " + std::to_string(info.width) + "x" +
               std::to_string(info.height) + ", not " + std::to_string(width) + "x" +
               std::to_string(height);
    }
    return "";
}

bool EndsWithExe(const std::string& name) {
    if (name.size() <= 4) {
        return false;
    }
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) {
        c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    return tail == ".exe";
}

std::string CheckSettingsRoundTrip(const std::string& text, const std::vector<Setting>& settings) {
    for (const Setting& setting : settings) {
        std::string read;
        FindSettingValue(text, setting.key->key, &read);
        if (read != setting.value) {
            return std::string("option ") + setting.key->option + ": the wrapper would read \"" +
                   read + "\" instead, because another value holds its key \"" + setting.key->key +
                   "\"";
        }
    }
    return "";
}

std::string MakePlan(const PackageRequest& request, const std::string& packagerFolder, Plan* plan) {
    plan->wrapper = request.wrapper.empty() ? (fs::path(packagerFolder) / kWrapperFileName).string()
                                            : request.wrapper;
    std::string problem = CheckProgram("wrapper", plan->wrapper);
    if (problem.empty()) {
        problem = CheckProgram("game", request.game);
    }
    if (problem.empty()) {
        problem = CheckProgram("services module", request.services);
    }
    if (!problem.empty()) {
        return problem;
    }
    plan->exeName =
        request.exeName.empty() ? fs::path(plan->wrapper).filename().string() : request.exeName;
    if (!EndsWithExe(plan->exeName) || plan->exeName.find_first_of("/\\:") != std::string::npos) {
        return "option --exe: \"" + plan->exeName + "\" is not a file name ending in .exe";
    }
    std::string bytes;
    for (const char* skin : kSkinFiles) {
        problem = CheckJpeg("skin file", (fs::path(request.skin) / skin).string(), 0, 0, &bytes);
        if (!problem.empty()) {
            return problem;
        }
    }
    if (!request.logo.empty()) {
        problem = CheckJpeg("logo", request.logo, kLogoWidth, kLogoHeight, &bytes);
        if (!problem.empty()) {
            return problem;
        }
        plan->channel.push_back({kLogoEntry, bytes});
    }
    if (!request.mask.empty()) {
        problem = CheckJpeg("mask", request.mask, kLogoWidth, kLogoHeight, &bytes);
        if (!problem.empty()) {
            return problem;
        }
        plan->channel.push_back({kMaskEntry, bytes});
    }
    plan->settingsText = SettingsText(request.settings);
    problem = CheckSettingsRoundTrip(plan->settingsText, request.settings);
    if (!problem.empty()) {
        return problem;
    }
    std::error_code error;
    if (fs::exists(request.out, error) || fs::exists(request.out + ".partial", error)) {
        return "output folder " + request.out + ": exists already";
    }
    fs::path parent = fs::absolute(request.out, error).parent_path();
    if (!fs::is_directory(parent, error)) {
        return "output folder " + request.out + ": its parent folder does not exist";
    }
    if (!request.zip.empty() && fs::exists(request.zip, error)) {
        return "archive " + request.zip + ": exists already";
    }
    if (!request.zip.empty() && !fs::is_directory(fs::absolute(request.zip).parent_path(), error)) {
        return "archive " + request.zip + ": its folder does not exist";
    }
    return "";
}

bool WriteText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), std::streamsize(text.size()));
    return bool(out);
}

// Into staging, a sibling of the output folder renamed into place at the end.
std::string WriteStaged(const PackageRequest& request, const Plan& plan, const fs::path& staging) {
    std::error_code error;
    fs::path data = staging / kDataFolder;
    if (!fs::create_directories(data, error)) {
        return "output folder " + staging.string() + ": cannot be created";
    }
    const std::pair<std::string, fs::path> copies[] = {
        {plan.wrapper, staging / plan.exeName},
        {request.game, staging / GameNameFor(plan.exeName)},
        {request.services, data / kServicesFile},
    };
    for (const auto& copy : copies) {
        if (!fs::copy_file(copy.first, copy.second, error)) {
            return "file " + copy.second.string() + ": cannot be written";
        }
    }
    for (const char* skin : kSkinFiles) {
        if (!fs::copy_file(fs::path(request.skin) / skin, data / skin, error)) {
            return "file " + (data / skin).string() + ": cannot be written";
        }
    }
    if (!WriteText(data / kSettingsFile, plan.settingsText)) {
        return "file " + (data / kSettingsFile).string() + ": cannot be written";
    }
    if (!plan.channel.empty() &&
        !WriteStoredArchive(fs::absolute(data / kChannelFile).string(), plan.channel)) {
        return "file " + (data / kChannelFile).string() + ": cannot be written";
    }
    return "";
}

// Every file of the folder, named as inside it with forward slashes.
std::string WriteFolderArchive(const fs::path& folder, const std::string& zip) {
    ArchiveEntries entries;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(folder, error)) {
        std::string bytes;
        if (entry.is_regular_file(error) && ReadBytes(entry.path().string(), &bytes)) {
            entries.push_back({fs::relative(entry.path(), folder).generic_string(), bytes});
        }
    }
    if (error || !WriteStoredArchive(fs::absolute(zip).string(), entries)) {
        return "archive " + zip + ": cannot be written";
    }
    return "";
}

} // namespace

std::string WritePackage(const PackageRequest& given, const std::string& packagerFolder) {
    // "out/" must not stage into "out/.partial".
    PackageRequest request = given;
    while (request.out.size() > 1 && (request.out.back() == '/' || request.out.back() == '\\')) {
        request.out.pop_back();
    }
    Plan plan;
    std::string problem = MakePlan(request, packagerFolder, &plan);
    if (!problem.empty()) {
        return problem;
    }
    fs::path staging = request.out + ".partial";
    problem = WriteStaged(request, plan, staging);
    if (problem.empty() && !request.zip.empty()) {
        problem = WriteFolderArchive(staging, request.zip);
    }
    std::error_code error;
    if (problem.empty()) {
        fs::rename(staging, request.out, error);
        if (error) {
            problem = "output folder " + request.out + ": cannot be created";
        }
    }
    if (!problem.empty()) {
        fs::remove_all(staging, error);
        if (!request.zip.empty()) {
            fs::remove(request.zip, error);
        }
    }
    return problem;
}
