#include "settings/settings.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kValueCapacity = 255;

} // namespace

int FindSettingValue(char* buffer, int capacity, const char* text, const char* key,
                     const char* lineEnd) {
    const char* found = std::strstr(text, key);
    if (found == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    const char* value = found + std::strlen(key);
    const char* end = std::strstr(value, lineEnd);
    size_t length;
    int result;
    if (end != nullptr) {
        // The character before the line feed is the carriage return; a key
        // that ends its line at once has the empty value.
        length = end > value ? size_t(end - value) - 1 : 0;
        result = 0;
    } else {
        length = std::strlen(value);
        result = capacity;
    }
    if (length > size_t(capacity - 1)) {
        length = size_t(capacity - 1);
    }
    std::memcpy(buffer, value, length);
    buffer[length] = '\0';
    if (end != nullptr) {
        result = int(value - text) + int(length);
    }
    return result;
}

uint32_t RgbToColorRef(uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

const char* Settings::GetApplicationName() {
    if (applicationName[0] == '\0') {
        FindSettingValue(applicationName, kValueCapacity, text, "Application Name=", "\n");
    }
    return applicationName;
}

int32_t Settings::ReadInteger(const char* key, int32_t defaultValue) {
    char value[kValueCapacity + 1];
    if (FindSettingValue(value, kValueCapacity, text, key, "\n") == 0) {
        return defaultValue;
    }
    return int32_t(std::strtol(value, nullptr, 10));
}

int32_t Settings::GetApplicationId() {
    if (applicationId == 0) {
        applicationId = ReadInteger("Application ID=", 0);
    }
    return applicationId;
}

int32_t Settings::GetDeveloperChannelId() {
    if (developerChannelId == 0) {
        developerChannelId = ReadInteger("Developer Channel ID=", 0);
    }
    return developerChannelId;
}

uint32_t Settings::GetSettingColor(const char* key, uint32_t defaultColor) {
    char value[kValueCapacity + 1];
    if (FindSettingValue(value, kValueCapacity, text, key, "\n") == 0) {
        return defaultColor;
    }
    return RgbToColorRef(uint32_t(std::strtoul(value, nullptr, 16)));
}

uint32_t Settings::CachedSettingColor(CachedColor& cache, const char* key, uint32_t defaultColor) {
    if (!cache.read) {
        cache.read = true;
        cache.value = GetSettingColor(key, defaultColor);
    }
    return cache.value;
}

int32_t Settings::CachedSettingPosition(CachedPosition& cache, const char* key,
                                        int32_t defaultValue) {
    if (cache.value == -1) {
        cache.value = ReadInteger(key, defaultValue);
    }
    return cache.value;
}

uint32_t Settings::GetFontColorAppName() {
    return CachedSettingColor(appNameColor, "Font Color App Name=", 0);
}

uint32_t Settings::GetFontColorWrapperDescription() {
    return CachedSettingColor(wrapperDescriptionColor, "Font Color Wrapper Description=", 0);
}

uint32_t Settings::GetFontColorButtons() {
    return CachedSettingColor(buttonsColor, "Font Color Buttons=", 0);
}

uint32_t Settings::GetFontColorBuild() {
    return CachedSettingColor(buildColor, "Font Color Build=", 0xC3C3C3);
}

int32_t Settings::GetBuildX() {
    return CachedSettingPosition(buildX, "Build X=", 450);
}
int32_t Settings::GetBuildY() {
    return CachedSettingPosition(buildY, "Build Y=", 510);
}
int32_t Settings::GetBrandX() {
    return CachedSettingPosition(brandX, "Brand X=", 9);
}
int32_t Settings::GetBrandY() {
    return CachedSettingPosition(brandY, "Brand Y=", 22);
}

bool Settings::IsMultithreadedGameUi() {
    if (!multithreadedRead) {
        multithreadedRead = true;
        multithreaded = ReadInteger("Multithreaded Game UI=", 0) != 0;
    }
    return multithreaded;
}
