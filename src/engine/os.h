// The engine's only contact with the operating system: a Win32 side for the
// product and a POSIX side so the library also builds and is tested on Linux.
#pragma once

namespace os {

// A modal box with no owner window and an OK button.
void ShowMessageBox(const char* caption, const char* text);

// The engine's error box: arrow cursor, desktop in front, box owned by the desktop.
void ShowDesktopErrorBox(const char* caption, const char* text);

} // namespace os
