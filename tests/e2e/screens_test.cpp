// What the player sees: the wrapper hidden while the game runs, then the
// post-game screen with its text, countdown and buttons, read off the screen.
#include "harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace harness;

namespace {

constexpr COLORREF kBackground = RGB(0, 0, 128);
constexpr COLORREF kNormalFace = RGB(0, 192, 0);
constexpr COLORREF kHoverFace = RGB(224, 224, 0);
constexpr COLORREF kPressedFace = RGB(224, 0, 0);
constexpr COLORREF kBuildGrey = RGB(0xC3, 0xC3, 0xC3);

const RECT kPlayGame{457, 472, 567, 504};
const RECT kOtherGames{584, 472, 694, 504};

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 12 &&
           std::abs(GetGValue(a) - GetGValue(b)) <= 12 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 12;
}

std::string ScreenshotPath(const std::string& name) {
    std::string folder = BuildFolder() + "screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + name;
}

TEST(PostGame, ScreenShowsTitleTextButtonsAndBuildLabel) {
    Install install;
    install.PrepareForGame();
    install.UseSkin("flat-skin");
    Wrapper wrapper(install, "--exit-after 300");
    ASSERT_TRUE(WaitUntil([&] { return !FindWindowsOfClass("FixtureGame").empty(); }));
    EXPECT_TRUE(wrapper.Windows("TarvelGameWrapper").empty()) << "hidden while the game runs";

    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    RECT outer;
    GetWindowRect(window, &outer);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(outer.left, work.left + ((work.right - work.left) - (outer.right - outer.left)) / 2);
    EXPECT_EQ(outer.top, work.top + ((work.bottom - work.top) - (outer.bottom - outer.top)) / 2);

    Screenshot first = CaptureClient(window);
    SavePng(first, ScreenshotPath("post_game_flat.png"));
    ASSERT_EQ(first.width, 720);
    ASSERT_EQ(first.height, 540);
    // Left of the text column there is only the background.
    const RECT empty{0, 0, 440, 540};
    EXPECT_EQ(first.CountNear(empty, kBackground), Area(empty));
    // Title, separator and the thank-you text stand in the column at 460..690.
    EXPECT_GT(first.CountOtherThan(RECT{460, 30, 690, 52}, kBackground), 30) << "title";
    const RECT text{460, 60, 690, 300};
    int textPixels = 0;
    for (int y = text.top; y < text.bottom; ++y) {
        for (int x = text.left; x < text.right; ++x) {
            textPixels += !Near(first.At(x, y), kBackground);
        }
    }
    EXPECT_GT(textPixels, 300) << "thank-you text";
    // Both buttons show the normal face with a label on it.
    for (const RECT& button : {kPlayGame, kOtherGames}) {
        EXPECT_GT(first.CountNear(button, kNormalFace), Area(button) * 6 / 10);
        EXPECT_GT(Area(button) - first.CountNear(button, kNormalFace), 20) << "label";
    }
    EXPECT_EQ(first.CountNear(RECT{568, 472, 583, 504}, kBackground), 15 * 32);
    EXPECT_GT(first.CountNear(RECT{450, 510, 520, 522}, kBuildGrey), 10) << "Build 159";

    // The countdown moves on; the title stays.
    PumpMessages(2200);
    Screenshot later = CaptureClient(window);
    EXPECT_GT(later.CountDifferences(first, text), 0);
    EXPECT_EQ(later.CountDifferences(first, RECT{0, 0, 720, 60}), 0);

    // Hover, press, leave.
    PostMouse(window, WM_MOUSEMOVE, 512, 488);
    Screenshot hover = CaptureClient(window);
    EXPECT_GT(hover.CountNear(kPlayGame, kHoverFace), Area(kPlayGame) * 6 / 10);
    EXPECT_GT(hover.CountNear(kOtherGames, kNormalFace), Area(kOtherGames) * 6 / 10);
    PostMouse(window, WM_LBUTTONDOWN, 512, 488);
    EXPECT_GT(CaptureClient(window).CountNear(kPlayGame, kPressedFace), Area(kPlayGame) * 6 / 10);
    PostMouse(window, WM_MOUSEMOVE, 300, 300);
    EXPECT_GT(CaptureClient(window).CountNear(kPlayGame, kNormalFace), Area(kPlayGame) * 6 / 10)
        << "held outside: normal face";
    PostMouse(window, WM_LBUTTONUP, 300, 300);
    EXPECT_EQ(install.GameLog().size(), 3u) << "a release outside starts nothing";

    // Closing on the post-game screen asks nothing.
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(wrapper.WaitForExit(), 0u);
}

TEST(PostGame, SampleSkinScreenshot) {
    Install install;
    install.PrepareForGame();
    Wrapper wrapper(install, "--exit-after 200");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    Screenshot shot = CaptureClient(window);
    SavePng(shot, ScreenshotPath("post_game.png"));
    EXPECT_GT(shot.CountOtherThan(RECT{0, 0, 720, 540}, shot.At(0, 0)), 1000) << "not blank";
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(wrapper.WaitForExit(), 0u);
}

TEST(PostGame, PlayGameStartsTheGameAgain) {
    Install install;
    install.PrepareForGame();
    Wrapper wrapper(install, "--exit-after 1200 --exit-code 9");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    PostMouse(window, WM_MOUSEMOVE, 512, 488);
    PostMouse(window, WM_LBUTTONDOWN, 512, 488);
    PostMouse(window, WM_LBUTTONUP, 512, 488);
    ASSERT_TRUE(WaitUntil([&] {
        int starts = 0;
        for (const std::string& line : install.GameLog()) {
            starts += line.rfind("cmdline", 0) == 0;
        }
        return starts == 2;
    }));
    EXPECT_TRUE(WaitUntil([&] { return wrapper.Windows("TarvelGameWrapper").empty(); }))
        << "hidden again while the game runs";
    // The second run ends too, and the wrapper comes back with its code.
    window = wrapper.WaitForPostGame(2);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(wrapper.WaitForExit(), 9u);
}

TEST(PostGame, CountdownClosesTheWrapper) {
    Install install;
    install.PrepareForGame();
    Wrapper wrapper(install, "--exit-after 200 --exit-code 7");
    ASSERT_NE(wrapper.WaitForPostGame(), nullptr);
    DWORD shown = GetTickCount() - 300;
    EXPECT_EQ(wrapper.WaitForExit(30000), 7u);
    DWORD after = GetTickCount() - shown;
    EXPECT_GT(after, 19000u);
    EXPECT_LT(after, 23000u);
}

TEST(PostGame, MissingSkinFileIsFatalAndLeavesTheGameRunning) {
    const char* const files[] = {"Background.jpg", "button_normal.jpg", "button_hover.jpg",
                                 "button_pressed.jpg"};
    for (const char* file : files) {
        SCOPED_TRACE(file);
        Install install;
        install.PrepareForGame();
        DeleteFileA(install.Path(std::string("TarvelArcade\\") + file).c_str());
        Wrapper wrapper(install, "--exit-after 8000");
        MessageBoxSeen box = wrapper.WaitForMessageBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "FATAL ERROR");
        EXPECT_EQ(box.text, std::string("Can't Load '") + file + "'");
        wrapper.Answer(box, IDOK);
        EXPECT_EQ(wrapper.WaitForExit(), 0xFFFFFFFFu);
        std::vector<HWND> games;
        EXPECT_TRUE(WaitUntil([&] { return !(games = FindWindowsOfClass("FixtureGame")).empty(); }))
            << "the game was started and keeps running";
        for (HWND game : games) {
            PostMessageA(game, WM_CLOSE, 0, 0);
        }
        WaitUntil([] { return FindWindowsOfClass("FixtureGame").empty(); });
    }
}

} // namespace
