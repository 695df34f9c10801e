// The settings file the wrapper reads: the keys it knows, how a value is
// checked before it is written, and how the wrapper finds a value again.
#pragma once

#include <string>
#include <vector>

enum class SettingKind { Text, Integer, Colour, Flag };

struct SettingKey {
    const char* option; // the packager's command-line option
    const char* key;    // as the wrapper searches for it, "=" included
    SettingKind kind;
    const char* defaultValue; // what the wrapper uses when the key is missing
    bool required;
};

const std::vector<SettingKey>& SettingKeys();
const SettingKey* FindSettingOption(const std::string& option);

// Values the wrapper reads whole are at most this long.
constexpr size_t kMaxSettingValue = 254;

// Empty when value suits kind, otherwise the problem.
std::string CheckSettingValue(SettingKind kind, const std::string& value);

// The wrapper's lookup: the key's first occurrence anywhere in the text, the
// value up to the next line feed less the character before it, cut to 254.
bool FindSettingValue(const std::string& text, const std::string& key, std::string* value);

// What the wrapper makes of a value it found, as text.
std::string InterpretSetting(SettingKind kind, const std::string& value);

struct Setting {
    const SettingKey* key;
    std::string value;
};

// One "key=value" line per setting, each ended by CR LF.
std::string SettingsText(const std::vector<Setting>& settings);
