#include "engine/os.h"

#include <io.h>
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

bool PathExists(const char* path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
}

bool GetReadOnly(const char* path, bool* readOnly) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    *readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    return true;
}

bool SetReadOnly(const char* path, bool readOnly) {
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    attributes = readOnly ? attributes | FILE_ATTRIBUTE_READONLY
                          : attributes & ~DWORD(FILE_ATTRIBUTE_READONLY);
    return SetFileAttributesA(path, attributes) != 0;
}

bool CreateFolder(const char* path) {
    return CreateDirectoryA(path, nullptr) != 0;
}

void GetDosDateTimeNow(uint16_t* date, uint16_t* time) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    WORD dosDate = 0;
    WORD dosTime = 0;
    FileTimeToDosDateTime(&now, &dosDate, &dosTime);
    *date = dosDate;
    *time = dosTime;
}

bool SetFileLength(std::FILE* file, uint32_t size) {
    if (std::fflush(file) != 0) {
        return false;
    }
    return _chsize(_fileno(file), long(size)) == 0;
}

uint32_t TickCount() {
    return GetTickCount();
}

} // namespace os
