#include "shell/main_window.h"

#include "game/game_process.h"
#include "game/game_windows.h"
#include "screens/back_buffer.h"
#include "screens/screen_controller.h"
#include "services/services_host.h"

#include <commctrl.h>

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;

bool GetExpectedWindowRect(RECT& rect) {
    rect = RECT{0, 0, kClientWidth, kClientHeight};
    return AdjustWindowRectEx(&rect, kMainWindowStyle, FALSE, 0) != 0;
}

POINT CentreOnWorkArea(int width, int height) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return POINT{work.left + ((work.right - work.left) - width) / 2,
                 work.top + ((work.bottom - work.top) - height) / 2};
}

namespace {

// Only a window of the wrong size is moved here; the frame tick keeps the position.
void OnSize(HWND window) {
    RECT expected;
    RECT actual;
    if (!GetExpectedWindowRect(expected) || IsIconic(window) || !GetWindowRect(window, &actual)) {
        return;
    }
    int width = expected.right - expected.left;
    int height = expected.bottom - expected.top;
    if (actual.right - actual.left == width && actual.bottom - actual.top == height) {
        return;
    }
    POINT at = CentreOnWorkArea(width, height);
    MoveWindow(window, at.x, at.y, width, height, TRUE);
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    Present(GetScreenController(), window);
    EndPaint(window, &paint);
    GetScreenController().repaintPending = true;
}

// The game stands still while the player is asked; it is closed only on Yes.
void OnClose() {
    ScreenController& controller = GetScreenController();
    if (FindGameWindows() == nullptr) {
        controller.quitRequested = true;
        return;
    }
    SuspendGame();
    if (MessageBoxA(mainWindow,
                    "Are you sure you want to Exit?\n\nYour game will be closed and all progress "
                    "lost.",
                    "Confirm Exit", MB_YESNO) == IDYES) {
        controller.quitRequested = true;
    }
    ResumeGame();
}

// Coordinates are unsigned 16-bit: a point beyond 32767 stays positive.
int32_t MouseX(LPARAM lParam) {
    return int32_t(LOWORD(lParam));
}
int32_t MouseY(LPARAM lParam) {
    return int32_t(HIWORD(lParam));
}

void OnMouseMove(LPARAM lParam) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = mainWindow;
    track.dwHoverTime = HOVER_DEFAULT;
    _TrackMouseEvent(&track);
    GetScreenController().OnMouseMove(MouseX(lParam), MouseY(lParam));
}

} // namespace

LRESULT CALLBACK WrapperWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (QO_HandleWindowsMessage(window, message, wParam, lParam)) {
        return 1;
    }
    switch (message) {
    case WM_SIZE:
        OnSize(window);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_ERASEBKGND:
        // The back buffer covers the whole client area.
        return 1;
    case WM_MOUSEMOVE:
        OnMouseMove(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        GetScreenController().OnMouseDown(MouseX(lParam), MouseY(lParam));
        return 0;
    case WM_LBUTTONUP:
        GetScreenController().OnMouseUp(MouseX(lParam), MouseY(lParam));
        return 0;
    case WM_MOUSELEAVE:
        // The first point right of and below the client area: inside no button.
        GetScreenController().OnMouseMove(kClientWidth, kClientHeight);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
