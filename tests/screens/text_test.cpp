#include "screens/text.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <windows.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kAppNameColour = RGB(0xC0, 0, 0);

// The settings the wrapper reads from its own folder; this test program has
// a folder of its own.
void WriteSettings() {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder = std::string(exe, std::strrchr(exe, '\\') + 1) + "TarvelArcade";
    CreateDirectoryA(folder.c_str(), nullptr);
    FILE* file = std::fopen((folder + "\\QOX_002.wdt").c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("Application Name=Test Game\r\nFont Color App Name=C00000\r\n", file);
    std::fclose(file);
}

// A white 720 x 540 page in a memory DC, read back through its pixels.
class TextTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { WriteSettings(); }

    void SetUp() override {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        page = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(page, nullptr);
        pixels = static_cast<unsigned char*>(bits);
        std::memset(pixels, 0xFF, size_t{kStride} * kHeight);
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, page);
        controller.closeCountdown = 20;
    }
    void TearDown() override {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(page);
    }

    COLORREF PixelAt(int x, int y) const {
        const unsigned char* p = pixels + y * kStride + x * 3;
        return RGB(p[2], p[1], p[0]);
    }
    // Pixels that are not white inside [left, right) x [top, bottom).
    int InkIn(int left, int top, int right, int bottom) const {
        int ink = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                ink += PixelAt(x, y) != kWhite;
            }
        }
        return ink;
    }
    bool HasColour(COLORREF colour) const {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                if (PixelAt(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }
    int FontHeight(int32_t points) { return MeasureText(dc, "Ag", 2, points).height; }

    static constexpr int kWidth = 720;
    static constexpr int kHeight = 540;
    static constexpr int kStride = kWidth * 3;
    HBITMAP page = nullptr;
    unsigned char* pixels = nullptr;
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
    ScreenController controller{};
};

TEST_F(TextTest, FontSizesAreTakenAtNinetySixDotsPerInch) {
    const struct {
        int32_t points;
        LONG height;
    } cases[] = {{10, -13}, {14, -19}, {6, -8}};
    for (const auto& c : cases) {
        HFONT font = CreateTextFont(c.points);
        ASSERT_NE(font, nullptr);
        LOGFONTA log{};
        GetObjectA(font, sizeof(log), &log);
        EXPECT_EQ(log.lfHeight, c.height) << c.points << " points";
        EXPECT_EQ(log.lfWeight, FW_NORMAL);
        EXPECT_STREQ(log.lfFaceName, "Arial Bold");
        DeleteObject(font);
    }
}

TEST_F(TextTest, PlaceholdersAreFilledOnceEach) {
    const struct {
        float countdown;
        const char* text;
        const char* expected;
    } cases[] = {
        {19.4f, "close in [TIME_TO_CLOSE] s", "close in 19 s"},
        {20.0f, "close in [TIME_TO_CLOSE] s", "close in 20 s"},
        {0.4f, "[TIME_TO_CLOSE]", "0"},
        {19.4f, "[TIME_TO_CLOSE] [TIME_TO_CLOSE]", "19 [TIME_TO_CLOSE]"},
        {20.0f, "[GAME_TITLE] and [GAME_TITLE]", "Test Game and [GAME_TITLE]"},
        {7.0f, "Thanks for [GAME_TITLE], [TIME_TO_CLOSE]!", "Thanks for Test Game, 7!"},
        {20.0f, "nothing to fill", "nothing to fill"},
        {20.0f, "", ""},
    };
    for (const auto& c : cases) {
        controller.closeCountdown = c.countdown;
        EXPECT_STREQ(ExpandPlaceholders(controller, c.text).GetText(), c.expected) << c.text;
    }
}

TEST_F(TextTest, ReplaceFirstKeepsWhatSurroundsTheKey) {
    EXPECT_STREQ(ReplaceFirst("key tail", "key", "value").GetText(), "value tail");
    EXPECT_STREQ(ReplaceFirst("head key", "key", "value").GetText(), "head value");
    EXPECT_STREQ(ReplaceFirst("head", "key", "value").GetText(), "head");
    EXPECT_STREQ(ReplaceFirst("a key b", "key", "").GetText(), "a  b");
}

TEST_F(TextTest, ThirdWordWrapsToASecondLine) {
    const int fontHeight = FontHeight(10);
    ASSERT_GT(fontHeight, 0);
    const int twoWords = MeasureText(dc, "one two ", 8, 10).width;
    ASSERT_LT(twoWords, MeasureText(dc, "one two three", 13, 10).width);

    int32_t height =
        DrawWrappedText(controller, "one two three", 10, dc, 460, 30, twoWords, RGB(0, 0, 0));
    EXPECT_EQ(height, 2 * fontHeight);
    EXPECT_GT(InkIn(460, 30, 460 + twoWords, 30 + fontHeight), 0);
    EXPECT_GT(InkIn(460, 30 + fontHeight, 460 + twoWords, 30 + 2 * fontHeight), 0);
    EXPECT_EQ(InkIn(0, 0, kWidth, 30), 0);
    EXPECT_EQ(InkIn(0, 0, 460, kHeight), 0);
    EXPECT_EQ(InkIn(0, 30 + 2 * fontHeight, kWidth, kHeight), 0);
}

TEST_F(TextTest, WrappedTextIsDrawnInItsColourOnATransparentBackground) {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, RGB(0, 255, 0));
    const char* firstLine = "Thank you for playing Test Game. ";
    int width = MeasureText(dc, firstLine, static_cast<int32_t>(std::strlen(firstLine)), 10).width;
    int32_t height = DrawWrappedText(controller, "Thank you for playing [GAME_TITLE]. \n \nBye.",
                                     10, dc, 20, 30, width, RGB(0, 0, 255));
    EXPECT_EQ(height, 3 * FontHeight(10));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_TRUE(HasColour(RGB(0, 0, 255)));
    EXPECT_FALSE(HasColour(RGB(0, 255, 0)));
}

TEST_F(TextTest, EmptyTextDrawsNothing) {
    EXPECT_EQ(DrawWrappedText(controller, "", 10, dc, 460, 30, 230, RGB(0, 0, 0)), 0);
    EXPECT_EQ(InkIn(0, 0, kWidth, kHeight), 0);
}

TEST_F(TextTest, DegenerateTextsEndAndDrawEveryCharacter) {
    const int fontHeight = FontHeight(10);
    // Two blank lines, then one character per line in a width of one pixel.
    int32_t height = DrawWrappedText(controller, "\n\nabc", 10, dc, 100, 10, 1, RGB(0, 0, 0));
    EXPECT_EQ(height, 5 * fontHeight);
    for (int line = 2; line < 5; ++line) {
        EXPECT_GT(InkIn(100, 10 + line * fontHeight, kWidth, 10 + (line + 1) * fontHeight), 0)
            << "line " << line;
    }
    EXPECT_EQ(InkIn(0, 10, kWidth, 10 + 2 * fontHeight), 0);
}

TEST_F(TextTest, DrawTextAtRestoresTheTextColourAndKeepsTheBackgroundMode) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(1, 2, 3));
    DrawTextAt(dc, 10, 10, "Build 159", 9, 6, RGB(0xC3, 0xC3, 0xC3));
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_TRUE(HasColour(RGB(0xC3, 0xC3, 0xC3)));
    EXPECT_EQ(InkIn(0, 0, kWidth, 10), 0);
}

TEST_F(TextTest, SeparatorIsOneRowOfThePenAndTakesNineRows) {
    for (int32_t width : {0, 1, 230}) {
        EXPECT_EQ(DrawSeparator(dc, 50, 100, width), 9);
    }
    EXPECT_EQ(DrawSeparator(dc, 460, 200, 230), 9);
    EXPECT_EQ(InkIn(460, 204, 690, 205), 230);
    EXPECT_EQ(PixelAt(460, 204), RGB(0, 0, 0));
    EXPECT_EQ(InkIn(0, 200, kWidth, 204), 0);
    EXPECT_EQ(InkIn(0, 205, kWidth, 209), 0);
    EXPECT_EQ(PixelAt(690, 204), kWhite);
}

TEST_F(TextTest, TitleBlockIsTheNameWithTheRuleUnderIt) {
    const int nameHeight = FontHeight(14);
    int32_t height = DrawTitleBlock(controller, dc, 460, 30, 230);
    EXPECT_EQ(height, nameHeight + 9);
    EXPECT_TRUE(HasColour(kAppNameColour));
    EXPECT_EQ(PixelAt(500, 30 + nameHeight + 4), RGB(0, 0, 0));
    EXPECT_EQ(InkIn(0, 30 + nameHeight + 5, kWidth, kHeight), 0);
}

} // namespace
