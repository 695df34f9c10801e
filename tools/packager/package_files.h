// The names inside a wrapped folder and the file reads both the writer and
// the checker need.
#pragma once

#include <string>

extern const char kDataFolder[];
extern const char kSettingsFile[];
extern const char kChannelFile[];
extern const char kServicesFile[];
extern const char kLogoEntry[];
extern const char kMaskEntry[];
extern const char* const kSkinFiles[4];
// The branding is used only at exactly this size.
constexpr int kLogoWidth = 245;
constexpr int kLogoHeight = 120;

// False when path is no readable regular file.
bool ReadBytes(const std::string& path, std::string* bytes);

// The game file the wrapper named exeName looks for first: its last three
// characters replaced by "QXG".
std::string GameNameFor(const std::string& exeName);
