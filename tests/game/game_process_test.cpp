#include "game/game_process.h"
#include "game/game_windows.h"
#include "game_test_support.h"
#include "harness.h"
#include "settings/game_record.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using harness::WaitUntil;

TEST(GameProcess, EndedGameLeavesItsExitCodeAndClosesItsHandles) {
    PrepareGame("--exit-code 3 --exit-after 300");
    LaunchGame();
    GameRecord& record = GetGameRecord();
    HANDLE process = record.gameProcess.hProcess;
    HANDLE thread = record.gameProcess.hThread;
    ASSERT_NE(process, nullptr);
    EXPECT_TRUE(IsGameRunning());
    EXPECT_EQ(GetGameExitCode(), 0u);
    ASSERT_TRUE(WaitUntil([] { return FindGameWindows() != nullptr; }));
    EXPECT_EQ(GetGameWindows().count, 1u);

    EXPECT_TRUE(WaitUntil([] { return !IsGameRunning(); }));
    EXPECT_EQ(GetGameExitCode(), 3u);
    EXPECT_EQ(record.gameProcess.hProcess, nullptr);
    EXPECT_EQ(record.gameProcess.hThread, nullptr);
    EXPECT_EQ(record.gameProcess.dwProcessId, 0u);
    EXPECT_EQ(record.gameProcess.dwThreadId, 0u);
    EXPECT_EQ(record.gameMainWindow, nullptr);
    EXPECT_EQ(GetGameWindows().count, 0u);
    DWORD flags;
    EXPECT_FALSE(GetHandleInformation(process, &flags)) << "process handle closed";
    EXPECT_FALSE(GetHandleInformation(thread, &flags)) << "thread handle closed";
    // A new launch clears the previous code.
    PrepareGame("--exit-after 5000");
    LaunchGame();
    EXPECT_EQ(GetGameExitCode(), 0u);
    EndGameHard();
}

TEST(GameProcess, ExitCode259CountsAsRunning) {
    PrepareGame("--exit-code 259 --exit-after 100 --no-window");
    LaunchGame();
    HANDLE process = GetGameRecord().gameProcess.hProcess;
    ASSERT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(IsGameRunning());
    EXPECT_TRUE(WaitWhileGameRuns(30));
    EndGameHard();
}

TEST(GameProcess, MissingExecutableCountsAsEndedAtOnce) {
    PrepareGame("");
    std::strcpy(GetGameRecord().gameExeName, "no_such_game.QXG");
    LaunchGame();
    EXPECT_EQ(GetGameRecord().gameProcess.hProcess, nullptr);
    EXPECT_FALSE(IsGameRunning());
    EXPECT_EQ(GetGameExitCode(), 0u);
    DWORD start = GetTickCount();
    CloseGame();
    EXPECT_LT(GetTickCount() - start, 1000u) << "nothing to wait for";
}

TEST(GameProcess, ShortWaitMakesNoPoll) {
    PrepareGame("--exit-after 5000 --no-window");
    LaunchGame();
    DWORD start = GetTickCount();
    EXPECT_TRUE(WaitWhileGameRuns(5));
    EXPECT_LT(GetTickCount() - start, 100u);
    EndGameHard();
}

TEST(GameProcess, SuspendStopsTheMainThread) {
    PrepareGame("--counter");
    LaunchGame();
    HWND game = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (game = FindGameWindows()) != nullptr; }));
    auto title = [&] {
        char text[64] = "";
        GetWindowTextA(game, text, sizeof text);
        return std::string(text);
    };
    ASSERT_TRUE(WaitUntil([&] { return title().rfind("count", 0) == 0; }));
    SuspendGame();
    std::string stopped = title();
    Sleep(200);
    EXPECT_EQ(title(), stopped);
    ResumeGame();
    EXPECT_TRUE(WaitUntil([&] { return title() != stopped; }));
    EndGameHard();
}

} // namespace
