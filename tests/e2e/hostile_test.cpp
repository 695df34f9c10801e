// A game and a services update that misbehave, end to end: the wrapper
// stays responsive, ends within its bounds with the right exit code, and
// the services folder ends as the roll-back leaves it.
#include "harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace harness;

namespace {

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
    std::string spawned = LinesStarting(install.GameLog(), "spawned").front();
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

// Writes a file of the services folder, creating its folder.
void PutService(const Install& install, const std::string& name, const std::string& text) {
    std::string path = install.Path("TarvelArcade\\" + name);
    CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
    WriteFileText(path, text);
}

std::string Service(const Install& install, const std::string& name) {
    return install.Path("TarvelArcade\\" + name);
}

// Every file of the install besides the services folder's update files.
void ExpectTheRestOfTheInstallKept(const Install& install) {
    for (const char* name : {"GameWrapper.exe", "GameWrapper.QXG", "TarvelArcade\\QOX_002.wdt",
                             "TarvelArcade\\TarvelArcade.dll", "TarvelArcade\\Background.jpg",
                             "TarvelArcade\\other.bin"}) {
        EXPECT_TRUE(FileExists(install.Path(name))) << name;
    }
}

TEST(HostileUpdate, AFailedMoveEndsAsTheRollBackLeavesIt) {
    struct Case {
        const char* name;
        bool backup;
    };
    for (const Case& c :
         {Case{"without a backup folder", false}, Case{"with a read-only backup file", true}}) {
        SCOPED_TRACE(c.name);
        Install install;
        install.PrepareForGame();
        install.ScriptServices("update_after_frame=3\ncomplete_after=100000\n");
        PutService(install, "other.bin", "other");
        PutService(install, "Update\\fixture.txt", "complete_after=4\n");
        PutService(install, "Update\\a.bin", "new a");
        PutService(install, "Update\\locked.bin", "new locked");
        PutService(install, "locked.bin", "old locked");
        PutService(install, "Application.dat", "application");
        PutService(install, "Channel.dat", "channel");
        if (c.backup) {
            PutService(install, "Backup\\b.bin", "backup b");
            SetFileAttributesA(Service(install, "Backup\\b.bin").c_str(), FILE_ATTRIBUTE_READONLY);
            PutService(install, "b.bin", "old b");
            SetFileAttributesA(Service(install, "b.bin").c_str(), FILE_ATTRIBUTE_READONLY);
        }
        // Held open without sharing: the update cannot replace it.
        HANDLE locked = CreateFileA(Service(install, "locked.bin").c_str(), GENERIC_READ, 0,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(locked, INVALID_HANDLE_VALUE);

        Wrapper wrapper(install, "--exit-after 200 --exit-code 2");
        HWND window = wrapper.WaitForPostGame();
        ASSERT_NE(window, nullptr);
        ClickOtherGames(window);
        bool completed = WaitUntil([&] {
            for (const std::string& line : install.ServicesLog()) {
                if (line == "Complete 1") {
                    return true;
                }
            }
            return false;
        });
        CloseHandle(locked);
        ASSERT_TRUE(completed) << "the re-started module ends the session";
        std::vector<std::string> draws = LinesStarting(install.ServicesLog(), "Draw 1|");
        ASSERT_EQ(draws.size(), 2u);
        EXPECT_EQ(draws[1], "Draw 1|pixels|2160|3|1|1|1") << "told of the roll-back";

        EXPECT_EQ(GetFileAttributesA(Service(install, "Update").c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_FALSE(FileExists(Service(install, "Application.dat")));
        EXPECT_FALSE(FileExists(Service(install, "Channel.dat")));
        EXPECT_EQ(ReadFileText(Service(install, "locked.bin")), "old locked");
        EXPECT_EQ(ReadFileText(Service(install, "a.bin")), "new a");
        EXPECT_EQ(ReadFileText(Service(install, "fixture.txt")), "complete_after=4\n");
        if (c.backup) {
            EXPECT_EQ(ReadFileText(Service(install, "b.bin")), "backup b");
            EXPECT_FALSE(FileExists(Service(install, "Backup\\b.bin")));
        }
        ExpectTheRestOfTheInstallKept(install);
        EXPECT_TRUE(Responds(window));
        PostMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(wrapper.WaitForExit(), 2u);
    }
}

TEST(HostileUpdate, AModuleThatWantsAnUpdateOnEveryFrame) {
    Install install;
    install.PrepareForGame();
    install.ScriptServices("update_after_frame=1\ncomplete_after=100000\n");
    PutService(install, "other.bin", "other");
    Wrapper wrapper(install, "--exit-after 200 --exit-code 3");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    ClickOtherGames(window);
    EXPECT_TRUE(WaitUntil(
        [&] { return LinesStarting(install.ServicesLog(), "Initialize").size() >= 12; }, 20000))
        << "re-started on every other frame";
    EXPECT_TRUE(Responds(window));
    EXPECT_EQ(wrapper.WaitForMessageBox(0).window, nullptr) << "nothing to report";
    DWORD closed = GetTickCount();
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(wrapper.WaitForExit(5000), 3u);
    EXPECT_LT(GetTickCount() - closed, 3000u);
    for (const std::string& draw : LinesStarting(install.ServicesLog(), "Draw")) {
        EXPECT_EQ(draw.substr(0, 7), "Draw 1|") << "a fresh module each time";
        EXPECT_EQ(draw.substr(draw.size() - 4), "|0|0") << "never a roll-back";
    }
    EXPECT_EQ(ReadFileText(Service(install, "fixture.txt")),
              "update_after_frame=1\ncomplete_after=100000\n");
    ExpectTheRestOfTheInstallKept(install);
}

} // namespace
