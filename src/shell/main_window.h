// The wrapper's one window and the geometry rules it is kept to.
#pragma once

#include <windows.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;

constexpr DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kClientWidth = 720;
constexpr int kClientHeight = 540;

// The outer rectangle of a 720 by 540 client area for the window's style.
bool GetExpectedWindowRect(RECT& rect);

// The top-left corner that centres a window of the given outer size on the
// work area; no clamping, so a small work area gives negative values.
POINT CentreOnWorkArea(int width, int height);

LRESULT CALLBACK WrapperWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
