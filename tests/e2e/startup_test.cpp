// Start-up of the real wrapper: single instance, services loading and
// linking, the settings file, the main window and its close box.
#include "harness.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace harness;

namespace {

const char* const kLoadFailurePrefix =
    "The TarvelArcade.dll file could not be loaded. If could be corrupted or in the wrong "
    "location.\nThe correct location is in the \"TarvelArcade\" subfolder in the same folder as "
    "the application's exe.\n\nWin32 Error: ";

const char* const kApplicationErrorText =
    "There was an error initializing the application. It will now exit.";

size_t CountOf(const std::vector<std::string>& lines, const std::string& line) {
    size_t n = 0;
    for (const std::string& l : lines) {
        n += l == line;
    }
    return n;
}

// Expects the start-up failure box, answers it and returns the exit code.
DWORD ExpectApplicationError(const Wrapper& wrapper) {
    MessageBoxSeen box = wrapper.WaitForMessageBox();
    EXPECT_NE(box.window, nullptr);
    if (box.window == nullptr) {
        return STILL_ACTIVE;
    }
    EXPECT_EQ(box.caption, "Application Error");
    EXPECT_EQ(box.text, kApplicationErrorText);
    EXPECT_TRUE(wrapper.Windows("TarvelGameWrapper").empty()) << "no window before the box";
    wrapper.Answer(box, IDOK);
    return wrapper.WaitForExit();
}

TEST(Startup, SecondWrapperIsRefused) {
    Install first;
    first.UseServices();
    first.UseSkin();
    Wrapper running(first);
    ASSERT_NE(running.WaitForPostGame(0), nullptr);

    Install second;
    second.UseServices();
    Wrapper refused(second);
    MessageBoxSeen box = refused.WaitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "Game Already Running");
    EXPECT_EQ(box.text, "You currently have another game running.\n\nIf you wish to run this one, "
                        "please close the other one first.");
    EXPECT_TRUE(refused.Windows("TarvelGameWrapper").empty());
    refused.Answer(box, IDOK);
    EXPECT_EQ(refused.WaitForExit(), 0xFFFFFFFFu);
    EXPECT_TRUE(second.ServicesLog().empty()) << "the refused wrapper loaded no services";

    EXPECT_TRUE(running.IsRunning());
    HWND window = running.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(running.WaitForExit(), 0u);
}

TEST(Startup, ServicesLibraryThatDoesNotLoad) {
    struct Case {
        const char* name;
        const char* dllBytes; // null: no file
        DWORD error;
    };
    const Case cases[] = {
        {"no library in the folder", nullptr, ERROR_MOD_NOT_FOUND},
        {"a library that is no module", "this is not a module", ERROR_BAD_EXE_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Install install;
        if (c.dllBytes != nullptr) {
            WriteFileText(install.Path("TarvelArcade\\TarvelArcade.dll"), c.dllBytes);
        }
        WriteFileText(install.Path("QO_Error.txt"), std::string(5000, 'x'));
        Wrapper wrapper(install);
        EXPECT_EQ(ExpectApplicationError(wrapper), 0u);
        std::string report = ReadTextModeFile(install.Path("QO_Error.txt"));
        EXPECT_EQ(report, kLoadFailurePrefix + SystemErrorText(c.error));
    }
}

TEST(Startup, MissingEntryPointIsReported) {
    const char* const entries[] = {"GetDLLVersionAsString",
                                   "GetDLLVersionAsInt",
                                   "Initialize",
                                   "ShutDown",
                                   "EnterMenuSession",
                                   "IsTheMenuSessionComplete",
                                   "DrawNextFrameIntoBuffer",
                                   "GetNumberOfRectsToUpdate",
                                   "GetUpdateRect",
                                   "HandleWindowsMessage",
                                   "SetPalette",
                                   "GetValueAsString",
                                   "GetValueAsInt",
                                   "GetValueAsFloat",
                                   "IsASystemUpdateRequired",
                                   "GetLastErrorInformation"};
    for (size_t i = 0; i < std::size(entries); ++i) {
        std::string entry = entries[i];
        SCOPED_TRACE(entry);
        Install install;
        install.UseServices("fixture_services_without_" + entry + ".dll");
        Wrapper wrapper(install);
        EXPECT_EQ(ExpectApplicationError(wrapper), 0u);
        EXPECT_EQ(ReadTextModeFile(install.Path("QO_Error.txt")),
                  "Could not link to 'qodll_" + entry + "' function within the dll.");
        std::vector<std::string> log = install.ServicesLog();
        // The version entries are called once as they are linked, before the gap.
        EXPECT_EQ(CountOf(log, "GetDLLVersionAsString"), i > 0 ? 1u : 0u);
        EXPECT_EQ(CountOf(log, "GetDLLVersionAsInt"), i > 1 ? 1u : 0u);
        EXPECT_EQ(CountOf(log, "detach unload"), 1u) << "unloaded at once";
        for (const std::string& line : log) {
            EXPECT_NE(line.rfind("Initialize", 0), 0u) << "never started";
        }
    }
}

TEST(Startup, ModuleThatFailsToStart) {
    Install install;
    install.UseServices();
    install.ScriptServices("initialize_result=7\nlast_error=No licence for this channel\n");
    Wrapper wrapper(install);
    EXPECT_EQ(ExpectApplicationError(wrapper), 0u);
    // The module's own text is kept although the module was unloaded.
    EXPECT_EQ(ReadTextModeFile(install.Path("QO_Error.txt")), "No licence for this channel");
    std::vector<std::string> log = install.ServicesLog();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0], "GetDLLVersionAsString");
    EXPECT_EQ(log[1], "GetDLLVersionAsInt");
    EXPECT_EQ(log[2], "Initialize 4242|Marble Quest|77|" + install.Path("TarvelArcade\\") + "|0|6");
    EXPECT_EQ(log[3], "detach unload");
    EXPECT_EQ(CountOf(log, "ShutDown"), 0u);
}

TEST(Startup, ModuleThatFailsWithoutATextGetsTheFallback) {
    Install install;
    install.UseServices();
    install.ScriptServices("initialize_result=9\n");
    Wrapper wrapper(install);
    EXPECT_EQ(ExpectApplicationError(wrapper), 0u);
    EXPECT_EQ(ReadTextModeFile(install.Path("QO_Error.txt")),
              "Extended error information is not available for the last error.");
}

TEST(Startup, MissingSettingsFileIsFatal) {
    Install install;
    install.UseServices();
    install.RemoveSettings();
    Wrapper wrapper(install);
    MessageBoxSeen box = wrapper.WaitForMessageBox();
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "FATAL ERROR");
    EXPECT_EQ(box.text, "Could not get file size");
    wrapper.Answer(box, IDOK);
    EXPECT_EQ(wrapper.WaitForExit(), 0xFFFFFFFFu);
    EXPECT_TRUE(install.ServicesLog().empty()) << "settings come before the services";
}

// Without a game the wrapper goes straight to its post-game screen, so its
// window stays up for these tests.
TEST(Startup, MainWindowIsCentredAndClosesOnTheCloseBox) {
    Install install;
    install.UseServices();
    install.UseSkin();
    Wrapper wrapper(install);
    HWND window = wrapper.WaitForPostGame(0);
    ASSERT_NE(window, nullptr);

    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 720);
    EXPECT_EQ(client.bottom - client.top, 540);
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Marble Quest");

    RECT outer{};
    GetWindowRect(window, &outer);
    RECT expected{0, 0, 720, 540};
    AdjustWindowRectEx(&expected, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE, 0);
    int width = expected.right - expected.left;
    int height = expected.bottom - expected.top;
    EXPECT_EQ(outer.right - outer.left, width);
    EXPECT_EQ(outer.bottom - outer.top, height);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(outer.left, work.left + ((work.right - work.left) - width) / 2);
    EXPECT_EQ(outer.top, work.top + ((work.bottom - work.top) - height) / 2);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);

    // A thread message never reaches the loop, so it cannot end the wrapper.
    ASSERT_TRUE(PostThreadMessageA(wrapper.MainThreadId(), WM_QUIT, 0, 0));
    Sleep(300);
    EXPECT_TRUE(wrapper.IsRunning());

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(wrapper.WaitForExit(), 0u);
    std::vector<std::string> log = install.ServicesLog();
    EXPECT_EQ(CountOf(log, "ShutDown"), 1u);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "detach unload") << "unloaded before the process ended";
}

TEST(Startup, WrongSizeIsCorrectedAndRecentred) {
    Install install;
    install.UseServices();
    install.UseSkin();
    Wrapper wrapper(install);
    HWND window = wrapper.WaitForPostGame(0);
    ASSERT_NE(window, nullptr);
    RECT before{};
    GetWindowRect(window, &before);
    MoveWindow(window, 5, 5, 300, 200, TRUE);
    EXPECT_TRUE(WaitUntil([&] {
        RECT now{};
        GetWindowRect(window, &now);
        return EqualRect(&now, &before) != 0;
    }));
    // The right size is left wherever it is.
    MoveWindow(window, -40, 7, before.right - before.left, before.bottom - before.top, TRUE);
    Sleep(200);
    RECT moved{};
    GetWindowRect(window, &moved);
    EXPECT_EQ(moved.left, -40);
    EXPECT_EQ(moved.top, 7);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(wrapper.WaitForExit(), 0u);
}

} // namespace
