#include "game_test_support.h"

#include "game/game_process.h"
#include "harness.h"
#include "screens/screen_controller.h"
#include "settings/game_record.h"
#include "shell/main_window.h"

#include <cstring>

namespace {

std::string tail;

} // namespace

void PrepareGame(const char* commandTail) {
    std::string folder = harness::BuildFolder();
    CreateDirectoryA((folder + "TarvelArcade").c_str(), nullptr);
    harness::WriteFileText(folder + "TarvelArcade\\QOX_002.wdt", "Application Name=Game Tests\r\n");
    GameRecord& record = GetGameRecord();
    std::strcpy(record.gameExeName, "fixture_game.exe");
    tail = commandTail;
    record.commandTail = tail.c_str();
    ClearGameLog();
}

HWND EnsureWrapperWindow() {
    if (mainWindow == nullptr) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "GameTestsWrapper";
        RegisterClassA(&windowClass);
        RECT rect;
        GetExpectedWindowRect(rect);
        mainWindow = CreateWindowExA(0, "GameTestsWrapper", "wrapper", kMainWindowStyle, 100, 100,
                                     rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    return mainWindow;
}

void EndGameHard() {
    GameRecord& record = GetGameRecord();
    if (record.gameProcess.hProcess != nullptr) {
        TerminateProcess(record.gameProcess.hProcess, 0);
        WaitForSingleObject(record.gameProcess.hProcess, 5000);
    }
    ResetGameProcess();
    ScreenController& controller = GetScreenController();
    controller.savedGameRect = RECT{};
    controller.gameMinimised = false;
    controller.gameToFrontPending = false;
}

std::string GameLog() {
    return harness::ReadFileText(harness::BuildFolder() + "game_log.txt");
}

void ClearGameLog() {
    DeleteFileA((harness::BuildFolder() + "game_log.txt").c_str());
}
