#include "settings/game_record.h"
#include "settings/settings.h"

Settings& GetSettings() {
    static Settings* settings = new Settings(GetGameRecord().settingsText);
    return *settings;
}

const char* GetApplicationName() {
    return GetSettings().GetApplicationName();
}
int32_t GetApplicationId() {
    return GetSettings().GetApplicationId();
}
int32_t GetDeveloperChannelId() {
    return GetSettings().GetDeveloperChannelId();
}
uint32_t GetFontColorAppName() {
    return GetSettings().GetFontColorAppName();
}
uint32_t GetFontColorWrapperDescription() {
    return GetSettings().GetFontColorWrapperDescription();
}
uint32_t GetFontColorButtons() {
    return GetSettings().GetFontColorButtons();
}
uint32_t GetFontColorBuild() {
    return GetSettings().GetFontColorBuild();
}
int32_t GetBuildX() {
    return GetSettings().GetBuildX();
}
int32_t GetBuildY() {
    return GetSettings().GetBuildY();
}
int32_t GetBrandX() {
    return GetSettings().GetBrandX();
}
int32_t GetBrandY() {
    return GetSettings().GetBrandY();
}
bool IsMultithreadedGameUi() {
    return GetSettings().IsMultithreadedGameUi();
}
uint32_t GetSettingColor(const char* key, uint32_t defaultColor) {
    return GetSettings().GetSettingColor(key, defaultColor);
}
