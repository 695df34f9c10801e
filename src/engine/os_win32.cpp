#include "engine/os.h"

#include <windows.h>

namespace os {

void ShowMessageBox(const char* caption, const char* text) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

void ShowDesktopErrorBox(const char* caption, const char* text) {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    SetForegroundWindow(GetDesktopWindow());
    MessageBoxA(GetDesktopWindow(), text, caption, MB_OK);
    SetCursor(nullptr);
}

} // namespace os
