#include "settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const std::vector<SettingKey>& SettingKeys() {
    static const std::vector<SettingKey> keys = {
        {"--name", "Application Name=", SettingKind::Text, "", true},
        {"--id", "Application ID=", SettingKind::Integer, "0", true},
        {"--channel", "Developer Channel ID=", SettingKind::Integer, "0", true},
        {"--font-color-app", "Font Color App Name=", SettingKind::Colour, "000000", false},
        {"--font-color-description", "Font Color Wrapper Description=", SettingKind::Colour,
         "000000", false},
        {"--font-color-buttons", "Font Color Buttons=", SettingKind::Colour, "000000", false},
        {"--font-color-build", "Font Color Build=", SettingKind::Colour, "C3C3C3", false},
        {"--build-x", "Build X=", SettingKind::Integer, "450", false},
        {"--build-y", "Build Y=", SettingKind::Integer, "510", false},
        {"--brand-x", "Brand X=", SettingKind::Integer, "9", false},
        {"--brand-y", "Brand Y=", SettingKind::Integer, "22", false},
        {"--multithreaded-ui", "Multithreaded Game UI=", SettingKind::Flag, "false", false},
    };
    return keys;
}

const SettingKey* FindSettingOption(const std::string& option) {
    for (const SettingKey& key : SettingKeys()) {
        if (option == key.option) {
            return &key;
        }
    }
    return nullptr;
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string CheckInteger(const std::string& value) {
    size_t start = !value.empty() && value[0] == '-' ? 1 : 0;
    if (value.size() == start) {
        return "is not a number";
    }
    for (size_t i = start; i < value.size(); ++i) {
        if (!IsDigit(value[i])) {
            return "is not a whole decimal number";
        }
    }
    // The wrapper reads 32-bit numbers.
    if (value.size() - start > 10 || std::strtoll(value.c_str(), nullptr, 10) > 2147483647LL ||
        std::strtoll(value.c_str(), nullptr, 10) < -2147483648LL) {
        return "does not fit a 32-bit number";
    }
    return "";
}

} // namespace

std::string CheckSettingValue(SettingKind kind, const std::string& value) {
    switch (kind) {
    case SettingKind::Text:
        if (value.empty()) {
            return "is empty";
        }
        if (value.size() > kMaxSettingValue) {
            return "is longer than 254 characters";
        }
        for (char c : value) {
            if (c == '\r' || c == '\n' || c == 0) {
                return "holds a line break";
            }
        }
        return "";
    case SettingKind::Integer:
        return CheckInteger(value);
    case SettingKind::Colour:
        if (value.size() != 6) {
            return "is not a colour of six hexadecimal digits RRGGBB";
        }
        for (char c : value) {
            if (!IsHexDigit(c)) {
                return "is not a colour of six hexadecimal digits RRGGBB";
            }
        }
        return "";
    case SettingKind::Flag:
        return value == "0" || value == "1" ? "" : "is neither 0 nor 1";
    }
    return "";
}

bool FindSettingValue(const std::string& text, const std::string& key, std::string* value) {
    // A NUL byte ends the text for every lookup.
    std::string searched = text.substr(0, text.find('\0'));
    size_t at = searched.find(key);
    if (at == std::string::npos) {
        value->clear();
        return false;
    }
    size_t start = at + key.size();
    size_t end = searched.find('\n', start);
    size_t length = end == std::string::npos ? searched.size() - start : end - start;
    // The character before the line feed is dropped whatever it is.
    if (end != std::string::npos && length > 0) {
        --length;
    }
    *value = searched.substr(start, length < kMaxSettingValue ? length : kMaxSettingValue);
    return true;
}

std::string InterpretSetting(SettingKind kind, const std::string& value) {
    switch (kind) {
    case SettingKind::Text:
        return value;
    case SettingKind::Integer:
        return std::to_string(std::atoi(value.c_str()));
    case SettingKind::Colour: {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%06lX",
                      std::strtoul(value.c_str(), nullptr, 16) & 0xFFFFFFUL);
        return hex;
    }
    case SettingKind::Flag:
        return std::atoi(value.c_str()) != 0 ? "true" : "false";
    }
    return value;
}

std::string SettingsText(const std::vector<Setting>& settings) {
    std::string text;
    for (const Setting& setting : settings) {
        text += setting.key->key + setting.value + "\r\n";
    }
    return text;
}
