// The channel's logo on the post-game screen, read off the screen: pasted,
// blended through its mask, clipped, refused at the wrong size, and its
// rectangle acting as "Other Games".
#include "../engine/zip_builder.h"
#include "../screens/test_jpeg.h"
#include "harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace harness;

namespace {

constexpr COLORREF kBackground = RGB(0, 0, 128);
constexpr COLORREF kLogo = RGB(255, 0, 0);

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 12 &&
           std::abs(GetGValue(a) - GetGValue(b)) <= 12 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 12;
}

std::string AsText(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// Left half white (the logo), right half red 64 and blue 200 (weight 200).
Bytes HalfMask() {
    return EncodeJpeg(245, 120, JpegKind::Rgb, [](int x, int, unsigned char* rgb) {
        rgb[0] = x < 122 ? 255 : 64;
        rgb[1] = x < 122 ? 255 : 0;
        rgb[2] = x < 122 ? 255 : 200;
    });
}

struct BrandingCase {
    const char* name;
    int logoWidth; // 0: no archive
    bool mask;
    int brandX; // -1: not set
};

class Branding : public testing::TestWithParam<BrandingCase> {};

TEST_P(Branding, LogoIsMergedIntoTheBackground) {
    const BrandingCase& c = GetParam();
    Install install;
    install.PrepareForGame();
    install.UseSkin("flat-skin");
    if (c.brandX >= 0) {
        install.WriteSettings(DefaultSettings() + "Brand X=" + std::to_string(c.brandX) + "\r\n");
    }
    if (c.logoWidth != 0) {
        std::vector<ZipItem> items = {
            {"Branding.jpg", AsText(EncodeSolidRgb(c.logoWidth, 120, 255, 0, 0))}};
        if (c.mask) {
            items.push_back({"BrandingMask.jpg", AsText(HalfMask())});
        }
        WriteFileText(install.Path("TarvelArcade\\Channel.dat"), BuildZip(items));
    }
    Wrapper wrapper(install, "--exit-after 300");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    Screenshot shot = CaptureClient(window);
    CreateDirectoryA((BuildFolder() + "screenshots").c_str(), nullptr);
    SavePng(shot, BuildFolder() + "screenshots\\branding-" + c.name + ".png");

    int left = c.brandX >= 0 ? c.brandX : 9;
    bool shown = c.logoWidth == 245;
    EXPECT_TRUE(Near(shot.At(left + 60, 80), shown ? kLogo : kBackground));
    EXPECT_TRUE(Near(shot.At(left - 1, 80), kBackground));
    EXPECT_TRUE(Near(shot.At(left + 60, 21), kBackground));
    EXPECT_TRUE(Near(shot.At(left + 60, 142), kBackground));
    if (left + 245 <= 720) {
        EXPECT_TRUE(Near(shot.At(left + 245, 80), kBackground));
    }
    if (shown && c.mask) {
        // Weight 200: 0 + (255 - 0) * 200 / 255 red, 128 + (0 - 128) * 200 / 255 blue.
        EXPECT_TRUE(Near(shot.At(left + 200, 80), RGB(200, 0, 28)));
    } else if (left + 200 < 720) {
        EXPECT_TRUE(Near(shot.At(left + 200, 80), shown ? kLogo : kBackground));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Branding,
                         testing::Values(BrandingCase{"none", 0, false, -1},
                                         BrandingCase{"pasted", 245, false, -1},
                                         BrandingCase{"masked", 245, true, -1},
                                         BrandingCase{"tooWide", 246, false, -1},
                                         BrandingCase{"clipped", 245, false, 600}),
                         [](const testing::TestParamInfo<BrandingCase>& param) {
                             return std::string(param.param.name);
                         });

// What a click starts, as the services module logged it.
std::vector<std::string> LogAfterClick(bool branded, int x, int y) {
    Install install;
    install.PrepareForGame();
    install.UseSkin("flat-skin");
    if (branded) {
        WriteFileText(install.Path("TarvelArcade\\Channel.dat"),
                      BuildZip({{"Branding.jpg", AsText(EncodeSolidRgb(245, 120, 255, 0, 0))}}));
    }
    Wrapper wrapper(install, "--exit-after 300");
    HWND window = wrapper.WaitForPostGame();
    EXPECT_NE(window, nullptr);
    size_t before = install.ServicesLog().size();
    PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    PumpMessages(1000);
    // Every window message is offered to the module first; those lines are left out.
    std::vector<std::string> started;
    std::vector<std::string> log = install.ServicesLog();
    for (size_t i = before; i < log.size(); ++i) {
        if (log[i].rfind("Message ", 0) != 0) {
            started.push_back(log[i]);
        }
    }
    return started;
}

TEST(BrandingClick, LogoDoesWhatOtherGamesDoes) {
    std::vector<std::string> otherGames = LogAfterClick(false, 639, 488);
    ASSERT_FALSE(otherGames.empty());
    EXPECT_EQ(LogAfterClick(true, 100, 80), otherGames);
    EXPECT_TRUE(LogAfterClick(false, 100, 80).empty());
}

} // namespace
