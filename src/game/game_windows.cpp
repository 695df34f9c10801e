#include "game/game_windows.h"

#include "game/game_process.h"
#include "screens/screen_controller.h"
#include "settings/game_record.h"
#include "settings/settings.h"
#include "shell/main_window.h"

#include <cstdlib>

namespace {

CPointerArray<HWND__, NeverDelete<HWND__>> gameWindows;
uint32_t searchGeneration = 0;
bool mainWindowFound = false;
bool exitHandlerRegistered = false;

void FreeGameWindows() {
    gameWindows.FreeStorage();
}

void TakeWindow(HWND window) {
    if (!mainWindowFound) {
        mainWindowFound = true;
        GetGameRecord().gameMainWindow = window;
    }
    if (gameWindows.IndexOf(window) < 0) {
        if (!exitHandlerRegistered) {
            exitHandlerRegistered = true;
            std::atexit(FreeGameWindows);
        }
        gameWindows.Add(window);
    }
}

bool IsVisibleStyle(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

} // namespace

CPointerArray<HWND__, NeverDelete<HWND__>>& GetGameWindows() {
    return gameWindows;
}

void ForgetGameWindows() {
    gameWindows.count = 0;
}

BOOL CALLBACK CollectThreadWindow(HWND window, LPARAM generation) {
    if (uint32_t(generation) != searchGeneration) {
        return FALSE;
    }
    if (IsVisibleStyle(window)) {
        TakeWindow(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM processId) {
    DWORD owner = 0;
    if (window == nullptr ||
        (GetWindowThreadProcessId(window, &owner), owner) != DWORD(processId) ||
        !IsVisibleStyle(window)) {
        return TRUE;
    }
    TakeWindow(window);
    return TRUE;
}

HWND FindGameWindows() {
    ++searchGeneration;
    mainWindowFound = false;
    IsGameRunning();
    GameRecord& record = GetGameRecord();
    if (record.gameProcess.dwThreadId != 0) {
        EnumThreadWindows(record.gameProcess.dwThreadId, CollectThreadWindow,
                          LPARAM(searchGeneration));
        if (!mainWindowFound && IsMultithreadedGameUi()) {
            EnumWindows(CollectProcessWindow, LPARAM(record.gameProcess.dwProcessId));
        }
    }
    return record.gameMainWindow;
}

bool IsGameInForeground() {
    FindGameWindows();
    return gameWindows.IndexOf(GetForegroundWindow()) >= 0;
}

void ShowWrapper() {
    ScreenController& controller = GetScreenController();
    controller.gameToFrontPending = false;
    if (HWND game = FindGameWindows()) {
        if (!controller.gameMinimised) {
            GetWindowRect(game, &controller.savedGameRect);
        }
        controller.gameMinimised = true;
        PostMessageA(game, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    }
    bool wasVisible = IsWindowVisible(mainWindow);
    ShowWindow(mainWindow, SW_SHOWNORMAL);
    SetForegroundWindow(mainWindow);
    BringWindowToTop(mainWindow);
    if (wasVisible) {
        return;
    }
    RECT expected;
    if (!GetExpectedWindowRect(expected) || IsIconic(mainWindow)) {
        return;
    }
    int width = expected.right - expected.left;
    int height = expected.bottom - expected.top;
    POINT at = CentreOnWorkArea(width, height);
    MoveWindow(mainWindow, at.x, at.y, width, height, TRUE);
}

void ShowGame() {
    ScreenController& controller = GetScreenController();
    controller.gameToFrontPending = true;
    ShowWindow(mainWindow, SW_HIDE);
    HWND game = FindGameWindows();
    if (game == nullptr) {
        return;
    }
    controller.gameMinimised = false;
    SetForegroundWindow(game);
    // The game's window belongs to another thread: asked synchronously, a
    // hung game would hang the wrapper with it.
    SetWindowPos(game, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_ASYNCWINDOWPOS);
    ShowWindowAsync(game, SW_SHOWNORMAL);
    RECT& saved = controller.savedGameRect;
    RECT now;
    if ((saved.left == 0 && saved.right == 0) || !GetWindowRect(game, &now) ||
        EqualRect(&now, &saved)) {
        return;
    }
    SetWindowPos(game, nullptr, saved.left, saved.top, saved.right - saved.left,
                 saved.bottom - saved.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
    saved = RECT{};
}

void KeepGameInFront() {
    ScreenController& controller = GetScreenController();
    if (!controller.gameToFrontPending) {
        return;
    }
    if (!IsGameRunning()) {
        controller.gameMinimised = false;
        controller.gameToFrontPending = false;
    } else if (!IsGameInForeground() || controller.gameMinimised) {
        ShowGame();
    } else {
        controller.gameMinimised = false;
        controller.gameToFrontPending = false;
    }
}
