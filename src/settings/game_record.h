// The process-wide record of the settings text, the wrapper's directories,
// the game executable's name and the game's process state.
#pragma once

#include <cstddef>
#include <windows.h>

struct GameRecord {
    char* settingsText;
    PROCESS_INFORMATION gameProcess;
    HWND gameMainWindow;
    char gameExeName[MAX_PATH];
    DWORD gameExitCode;
    const char* commandTail;
    char startDirectory[MAX_PATH];
};

// Creates the record on the first call: saves the start directory, makes the
// wrapper's folder current, picks the game executable and reads the settings.
GameRecord& GetGameRecord();

struct WholeFile {
    char* data; // the file's bytes followed by one NUL; free with delete[]
    DWORD size;
    HANDLE handle; // still open; the caller closes it
};

// Reads a whole file into memory, or ends through a fatal box.
WholeFile ReadWholeFile(const char* fileName);

// The folder of the wrapper's executable, ending in its separator.
void GetModuleFolder(char (&folder)[MAX_PATH]);
void EnterModuleFolder();
