#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

using Getter = std::function<int64_t(Settings&)>;

struct GetterCase {
    const char* name;
    std::string text;
    Getter get;
    int64_t expected;
};

const Getter buildX = [](Settings& s) { return s.GetBuildX(); };
const Getter buildY = [](Settings& s) { return s.GetBuildY(); };
const Getter brandX = [](Settings& s) { return s.GetBrandX(); };
const Getter brandY = [](Settings& s) { return s.GetBrandY(); };
const Getter appId = [](Settings& s) { return s.GetApplicationId(); };
const Getter channelId = [](Settings& s) { return s.GetDeveloperChannelId(); };
const Getter colorAppName = [](Settings& s) { return s.GetFontColorAppName(); };
const Getter colorDescription = [](Settings& s) { return s.GetFontColorWrapperDescription(); };
const Getter colorButtons = [](Settings& s) { return s.GetFontColorButtons(); };
const Getter colorBuild = [](Settings& s) { return s.GetFontColorBuild(); };
const Getter multithreaded = [](Settings& s) { return s.IsMultithreadedGameUi() ? 1 : 0; };

TEST(Settings, Getters) {
    const GetterCase cases[] = {
        {"last line without a line end", "A=1\r\nBuild X=300", buildX, 300},
        {"CRLF line end", "Build X=300\r\nA=1\r\n", buildX, 300},
        {"bare line feed drops a character", "Build X=300\nA=1\r\n", buildX, 30},
        {"key inside a longer key", "Old Build X=3\r\nBuild X=77\r\n", buildX, 3},
        {"key at the end of a line with a bare line feed", "Build X=\nBuild Y=5\r\n", buildX, 0},
        {"leading blanks and sign", "Build Y=  -12px\r\n", buildY, -12},
        {"not a number", "Build Y=abc\r\n", buildY, 0},
        {"Brand Y of -1", "Brand Y=-1\r\n", brandY, -1},
        {"application id", "Application ID=4242\r\n", appId, 4242},
        {"channel id", "Developer Channel ID=77\r\n", channelId, 77},
        {"colour RRGGBB", "Font Color Buttons=FF8000\r\n", colorButtons, 0x000080FF},
        {"colour with 0x", "Font Color Buttons=0x00ff00\r\n", colorButtons, 0x0000FF00},
        {"colour of no hex digits", "Font Color Build=zz\r\n", colorBuild, 0},
        {"colour stops at a non-digit", "Font Color App Name=12G4\r\n", colorAppName, 0x120000},
        {"colour drops bits above 24", "Font Color Wrapper Description=7F123456\r\n",
         colorDescription, 0x563412},
        {"multithreaded 1", "Multithreaded Game UI=1\r\n", multithreaded, 1},
        {"multithreaded 0", "Multithreaded Game UI=0\r\n", multithreaded, 0},
        // Defaults when the key is missing.
        {"default Build X", "", buildX, 450},
        {"default Build Y", "", buildY, 510},
        {"default Brand X", "", brandX, 9},
        {"default Brand Y", "", brandY, 22},
        {"default application id", "", appId, 0},
        {"default channel id", "", channelId, 0},
        {"default app name colour", "", colorAppName, 0},
        {"default description colour", "", colorDescription, 0},
        {"default buttons colour", "", colorButtons, 0},
        {"default build colour", "Font Color Buttons=FF\r\n", colorBuild, 0xC3C3C3},
        {"default multithreaded", "", multithreaded, 0},
        {"a NUL ends the text", std::string("A=1\r\n\0Build X=5\r\n", 18), buildX, 450},
    };
    for (const GetterCase& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings(c.text.c_str());
        EXPECT_EQ(c.get(settings), c.expected);
    }
}

TEST(Settings, ApplicationNameIsCutTo254Characters) {
    std::string text = "Application Name=" + std::string(300, 'n') + "\r\n";
    Settings settings(text.c_str());
    EXPECT_EQ(std::string(settings.GetApplicationName()), std::string(254, 'n'));
    std::string last = "Application Name=" + std::string(300, 'm');
    Settings atEnd(last.c_str());
    EXPECT_EQ(std::string(atEnd.GetApplicationName()), std::string(254, 'm'));
}

TEST(Settings, FindSettingValueResults) {
    struct Case {
        const char* text;
        const char* key;
        int result;
        const char* value;
    };
    const Case cases[] = {
        {"", "Build X=", 0, ""},
        {"Build X=12\r\n", "Build X=", 10, "12"},
        {"A=1\r\nBuild X=12\r\n", "Build X=", 15, "12"},
        {"Build X=12", "Build X=", 255, "12"},
        {"Build X=\n", "Build X=", 8, ""},
        {"Build X=\r\n", "Build X=", 8, ""},
        {"build x=12\r\n", "Build X=", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char buffer[256];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(FindSettingValue(buffer, 255, c.text, c.key, "\n"), c.result);
        EXPECT_STREQ(buffer, c.value);
    }
}

TEST(Settings, RgbToColorRef) {
    EXPECT_EQ(RgbToColorRef(0xFF8000), 0x000080FFu);
    EXPECT_EQ(RgbToColorRef(0x123456), 0x00563412u);
    EXPECT_EQ(RgbToColorRef(0xAB000000), 0u);
}

// The text never changes in the running program; changing it here shows
// which getters search again and which keep their first result.
TEST(Settings, Caching) {
    struct Case {
        const char* name;
        const char* before;
        const char* after;
        Getter get;
        int64_t first;
        int64_t second;
    };
    const Case cases[] = {
        {"id 0 is searched again", "Application ID=0\r\n", "Application ID=5\r\n", appId, 0, 5},
        {"id kept once found", "Application ID=3\r\n", "Application ID=5\r\n", appId, 3, 3},
        {"channel 0 searched again", "", "Developer Channel ID=8\r\n", channelId, 0, 8},
        {"channel kept", "Developer Channel ID=2\r\n", "Developer Channel ID=8\r\n", channelId, 2,
         2},
        {"colour default kept", "", "Font Color Build=FFFFFF\r\n", colorBuild, 0xC3C3C3, 0xC3C3C3},
        {"colour kept", "Font Color Buttons=FF\r\n", "Font Color Buttons=FF00\r\n", colorButtons,
         0xFF0000, 0xFF0000},
        {"flag kept", "", "Multithreaded Game UI=1\r\n", multithreaded, 0, 0},
        {"position kept", "Build X=5\r\n", "Build X=6\r\n", buildX, 5, 5},
        {"position of -1 searched again", "Build X=-1\r\n", "Build X=6\r\n", buildX, -1, 6},
        {"default position kept", "", "Brand X=6\r\n", brandX, 9, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char text[256];
        std::strcpy(text, c.before);
        Settings settings(text);
        EXPECT_EQ(c.get(settings), c.first);
        std::strcpy(text, c.after);
        EXPECT_EQ(c.get(settings), c.second);
    }
}

TEST(Settings, ApplicationNameIsSearchedWhileEmpty) {
    char text[256] = "Application Name=\r\n";
    Settings settings(text);
    EXPECT_STREQ(settings.GetApplicationName(), "");
    std::strcpy(text, "Application Name=Zed\r\n");
    EXPECT_STREQ(settings.GetApplicationName(), "Zed");
    std::strcpy(text, "Application Name=Other\r\n");
    EXPECT_STREQ(settings.GetApplicationName(), "Zed");
}

} // namespace
