// The wrapper and a real game process: the command line and folder it is
// started with, its exit code, the exit question and the close escalation.
#include "harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace harness;

namespace {

const char* const kConfirmText =
    "Are you sure you want to Exit?\n\nYour game will be closed and all progress lost.";

// The time the game logged with the first line that starts with prefix; -1 when none.
long LoggedTime(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines) {
        if (line.rfind(prefix, 0) == 0) {
            return std::strtol(line.substr(line.find_last_of(' ') + 1).c_str(), nullptr, 10);
        }
    }
    return -1;
}

// Waits for the post-game screen (the wrapper visible again) and closes it.
DWORD CloseAfterTheGame(const Wrapper& wrapper, int gameRuns = 1) {
    HWND window = wrapper.WaitForPostGame(gameRuns);
    EXPECT_NE(window, nullptr) << "the wrapper came back after the game";
    PostMessageA(window, WM_CLOSE, 0, 0);
    return wrapper.WaitForExit();
}

TEST(Game, StartedWithTheTailInTheStartFolder) {
    struct Case {
        const char* wrapperName;
        const char* gameName;
        const char* tail;
        const char* expectedCommandLine;
    };
    const Case cases[] = {
        {"Puzzle.exe", "Puzzle.QXG", "--exit-after 200 a  \"b c\"",
         "\"Puzzle.QXG\" --exit-after 200 a  \"b c\""},
        {"Puzzle.exe", "QOX_001.exe", "--exit-after 200", "\"QOX_001.exe\" --exit-after 200"},
        {"Marbles.exe", "Marbles.QXG", "", "\"Marbles.QXG\" "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expectedCommandLine);
        Install install(c.wrapperName);
        install.UseServices();
        install.UseSkin();
        install.UseGame(c.gameName);
        std::string start = install.Path("start here");
        CreateDirectoryA(start.c_str(), nullptr);
        Wrapper wrapper(install, c.tail, start);
        ASSERT_TRUE(WaitUntil([&] { return HasLineStarting(install.GameLog(), "cwd"); }));
        std::vector<std::string> log = install.GameLog();
        EXPECT_EQ(log[0], std::string("cmdline ") + c.expectedCommandLine);
        EXPECT_EQ(log[1], "cwd " + start);
        if (c.tail[0] == '\0') {
            HWND game = WaitForGameWindow();
            ASSERT_NE(game, nullptr);
            PostMessageA(game, WM_CLOSE, 0, 0);
        }
        EXPECT_EQ(CloseAfterTheGame(wrapper), 0u);
    }
}

TEST(Game, WrapperEndsWithTheGamesExitCode) {
    Install install;
    install.PrepareForGame();
    Wrapper wrapper(install, "--exit-code 3 --exit-after 300");
    // While the game runs the wrapper's window is hidden.
    ASSERT_NE(WaitForGameWindow(), nullptr);
    EXPECT_TRUE(wrapper.Windows("TarvelGameWrapper").empty());
    EXPECT_EQ(CloseAfterTheGame(wrapper), 3u);
}

TEST(Game, MissingGameCountsAsEndedAtOnce) {
    Install install;
    install.UseServices();
    install.UseSkin();
    Wrapper wrapper(install);
    EXPECT_EQ(CloseAfterTheGame(wrapper, 0), 0u);
    EXPECT_EQ(wrapper.WaitForMessageBox(0).window, nullptr) << "nothing reported";
}

TEST(Game, ExitQuestionSuspendsTheGame) {
    Install install;
    install.PrepareForGame();
    Wrapper wrapper(install, "--counter --exit-code 5");
    HWND game = WaitForGameWindow();
    ASSERT_NE(game, nullptr);
    auto title = [&] {
        char text[64] = "";
        GetWindowTextA(game, text, sizeof text);
        return std::string(text);
    };
    ASSERT_TRUE(WaitUntil([&] { return title().rfind("count", 0) == 0; }));
    HWND window = FindWindowA("TarvelGameWrapper", nullptr);
    ASSERT_NE(window, nullptr);

    PostMessageA(window, WM_CLOSE, 0, 0);
    MessageBoxSeen box = wrapper.WaitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Confirm Exit");
    EXPECT_EQ(box.text, kConfirmText);
    EXPECT_EQ(GetWindow(box.window, GW_OWNER), window) << "owned by the wrapper's window";
    std::string stopped = title();
    Sleep(300);
    EXPECT_EQ(title(), stopped) << "the game's main thread stands still";
    wrapper.Answer(box, IDNO);
    EXPECT_TRUE(WaitUntil([&] { return title() != stopped; })) << "and runs again after No";
    EXPECT_TRUE(wrapper.IsRunning());
    EXPECT_FALSE(HasLineStarting(install.GameLog(), "WM_CLOSE"));

    PostMessageA(window, WM_CLOSE, 0, 0);
    box = wrapper.WaitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    wrapper.Answer(box, IDYES);
    EXPECT_EQ(wrapper.WaitForExit(), 5u);
    std::vector<std::string> log = install.GameLog();
    EXPECT_TRUE(HasLineStarting(log, "WM_CLOSE"));
    EXPECT_FALSE(HasLineStarting(log, "SC_CLOSE")) << "a polite game gets nothing else";
}

TEST(Game, CloseEscalatesToTermination) {
    struct Case {
        const char* name;
        const char* tail;
        bool terminated;
    };
    const Case cases[] = {
        {"ignores every close message", "--ignore-close", true},
        {"hung", "--hang-after 400", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Install install;
        install.PrepareForGame();
        Wrapper wrapper(install, c.tail);
        HWND game = WaitForGameWindow();
        ASSERT_NE(game, nullptr);
        HANDLE process = OpenGameProcess(game);
        ASSERT_NE(process, nullptr);
        if (std::string(c.tail).find("hang") != std::string::npos) {
            ASSERT_TRUE(WaitUntil([&] { return HasLineStarting(install.GameLog(), "hang"); }));
        }
        PostMessageA(FindWindowA("TarvelGameWrapper", nullptr), WM_CLOSE, 0, 0);
        MessageBoxSeen box = wrapper.WaitForMessageBox();
        ASSERT_NE(box.window, nullptr);
        EXPECT_EQ(box.caption, "Confirm Exit");
        DWORD answered = GetTickCount();
        wrapper.Answer(box, IDYES);
        EXPECT_EQ(wrapper.WaitForExit(), 0u) << "a game ended by force leaves code 0";
        DWORD took = GetTickCount() - answered;
        EXPECT_GT(took, 4000u) << "2 + 1 + 1 + 1 seconds of waiting";
        EXPECT_LT(took, 9000u) << "bounded";
        ASSERT_EQ(WaitForSingleObject(process, 2000), WAIT_OBJECT_0);
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        EXPECT_EQ(code, 0xFFFFFFFFu) << "terminated";
        CloseHandle(process);
        if (c.name[0] == 'i') {
            std::vector<std::string> log = install.GameLog();
            long close = LoggedTime(log, "WM_CLOSE");
            long sc = LoggedTime(log, "SC_CLOSE");
            long quit = LoggedTime(log, "WM_QUIT");
            long destroy = LoggedTime(log, "WM_DESTROY");
            ASSERT_GE(close, 0);
            EXPECT_NEAR(sc - close, 2000, 400);
            EXPECT_NEAR(quit - sc, 1000, 400);
            EXPECT_NEAR(destroy - quit, 1000, 400);
        }
    }
}

TEST(Game, WindowOfAnotherThreadIsFoundOnlyWhenSet) {
    struct Case {
        const char* setting;
        bool asks;
    };
    for (const Case& c :
         {Case{"Multithreaded Game UI=1\r\n", true}, Case{"Multithreaded Game UI=0\r\n", false}}) {
        SCOPED_TRACE(c.setting);
        Install install;
        install.PrepareForGame();
        install.WriteSettings(DefaultSettings() + c.setting);
        Wrapper wrapper(install, "--thread-window --exit-code 6");
        ASSERT_NE(WaitForGameWindow(), nullptr);
        Sleep(200);
        PostMessageA(FindWindowA("TarvelGameWrapper", nullptr), WM_CLOSE, 0, 0);
        if (c.asks) {
            MessageBoxSeen box = wrapper.WaitForMessageBox();
            ASSERT_NE(box.window, nullptr);
            EXPECT_EQ(box.caption, "Confirm Exit");
            wrapper.Answer(box, IDYES);
            EXPECT_EQ(wrapper.WaitForExit(), 6u);
        } else {
            // Not found: no question, and the game is ended by force.
            EXPECT_EQ(wrapper.WaitForExit(), 0u);
            EXPECT_TRUE(FindWindowsOfClass("FixtureGame").empty());
        }
    }
}

} // namespace
