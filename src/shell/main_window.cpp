#include "shell/main_window.h"

#include "screens/screen_controller.h"
#include "services/services_host.h"

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
    EndPaint(window, &paint);
    GetScreenController().repaintPending = true;
}

void OnClose() {
    GetScreenController().quitRequested = true;
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
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
