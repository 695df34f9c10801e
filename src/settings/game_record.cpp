#include "settings/game_record.h"

#include "engine/fatal.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

GameRecord* record = nullptr;

void FreeSettingsText() {
    delete[] record->settingsText;
    record->settingsText = nullptr;
}

// Cuts a path after its last backslash, or else after its last forward slash.
void CutAfterLastSeparator(char* path) {
    char* cut = std::strrchr(path, '\\');
    if (cut == nullptr) {
        cut = std::strrchr(path, '/');
    }
    if (cut != nullptr) {
        cut[1] = '\0';
    }
}

void ChooseGameExeName(GameRecord& r) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* name = path;
    if (const char* slash = std::strrchr(name, '/')) {
        name = slash + 1;
    }
    if (const char* backslash = std::strrchr(name, '\\')) {
        name = backslash + 1;
    }
    std::strcpy(r.gameExeName, name);
    size_t length = std::strlen(r.gameExeName);
    if (length >= 3) {
        std::memcpy(r.gameExeName + length - 3, "QXG", 3);
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(r.gameExeName, &found);
    if (search == INVALID_HANDLE_VALUE) {
        std::strcpy(r.gameExeName, "QOX_001.exe");
    } else {
        FindClose(search);
    }
}

} // namespace

void GetModuleFolder(char (&folder)[MAX_PATH]) {
    folder[0] = '\0';
    GetModuleFileNameA(nullptr, folder, MAX_PATH);
    CutAfterLastSeparator(folder);
}

void EnterModuleFolder() {
    char folder[MAX_PATH];
    GetModuleFolder(folder);
    SetCurrentDirectoryA(folder);
}

WholeFile ReadWholeFile(const char* fileName) {
    WholeFile file{};
    file.handle = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER size{};
    FatalCheck(file.handle != INVALID_HANDLE_VALUE && GetFileSizeEx(file.handle, &size),
               "Could not get file size");
    // One more byte for the terminator must still fit the 32-bit sizes.
    FatalCheck(size.QuadPart < 0x7FFFFFFF, kOutOfMemoryText);
    file.size = DWORD(size.QuadPart);
    file.data = static_cast<char*>(CheckAllocation(new (std::nothrow) char[file.size + 1]));
    DWORD read = 0;
    FatalCheck(ReadFile(file.handle, file.data, file.size, &read, nullptr) && read == file.size,
               "There was an error in reading the file contents into memory.");
    file.data[file.size] = '\0';
    return file;
}

GameRecord& GetGameRecord() {
    if (record != nullptr) {
        return *record;
    }
    record = new GameRecord{};
    GetCurrentDirectoryA(MAX_PATH, record->startDirectory);
    EnterModuleFolder();
    ChooseGameExeName(*record);
    WholeFile settings = ReadWholeFile("TarvelArcade\\QOX_002.wdt");
    CloseHandle(settings.handle);
    record->settingsText = settings.data;
    std::atexit(FreeSettingsText);
    return *record;
}
