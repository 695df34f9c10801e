// Typed, cached getters over the settings text: "key=value" lines.
#pragma once

#include <cstdint>

// Copies the value after the first occurrence of key (a plain substring
// search) up to the line end, less the character before it (the carriage
// return). Returns 0 when the key is absent, a positive number otherwise.
int FindSettingValue(char* buffer, int capacity, const char* text, const char* key,
                     const char* lineEnd);

// 0xRRGGBB to a Windows colour reference 0x00BBGGRR.
uint32_t RgbToColorRef(uint32_t rgb);

// The getters with their caching rules over one settings text, which the
// owner keeps alive and unchanged.
class Settings {
  public:
    explicit Settings(const char* settingsText) : text(settingsText) {}

    const char* GetApplicationName();
    int32_t GetApplicationId();
    int32_t GetDeveloperChannelId();
    uint32_t GetFontColorAppName();
    uint32_t GetFontColorWrapperDescription();
    uint32_t GetFontColorButtons();
    uint32_t GetFontColorBuild();
    int32_t GetBuildX();
    int32_t GetBuildY();
    int32_t GetBrandX();
    int32_t GetBrandY();
    bool IsMultithreadedGameUi();

    uint32_t GetSettingColor(const char* key, uint32_t defaultColor);

  private:
    struct CachedColor {
        bool read = false;
        uint32_t value = 0;
    };
    struct CachedPosition {
        int32_t value = -1;
    };

    int32_t ReadInteger(const char* key, int32_t defaultValue);
    uint32_t CachedSettingColor(CachedColor& cache, const char* key, uint32_t defaultColor);
    int32_t CachedSettingPosition(CachedPosition& cache, const char* key, int32_t defaultValue);

    const char* text;
    char applicationName[256] = "";
    int32_t applicationId = 0;
    int32_t developerChannelId = 0;
    CachedColor appNameColor, wrapperDescriptionColor, buttonsColor, buildColor;
    CachedPosition buildX, buildY, brandX, brandY;
    bool multithreadedRead = false;
    bool multithreaded = false;
};

// The process-wide getters over the game record's settings text.
Settings& GetSettings();
const char* GetApplicationName();
int32_t GetApplicationId();
int32_t GetDeveloperChannelId();
uint32_t GetFontColorAppName();
uint32_t GetFontColorWrapperDescription();
uint32_t GetFontColorButtons();
uint32_t GetFontColorBuild();
int32_t GetBuildX();
int32_t GetBuildY();
int32_t GetBrandX();
int32_t GetBrandY();
bool IsMultithreadedGameUi();
uint32_t GetSettingColor(const char* key, uint32_t defaultColor);
