// Menu sessions and the services update, end to end: the wrapper hands its
// window to a services module on "Other Games", and moves the module's
// update into place between two frames of the session.
#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdlib>
#include <string>
#include <vector>

using namespace harness;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
const RECT kClient{0, 0, 720, 540};
const char* const kCorruptedText =
    "This application appears to be become corrupted and must be reinstalled. If you have "
    "already purchased this application then you will still have the full version after the "
    "reinstallation.";

bool HasLine(const Install& install, const std::string& line) {
    for (const std::string& logged : install.ServicesLog()) {
        if (logged == line) {
            return true;
        }
    }
    return false;
}

bool WaitForLine(const Install& install, const std::string& line, DWORD timeoutMs = 10000) {
    return WaitUntil([&] { return HasLine(install, line); }, timeoutMs);
}

bool WaitForPrefix(const Install& install, const std::string& prefix) {
    return WaitUntil([&] {
        for (const std::string& logged : install.ServicesLog()) {
            if (logged.rfind(prefix, 0) == 0) {
                return true;
            }
        }
        return false;
    });
}

// The log lines from the first one equal to from on (all of them without from).
std::vector<std::string> LinesFrom(const Install& install, const std::string& from) {
    std::vector<std::string> lines = install.ServicesLog();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == from) {
            return std::vector<std::string>(lines.begin() + long(i), lines.end());
        }
    }
    return {};
}

int CountGameStarts(const Install& install) {
    return int(LinesStarting(install.GameLog(), "cmdline").size());
}

void CloseAndExpectExit(Process& wrapper, HWND window) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(wrapper.WaitForExit(), 0u);
}

TEST(MenuSession, FailingStartShowsTheModulesErrorAndTheCountdownGoesOn) {
    Install install;
    install.PrepareForGame();
    install.UseSkin("flat-skin");
    install.ScriptServices("enter_result=4\nlast_error=The menu is closed today.\n");
    Wrapper wrapper(install, "--exit-after 200");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    ClickOtherGames(window);
    MessageBoxSeen box = wrapper.WaitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "The menu is closed today.");
    wrapper.Answer(box, IDOK);

    Screenshot before = CaptureClient(window);
    PumpMessages(2200);
    EXPECT_GT(CaptureClient(window).CountDifferences(before, RECT{460, 60, 690, 300}), 0)
        << "the countdown goes on";
    EXPECT_TRUE(HasLine(install, "EnterMenuSession 1|720|540"));
    EXPECT_TRUE(LinesStarting(install.ServicesLog(), "Draw").empty()) << "no session frame";
    CloseAndExpectExit(wrapper, window);
}

struct RectsCase {
    const char* name;
    const char* script;
    std::vector<RECT> shown; // where the module's red reaches the window
};

// The module paints its whole buffer red every frame; only what it reports
// may reach the window, and the wrapper draws nothing over it.
TEST(MenuSession, OnlyTheReportedRectanglesReachTheWindow) {
    const RectsCase cases[] = {
        {"no rectangles", "", {}},
        {"two rectangles",
         "rects=10,10,110,60;200,300,260,340\n",
         {{10, 10, 110, 60}, {200, 300, 260, 340}}},
        {"count shrinks between asks",
         "rects=10,10,110,60;200,300,260,340\nrect_counts=2,1\n",
         {{10, 10, 110, 60}}},
        {"rectangles beyond the client area are clipped",
         "rects=-50,-50,30,30;700,520,900,900;400,400,300,300\n",
         {{0, 0, 30, 30}, {700, 520, 720, 540}}},
    };
    for (const RectsCase& c : cases) {
        SCOPED_TRACE(c.name);
        Install install;
        install.PrepareForGame();
        install.UseSkin("flat-skin");
        install.ScriptServices(std::string("fill_colour=FF0000\ncomplete_on_click=1\n") + c.script);
        Wrapper wrapper(install, "--exit-after 200");
        HWND window = wrapper.WaitForPostGame();
        ASSERT_NE(window, nullptr);
        ClickOtherGames(window);
        ASSERT_TRUE(WaitForPrefix(install, "Draw 5|pixels|2160|3|"));
        Screenshot first = CaptureClient(window);
        PumpMessages(1500);
        Screenshot later = CaptureClient(window);

        int shownArea = 0;
        for (const RECT& r : c.shown) {
            EXPECT_EQ(later.CountNear(r, kRed), Area(r));
            shownArea += Area(r);
        }
        EXPECT_EQ(later.CountNear(kClient, kRed), shownArea) << "nothing else is red";
        EXPECT_EQ(later.CountDifferences(first, kClient), 0)
            << "no wrapper drawing: countdown, buttons and build label stand still";

        // Every rectangle is fetched after asking the count again.
        std::vector<std::string> lines = install.ServicesLog();
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].rfind("UpdateRect", 0) == 0) {
                ASSERT_GT(i, 0u);
                EXPECT_EQ(lines[i - 1].rfind("RectCount", 0), 0u) << lines[i];
            }
        }

        Click(window, 100, 100);
        ASSERT_TRUE(WaitForLine(install, "Complete 1"));
        EXPECT_TRUE(WaitUntil([&] { return CaptureClient(window).CountNear(kClient, kRed) == 0; }))
            << "the post-game screen is back";
        EXPECT_EQ(CountGameStarts(install), 1);
        CloseAndExpectExit(wrapper, window);
    }
}

TEST(MenuSession, AnAbsurdRectangleCountDoesNotHoldTheWrapper) {
    Install install;
    install.PrepareForGame();
    install.ScriptServices("rects=10,10,20,20\nrect_counts=2000000000\ncomplete_after=3\n");
    Wrapper wrapper(install, "--exit-after 200");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    ClickOtherGames(window);
    ASSERT_TRUE(WaitForLine(install, "Complete 1", 30000)) << "the session still ends";
    // Each frame fetches a bounded number of rectangles.
    int run = 0;
    int longest = 0;
    for (const std::string& line : install.ServicesLog()) {
        if (line.rfind("UpdateRect", 0) == 0) {
            longest = std::max(longest, ++run);
        } else if (line.rfind("Draw", 0) == 0) {
            run = 0;
        }
    }
    EXPECT_GT(longest, 0);
    EXPECT_LE(longest, 1024);
    CloseAndExpectExit(wrapper, window);
}

TEST(MenuSession, PaintGivesContinuityZeroToTheNextFrameOnlyAndButtonsAreNotHit) {
    Install install;
    install.PrepareForGame();
    install.ScriptServices("complete_after=150\n");
    Wrapper wrapper(install, "--exit-after 200");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    ClickOtherGames(window);
    ASSERT_TRUE(WaitForPrefix(install, "Draw 10|pixels|2160|3|1|0|0"));
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Click(window, 512, 488); // Play Game
    ASSERT_TRUE(WaitForLine(install, "Complete 1", 15000));

    // The first frame may be told of a paint before the session; after that
    // only the one paint of the test counts.
    std::vector<std::string> draws = LinesStarting(install.ServicesLog(), "Draw");
    ASSERT_EQ(draws.size(), 150u);
    int zeros = 0;
    for (size_t i = 1; i < draws.size(); ++i) {
        bool zero = draws[i].find("|2160|3|0|") != std::string::npos;
        zeros += zero;
        if (zero) {
            EXPECT_GE(i, 10u) << "only after the paint";
            ASSERT_LT(i + 1, draws.size());
            EXPECT_NE(draws[i + 1].find("|2160|3|1|"), std::string::npos) << "the next is 1 again";
        }
    }
    EXPECT_EQ(zeros, 1);
    EXPECT_TRUE(HasLine(install, "Message 513|1|" + std::to_string(MAKELPARAM(512, 488))))
        << "the click was offered to the module";
    PumpMessages(500);
    EXPECT_EQ(CountGameStarts(install), 1) << "Play Game was not hit during the session";
    CloseAndExpectExit(wrapper, window);
}

TEST(MenuSession, CountdownStandsStillDuringASessionAndGoesOnAfterIt) {
    Install install;
    install.PrepareForGame();
    install.UseSkin("flat-skin");
    install.ScriptServices("complete_on_click=1\n");
    Wrapper wrapper(install, "--exit-after 200 --exit-code 5");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    ClickOtherGames(window);
    ASSERT_TRUE(WaitForPrefix(install, "Draw 1|"));
    // Longer than the whole countdown: had it run, the wrapper would be gone.
    PumpMessages(21000);
    ASSERT_TRUE(wrapper.IsRunning());
    Screenshot during = CaptureClient(window);
    Click(window, 100, 100);
    ASSERT_TRUE(WaitForLine(install, "Complete 1"));
    EXPECT_TRUE(WaitUntil([&] {
        return CaptureClient(window).CountDifferences(during, RECT{460, 60, 690, 300}) > 0;
    })) << "the countdown is drawn again and moves";
    EXPECT_EQ(wrapper.WaitForExit(30000), 5u) << "and closes the wrapper in the end";
}

// Writes a file, creating its folder.
void Put(const Install& install, const std::string& relative, const std::string& text) {
    std::string path = install.Path(relative);
    CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
    WriteFileText(path, text);
}

std::string Services(const std::string& name) {
    return "TarvelArcade\\" + name;
}

TEST(ServicesUpdate, MovesTheUpdateIntoPlaceAndReentersTheSession) {
    Install install;
    install.PrepareForGame();
    install.ScriptServices("update_after_frame=5\ncomplete_after=100000\n");
    CreateDirectoryA(install.Path(Services("Update")).c_str(), nullptr);
    install.CopyBuilt("fixture_services.dll", Services("Update\\TarvelArcade.dll"));
    Put(install, Services("Update\\fixture.txt"), "complete_after=10\n");
    Put(install, Services("Update\\data.bin"), "new data");
    Put(install, Services("Update\\more.bin"), "more");
    for (const char* marker : {"Arcade.red", "Application.red", "Channel.red"}) {
        Put(install, Services(std::string("Update\\") + marker), "marker");
    }
    Put(install, Services("Update\\keep\\inner.txt"), "stays");
    Put(install, Services("data.bin"), "old data");
    SetFileAttributesA(install.Path(Services("data.bin")).c_str(), FILE_ATTRIBUTE_READONLY);
    Put(install, Services("Arcade\\cache.bin"), "cache");
    Put(install, Services("Arcade\\deep\\more.bin"), "cache");
    SetFileAttributesA(install.Path(Services("Arcade\\cache.bin")).c_str(),
                       FILE_ATTRIBUTE_READONLY);
    Put(install, Services("Application.dat"), "application");

    Wrapper wrapper(install, "--exit-after 200");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    ClickOtherGames(window);
    // Messages keep coming while the update is pending; the module must not see them.
    ASSERT_TRUE(WaitUntil([&] {
        PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
        return HasLine(install, "Complete 1");
    }));

    // While pending, the module is neither asked for completion nor offered
    // messages; the next frame replaces it and re-enters the session.
    std::vector<std::string> after = LinesFrom(install, "UpdateRequired 1");
    size_t shutDown = 1;
    while (shutDown < after.size() && after[shutDown] != "ShutDown") {
        EXPECT_EQ(after[shutDown], "RectCount 0");
        ++shutDown;
    }
    ASSERT_GE(after.size(), shutDown + 7);
    const std::vector<std::string> restart(after.begin() + long(shutDown),
                                           after.begin() + long(shutDown) + 7);
    const std::vector<std::string> expected{"ShutDown",
                                            "detach unload",
                                            "GetDLLVersionAsString",
                                            "GetDLLVersionAsInt",
                                            "Initialize 4242|Marble Quest|77|" +
                                                install.Path("TarvelArcade\\") + "|0|6",
                                            "EnterMenuSession 1|720|540",
                                            "Draw 1|pixels|2160|3|1|0|0"};
    EXPECT_EQ(restart, expected);
    EXPECT_TRUE(LinesStarting(install.ServicesLog(), "SetPalette").empty())
        << "no palette was kept";
    EXPECT_EQ(LinesStarting(after, "Draw").size(), 10u) << "the new script ends the session";

    EXPECT_EQ(ReadFileText(install.Path(Services("data.bin"))), "new data");
    EXPECT_EQ(ReadFileText(install.Path(Services("more.bin"))), "more");
    EXPECT_EQ(ReadFileText(install.Path(Services("fixture.txt"))), "complete_after=10\n");
    EXPECT_FALSE(FileExists(install.Path(Services("Update\\data.bin"))));
    EXPECT_FALSE(FileExists(install.Path(Services("Update\\TarvelArcade.dll"))));
    EXPECT_EQ(ReadFileText(install.Path(Services("Update\\keep\\inner.txt"))), "stays");
    for (const char* marker : {"Arcade.red", "Application.red", "Channel.red"}) {
        EXPECT_FALSE(FileExists(install.Path(Services(std::string("Update\\") + marker))));
        EXPECT_FALSE(FileExists(install.Path(Services(marker))));
    }
    EXPECT_EQ(GetFileAttributesA(install.Path(Services("Arcade")).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileText(install.Path(Services("Application.dat"))), "application")
        << "kept when the update went in";
    EXPECT_TRUE(FileExists(install.Path("GameWrapper.exe")));
    CloseAndExpectExit(wrapper, window);
}

TEST(ServicesUpdate, AFileThatCannotBeMovedRollsBackToTheBackup) {
    Install install;
    install.PrepareForGame();
    install.ScriptServices("update_after_frame=3\ncomplete_after=100000\n");
    Put(install, Services("Update\\fixture.txt"), "update_after_frame=3\n");
    Put(install, Services("Update\\a.bin"), "new a");
    Put(install, Services("Update\\locked.bin"), "new locked");
    Put(install, Services("Update\\sub\\inner.txt"), "goes with the update folder");
    Put(install, Services("Backup\\fixture.txt"), "complete_after=4\n");
    Put(install, Services("Backup\\b.bin"), "backup b");
    Put(install, Services("locked.bin"), "old locked");
    Put(install, Services("Application.dat"), "application");
    Put(install, Services("Channel.dat"), "channel");
    Put(install, Services("Arcade\\cache.bin"), "cache");
    // Held open without sharing: the update cannot replace it.
    HANDLE locked = CreateFileA(install.Path(Services("locked.bin")).c_str(), GENERIC_READ, 0,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);

    Wrapper wrapper(install, "--exit-after 200");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    ClickOtherGames(window);
    bool completed = WaitForLine(install, "Complete 1");
    CloseHandle(locked);
    ASSERT_TRUE(completed);

    std::vector<std::string> draws = LinesStarting(LinesFrom(install, "UpdateRequired 1"), "Draw");
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[0], "Draw 1|pixels|2160|3|1|1|1") << "both flags on the first frame";
    EXPECT_EQ(draws[1], "Draw 2|pixels|2160|3|1|1|0") << "then only the first";
    EXPECT_EQ(draws[3], "Draw 4|pixels|2160|3|1|1|0");

    EXPECT_EQ(GetFileAttributesA(install.Path(Services("Update")).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(FileExists(install.Path(Services("Application.dat"))));
    EXPECT_FALSE(FileExists(install.Path(Services("Channel.dat"))));
    EXPECT_EQ(ReadFileText(install.Path(Services("fixture.txt"))), "complete_after=4\n");
    EXPECT_EQ(ReadFileText(install.Path(Services("b.bin"))), "backup b");
    EXPECT_FALSE(FileExists(install.Path(Services("Backup\\b.bin"))));
    EXPECT_EQ(ReadFileText(install.Path(Services("locked.bin"))), "old locked") << "not lost";
    EXPECT_EQ(ReadFileText(install.Path(Services("a.bin"))), "new a") << "the others moved";
    EXPECT_EQ(GetFileAttributesA(install.Path(Services("Arcade")).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(FileExists(install.Path(Services("TarvelArcade.dll"))));
    CloseAndExpectExit(wrapper, window);
}

TEST(ServicesUpdate, AFailedRestartRollsBackAndStartsAgain) {
    Install install;
    install.PrepareForGame();
    install.ScriptServices("update_after_frame=3\ncomplete_after=100000\n");
    Put(install, Services("Update\\fixture.txt"), "initialize_result=9\n");
    Put(install, Services("Backup\\fixture.txt"), "complete_after=2\n");
    Put(install, Services("Application.dat"), "application");

    Wrapper wrapper(install, "--exit-after 200");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    ClickOtherGames(window);
    ASSERT_TRUE(WaitForLine(install, "Complete 1"));
    std::vector<std::string> after = LinesFrom(install, "UpdateRequired 1");
    EXPECT_EQ(LinesStarting(after, "Initialize").size(), 2u);
    std::vector<std::string> draws = LinesStarting(after, "Draw");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0], "Draw 1|pixels|2160|3|1|1|1");
    EXPECT_EQ(draws[1], "Draw 2|pixels|2160|3|1|1|0");
    EXPECT_EQ(ReadFileText(install.Path(Services("Application.dat"))), "application")
        << "the files moved in, so nothing of the roll-back of a failed move";
    CloseAndExpectExit(wrapper, window);
}

TEST(ServicesUpdate, BothStartsFailingBreakTheModuleForTheRestOfTheRun) {
    Install install;
    install.PrepareForGame();
    install.ScriptServices("update_after_frame=3\ncomplete_after=100000\n");
    Put(install, Services("Update\\fixture.txt"), "initialize_result=9\n");

    Wrapper wrapper(install, "--exit-after 200 --exit-code 3");
    HWND window = wrapper.WaitForPostGame();
    ASSERT_NE(window, nullptr);
    ClickOtherGames(window);
    MessageBoxSeen box = wrapper.WaitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Application Error");
    EXPECT_EQ(box.text, kCorruptedText);
    wrapper.Answer(box, IDOK);
    EXPECT_EQ(wrapper.WaitForMessageBox(1500).window, nullptr) << "one box only";
    std::vector<std::string> after = LinesFrom(install, "UpdateRequired 1");
    EXPECT_EQ(LinesStarting(after, "Initialize").size(), 2u);
    EXPECT_TRUE(LinesStarting(after, "Draw").empty());

    // The session ended: the post-game screen is drawn and moves again.
    Screenshot shot = CaptureClient(window);
    EXPECT_TRUE(WaitUntil([&] {
        return CaptureClient(window).CountDifferences(shot, RECT{460, 60, 690, 300}) > 0;
    }));
    size_t logged = install.ServicesLog().size();
    for (int press = 0; press < 2; ++press) {
        ClickOtherGames(window);
        MessageBoxSeen again = wrapper.WaitForMessageBox();
        ASSERT_NE(again.window, nullptr);
        EXPECT_EQ(again.caption, "Application Error");
        EXPECT_EQ(again.text, kCorruptedText);
        wrapper.Answer(again, IDOK);
    }
    EXPECT_EQ(install.ServicesLog().size(), logged) << "the module is never called again";
    EXPECT_TRUE(wrapper.IsRunning());
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(wrapper.WaitForExit(), 3u);
}

TEST(DemoServices, DrawsItsMenuAndEndsOnBackOrEscape) {
    struct Leave {
        const char* name;
        void (*leave)(HWND window);
    };
    const Leave ways[] = {
        {"Back", [](HWND window) { Click(window, 360, 460); }},
        {"Escape",
         [](HWND window) {
             PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
             PumpMessages(100);
         }},
    };
    for (const Leave& way : ways) {
        SCOPED_TRACE(way.name);
        Install install;
        install.PrepareForGame();
        install.UseServices("demo-services\\TarvelArcade.dll");
        Wrapper wrapper(install, "--exit-after 200");
        HWND window = wrapper.WaitForPostGame();
        ASSERT_NE(window, nullptr);
        Screenshot postGame = CaptureClient(window);
        ClickOtherGames(window);
        ASSERT_TRUE(WaitUntil([&] {
            return CaptureClient(window).CountDifferences(postGame, kClient) > Area(kClient) / 2;
        }));
        PumpMessages(300);
        Screenshot menu = CaptureClient(window);
        std::string folder = BuildFolder() + "screenshots\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        SavePng(menu, folder + "demo_other_games.png");

        // Hovering a tile lights it and changes nothing outside it.
        PostMouse(window, WM_MOUSEMOVE, 150, 165);
        PumpMessages(300);
        Screenshot hover = CaptureClient(window);
        const RECT tile{60, 110, 240, 220};
        EXPECT_GT(hover.CountDifferences(menu, tile), 1000);
        EXPECT_EQ(hover.CountDifferences(menu, kClient), hover.CountDifferences(menu, tile));

        way.leave(window);
        EXPECT_TRUE(WaitUntil([&] {
            return CaptureClient(window).CountDifferences(postGame, RECT{0, 0, 440, 540}) == 0;
        })) << "the post-game screen is back";
        CloseAndExpectExit(wrapper, window);
    }
}

} // namespace
