#include "game/game_process.h"
#include "game/game_windows.h"
#include "game_test_support.h"
#include "harness.h"
#include "screens/screen_controller.h"
#include "settings/game_record.h"
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using harness::WaitUntil;

std::string Title(HWND window) {
    char text[64] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Lines of the game's log that start with the message's name.
int CountLogged(const std::string& name) {
    int n = 0;
    for (const std::string& line : harness::ReadLines(harness::BuildFolder() + "game_log.txt")) {
        n += line.rfind(name, 0) == 0;
    }
    return n;
}

HWND LaunchAndFind(const char* tail) {
    PrepareGame(tail);
    LaunchGame();
    HWND game = nullptr;
    WaitUntil([&] { return (game = FindGameWindows()) != nullptr; });
    return game;
}

TEST(GameWindows, OnlyVisibleWindowsAreCollected) {
    HWND game = LaunchAndFind("--hidden-first --windows 3");
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(WaitUntil([] {
        FindGameWindows();
        return GetGameWindows().count == 3;
    }));
    for (uint32_t i = 0; i < GetGameWindows().count; ++i) {
        EXPECT_NE(Title(GetGameWindows()[i]), "hidden");
        EXPECT_TRUE(IsWindowVisible(GetGameWindows()[i]));
    }
    FindGameWindows();
    EXPECT_EQ(GetGameWindows().count, 3u) << "no duplicates";
    // The main window is the first visible one the enumeration reports.
    struct First {
        static BOOL CALLBACK Visible(HWND window, LPARAM found) {
            if (!IsWindowVisible(window)) {
                return TRUE;
            }
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
    };
    HWND first = nullptr;
    EnumThreadWindows(GetGameRecord().gameProcess.dwThreadId, First::Visible,
                      reinterpret_cast<LPARAM>(&first));
    EXPECT_EQ(GetGameRecord().gameMainWindow, first);
    EXPECT_NE(Title(first), "hidden");
    EndGameHard();
}

TEST(GameWindows, HiddenGameKeepsItsLastMainWindow) {
    HWND game = LaunchAndFind("--hide-after 400");
    ASSERT_NE(game, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(game); }));
    EXPECT_EQ(FindGameWindows(), game);
    EXPECT_EQ(GetGameWindows().count, 1u);
    EndGameHard();
}

TEST(GameWindows, WindowOfAnotherThreadNeedsTheSetting) {
    PrepareGame("--thread-window");
    LaunchGame();
    // The window of the second thread exists, but the main thread has none.
    ASSERT_TRUE(WaitUntil([] { return FindWindowA("FixtureGame", "main") != nullptr; }));
    Sleep(100);
    EXPECT_EQ(FindGameWindows(), nullptr);
    EndGameHard();
}

TEST(GameWindows, LateWindowIsBroughtForwardWhenItComes) {
    HWND wrapper = EnsureWrapperWindow();
    PrepareGame("--window-after 600");
    LaunchGame();
    ShowGame();
    EXPECT_FALSE(IsWindowVisible(wrapper)) << "the wrapper hides at once";
    ScreenController& controller = GetScreenController();
    EXPECT_TRUE(controller.gameToFrontPending);
    KeepGameInFront();
    EXPECT_TRUE(controller.gameToFrontPending) << "no window yet: try again next tick";
    ASSERT_TRUE(WaitUntil([&] {
        KeepGameInFront();
        return !controller.gameToFrontPending;
    }));
    HWND game = FindGameWindows();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(GetForegroundWindow(), game);
    EndGameHard();
}

TEST(GameWindows, EndedGameClearsTheFrontFlags) {
    EnsureWrapperWindow();
    PrepareGame("--exit-after 100 --no-window");
    LaunchGame();
    ShowGame();
    ASSERT_TRUE(WaitUntil([] { return !IsGameRunning(); }));
    ScreenController& controller = GetScreenController();
    controller.gameMinimised = true;
    KeepGameInFront();
    EXPECT_FALSE(controller.gameToFrontPending);
    EXPECT_FALSE(controller.gameMinimised);
    EndGameHard();
}

TEST(GameWindows, RectangleIsSavedOnceAndPutBack) {
    HWND wrapper = EnsureWrapperWindow();
    HWND game = LaunchAndFind("");
    ASSERT_NE(game, nullptr);
    ScreenController& controller = GetScreenController();
    RECT original;
    GetWindowRect(game, &original);

    ShowWrapper();
    EXPECT_TRUE(controller.gameMinimised);
    EXPECT_FALSE(controller.gameToFrontPending);
    EXPECT_TRUE(EqualRect(&controller.savedGameRect, &original));
    EXPECT_TRUE(IsWindowVisible(wrapper));
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(game) != 0; })) << "minimised by a post";

    ShowWrapper();
    EXPECT_TRUE(EqualRect(&controller.savedGameRect, &original)) << "saved once per minimising";
    // Both minimise requests were posted; let the game take them before it is restored.
    ASSERT_TRUE(WaitUntil([] { return CountLogged("SC_MINIMIZE") == 2; }));

    // Somewhere else by the time the game comes back: it is moved back, then forgotten.
    ShowWindow(game, SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(game); }));
    MoveWindow(game, 300, 200, 200, 150, TRUE);
    ASSERT_TRUE(WaitUntil([&] {
        RECT moved;
        GetWindowRect(game, &moved);
        return moved.left == 300 && moved.top == 200;
    }));
    ShowGame();
    // Moved asynchronously, so that a hung game cannot hold the wrapper.
    EXPECT_TRUE(WaitUntil([&] {
        RECT now;
        GetWindowRect(game, &now);
        return EqualRect(&now, &original) != 0;
    }));
    EXPECT_EQ(controller.savedGameRect.left, 0);
    EXPECT_EQ(controller.savedGameRect.right, 0);
    EXPECT_FALSE(controller.gameMinimised);
    EXPECT_FALSE(IsWindowVisible(wrapper));

    // Already in place: nothing moves and the rectangle stays saved.
    ShowWrapper();
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(game) != 0 && CountLogged("SC_MINIMIZE") == 3; }));
    ShowWindow(game, SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(game); }));
    ShowGame();
    EXPECT_TRUE(EqualRect(&controller.savedGameRect, &original));
    EndGameHard();
}

TEST(GameWindows, ShowWrapperCentresOnlyAHiddenWrapper) {
    HWND wrapper = EnsureWrapperWindow();
    RECT expected;
    GetExpectedWindowRect(expected);
    int width = expected.right - expected.left;
    int height = expected.bottom - expected.top;
    MoveWindow(wrapper, 10, 20, width, height, TRUE);
    ShowWrapper();
    RECT at;
    GetWindowRect(wrapper, &at);
    EXPECT_EQ(at.left, 10) << "a visible wrapper keeps its place";
    EXPECT_EQ(at.top, 20);

    ShowWindow(wrapper, SW_HIDE);
    ShowWrapper();
    GetWindowRect(wrapper, &at);
    POINT centre = CentreOnWorkArea(width, height);
    EXPECT_EQ(at.left, centre.x);
    EXPECT_EQ(at.top, centre.y);
}

} // namespace
