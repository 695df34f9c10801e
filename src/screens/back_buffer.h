// The off-screen bitmap every frame is drawn into, and its copy to the window.
#pragma once

#include "screens/screen_controller.h"

#include <windows.h>

// (Re)creates the back buffer from clientWidth and clientHeight: a 24-bit
// top-down DIB section whose width is rounded up so that each row of
// 3 x width bytes ends on a 4-byte boundary. When it cannot be created the
// bitmap, pixels and stride are left null and 0, and nothing is drawn.
void CreateBackBuffer(ScreenController& controller, HWND window);

// The background image at its own size at (0, 0).
void DrawBackground(HDC dc);

// Copies the client area of the back buffer to the window, or during a menu
// session only the rectangles the services module reports; nothing without
// a back buffer.
void Present(ScreenController& controller, HWND window);
