// A game and a services update that misbehave, end to end: the wrapper
// stays responsive, ends within its bounds with the right exit code, and
// the services folder ends as the roll-back leaves it.
#include "harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace harness;

namespace {

bool HasLineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> Starting(const std::vector<std::string>& lines,
                                  const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            found.push_back(line);
        }
    }
    return found;
}

HWND WaitForGameWindow() {
    HWND game = nullptr;
    WaitUntil([&] {
        std::vector<HWND> found = FindWindowsOfClass("FixtureGame");
        game = found.empty() ? nullptr : found.front();
        return game != nullptr;
    });
    return game;
}

HANDLE OpenGameProcess(HWND game) {
    DWORD id = 0;
    GetWindowThreadProcessId(game, &id);
    return OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id);
}

// The window answers a sent message within a second: its thread is not stuck.
bool Responds(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
}

TEST(HostileGame, MisbehavingDuringTheExitQuestion) {
    struct Case {
        const char* name;
        const char* tail;
        const char* settings;
        const char* loggedDuringQuestion;
        int answer;
        DWORD exitCode;
        DWORD minMs;
        DWORD maxMs;
    };
    const Case cases[] = {
        // Its main thread stands still; another thread ends the process.
        {"exits while suspended, Yes", "--exit-thread-after 1200 --exit-code 7", "", "exit thread",
         IDYES, 7, 0, 3000},
        {"exits while suspended, No", "--exit-thread-after 1200 --exit-code 7", "", "exit thread",
         IDNO, 7, 0, 3000},
        // Its window's thread is not the suspended one and hangs for good.
        {"window hangs", "--thread-window --hang-window-after 1200 --exit-code 7",
         "Multithreaded Game UI=1\r\n", "hang window", IDYES, 0, 4000, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Install install;
        install.PrepareForGame();
        install.WriteSettings(DefaultSettings() + c.settings);
        Wrapper wrapper(install, c.tail);
        HWND game = WaitForGameWindow();
        ASSERT_NE(game, nullptr);
        HANDLE process = OpenGameProcess(game);
        ASSERT_NE(process, nullptr);
        HWND window = FindWindowA("TarvelGameWrapper", nullptr);
        ASSERT_NE(window, nullptr);
        PostMessageA(window, WM_CLOSE, 0, 0);
        MessageBoxSeen box = wrapper.WaitForMessageBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "Confirm Exit");
        EXPECT_TRUE(
            WaitUntil([&] { return HasLineStarting(install.GameLog(), c.loggedDuringQuestion); }));
        if (c.exitCode != 0) {
            EXPECT_EQ(WaitForSingleObject(process, 5000), WAIT_OBJECT_0)
                << "the game ended while asked about";
        }
        EXPECT_TRUE(Responds(window)) << "the question's loop runs on";
        EXPECT_TRUE(IsWindow(box.window));

        DWORD answered = GetTickCount();
        wrapper.Answer(box, c.answer);
        if (c.answer == IDNO) {
            EXPECT_TRUE(WaitUntil([&] { return !wrapper.Windows("TarvelGameWrapper").empty(); }))
                << "the post-game screen follows the game's end";
            PostMessageA(window, WM_CLOSE, 0, 0);
            EXPECT_EQ(wrapper.WaitForMessageBox(1000).window, nullptr) << "not asked again";
        }
        EXPECT_EQ(wrapper.WaitForExit(), c.exitCode);
        DWORD took = GetTickCount() - answered;
        EXPECT_GE(took, c.minMs);
        EXPECT_LT(took, c.maxMs) << "bounded";
        EXPECT_EQ(WaitForSingleObject(process, 2000), WAIT_OBJECT_0) << "no game left";
        CloseHandle(process);
    }
}

TEST(HostileGame, AGameThatSpawnsAChildAndExitsEndsTheRun) {
    Install install;
    install.PrepareForGame();
    Wrapper wrapper(install, "--spawn-child \"--exit-after 60000\" --exit-after 500 --exit-code 4");
    ASSERT_TRUE(WaitUntil([&] { return HasLineStarting(install.GameLog(), "spawned"); }));
    std::string spawned = Starting(install.GameLog(), "spawned").front();
    DWORD childId = DWORD(std::stoul(spawned.substr(spawned.find(' ') + 1)));
    HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, childId);
    ASSERT_NE(child, nullptr);

    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WaitForSingleObject(child, 0), DWORD(WAIT_TIMEOUT)) << "the child runs on";
    EXPECT_TRUE(Responds(window));
    DWORD closed = GetTickCount();
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(wrapper.WaitForExit(5000), 4u) << "the code of the game it started";
    EXPECT_LT(GetTickCount() - closed, 3000u) << "nothing of the child is waited for";
    EXPECT_EQ(WaitForSingleObject(child, 0), DWORD(WAIT_TIMEOUT))
        << "a process it did not start is left alone";
    CloseHandle(child);
}

TEST(HostileGame, AGameWithManyWindows) {
    struct Case {
        const char* name;
        const char* tail;
        bool closedByTheWrapper;
    };
    const Case cases[] = {
        {"closed by the player", "--windows 40 --exit-code 9", true},
        {"ends by itself", "--windows 40 --exit-after 2500 --exit-code 9", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Install install;
        install.PrepareForGame();
        Wrapper wrapper(install, c.tail);
        ASSERT_TRUE(WaitUntil([&] { return FindWindowsOfClass("FixtureGame").size() == 40; }));
        HWND window = FindWindowA("TarvelGameWrapper", nullptr);
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(Responds(window));
        if (c.closedByTheWrapper) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            MessageBoxSeen box = wrapper.WaitForMessageBox();
            ASSERT_NE(box.window, nullptr);
            EXPECT_EQ(box.caption, "Confirm Exit");
            DWORD answered = GetTickCount();
            wrapper.Answer(box, IDYES);
            EXPECT_EQ(wrapper.WaitForExit(), 9u);
            EXPECT_LT(GetTickCount() - answered, 3000u) << "the main window took the close";
            EXPECT_FALSE(HasLineStarting(install.GameLog(), "SC_CLOSE"));
        } else {
            window = wrapper.WaitForPostGame();
            ASSERT_NE(window, nullptr);
            EXPECT_TRUE(Responds(window));
            PostMessageA(window, WM_CLOSE, 0, 0);
            EXPECT_EQ(wrapper.WaitForExit(), 9u);
        }
    }
}

} // namespace
