// The engine's only contact with the operating system: a Win32 side for the
// product and a POSIX side so the library also builds and is tested on Linux.
#pragma once

#include <cstdint>
#include <cstdio>

namespace os {

// A modal box with no owner window and an OK button.
void ShowMessageBox(const char* caption, const char* text);

// The engine's error box: arrow cursor, desktop in front, box owned by the desktop.
void ShowDesktopErrorBox(const char* caption, const char* text);

// Whether a file or folder of that name exists.
bool PathExists(const char* path);

// False when the attributes cannot be read; otherwise *readOnly tells the flag.
bool GetReadOnly(const char* path, bool* readOnly);

// Sets or clears the read-only flag and keeps every other attribute; false on failure.
bool SetReadOnly(const char* path, bool readOnly);

// Creates one folder; its parent must exist. False when it fails or the folder exists.
bool CreateFolder(const char* path);

// The current system time (UTC) as a DOS date and time.
void GetDosDateTimeNow(uint16_t* date, uint16_t* time);

// Cuts or extends (with zero bytes) an open file after flushing it.
bool SetFileLength(std::FILE* file, uint32_t size);

// Milliseconds since an arbitrary start (the system's uptime), wrapping at 32 bits.
uint32_t TickCount();

} // namespace os
