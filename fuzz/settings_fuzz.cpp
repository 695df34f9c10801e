// Runs every settings getter, and the lookup itself with small value
// buffers, over an arbitrary settings text.
#include "settings/settings.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* const kKeys[] = {
    "Application Name=",
    "Application ID=",
    "Developer Channel ID=",
    "Font Color App Name=",
    "Font Color Wrapper Description=",
    "Font Color Buttons=",
    "Font Color Build=",
    "Build X=",
    "Build Y=",
    "Brand X=",
    "Brand Y=",
    "Multithreaded Game UI=",
};

// Buffers exactly as large as the capacity given, so that any write past it is caught.
void LookUp(const char* text, const char* key) {
    for (int capacity : {1, 2, 16, 256}) {
        auto* value = static_cast<char*>(std::malloc(size_t(capacity)));
        if (value == nullptr) {
            return;
        }
        int result = FindSettingValue(value, capacity, text, key, "\n");
        bool present = std::strstr(text, key) != nullptr;
        if (std::strlen(value) >= size_t(capacity) || (result != 0 && !present) ||
            (!present && value[0] != '\0')) {
            std::abort();
        }
        std::free(value);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The settings text is a C string; its first line up to '=' also serves as a key.
    std::string text(reinterpret_cast<const char*>(data), size);
    text.resize(std::strlen(text.c_str()));
    Settings settings(text.c_str());
    if (std::strlen(settings.GetApplicationName()) > 255) {
        std::abort();
    }
    settings.GetApplicationId();
    settings.GetDeveloperChannelId();
    settings.GetFontColorAppName();
    settings.GetFontColorWrapperDescription();
    settings.GetFontColorButtons();
    settings.GetFontColorBuild();
    settings.GetBuildX();
    settings.GetBuildY();
    settings.GetBrandX();
    settings.GetBrandY();
    settings.IsMultithreadedGameUi();
    for (const char* key : kKeys) {
        LookUp(text.c_str(), key);
    }
    size_t equals = text.find('=');
    if (equals != std::string::npos && text.find('\n') > equals) {
        LookUp(text.c_str(), text.substr(0, equals + 1).c_str());
    }
    return 0;
}
