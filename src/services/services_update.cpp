#include "services/services_update.h"

#include "services/services_host.h"

#include <cstring>
#include <string>
#include <vector>
#include <windows.h>

namespace {

// Joins two path parts into a MAX_PATH buffer; false when they do not fit.
bool JoinPath(char (&out)[MAX_PATH], const char* first, const char* second) {
    size_t a = std::strlen(first);
    size_t b = std::strlen(second);
    if (a + b >= MAX_PATH) {
        return false;
    }
    std::memcpy(out, first, a);
    std::memcpy(out + a, second, b + 1);
    return true;
}

struct FolderEntry {
    std::string name;
    DWORD attributes;
};

// The entries of a folder ending with a separator, without "." and "..";
// read in full first so that moving and deleting cannot upset the listing.
std::vector<FolderEntry> ListFolder(const char* folder) {
    std::vector<FolderEntry> entries;
    char pattern[MAX_PATH];
    if (!JoinPath(pattern, folder, "*.*")) {
        return entries;
    }
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0) {
            entries.push_back(FolderEntry{found.cFileName, found.dwFileAttributes});
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return entries;
}

// Replaces in one step, so that a failed move keeps the old file.
bool ReplaceWith(const char* destination, const char* source) {
    DWORD attributes = GetFileAttributesA(destination);
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
    }
    if (MoveFileExA(source, destination, MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(destination, attributes);
    }
    return false;
}

void MarkRolledBack() {
    ServicesHost& host = GetServicesHost();
    host.updateRolledBack = true;
    host.updateRolledBackNow = true;
}

bool StartWithStoredArguments() {
    ServicesHost& host = GetServicesHost();
    const StartArguments& a = host.startArguments;
    return StartServicesModule(a.applicationId, a.applicationName, a.developerChannelId,
                               host.servicesFolder, a.value) == 0;
}

} // namespace

bool ApplyPendingUpdate() {
    ServicesHost& host = GetServicesHost();
    host.updatePending = false;
    QO_ShutDown();
    char path[MAX_PATH];
    for (const char* marker :
         {"Update\\Arcade.red", "Update\\Application.red", "Update\\Channel.red"}) {
        if (JoinPath(path, host.servicesFolder, marker)) {
            ForceDeleteFile(path);
        }
    }
    if (!ApplyServicesUpdate()) {
        host.servicesBroken = true;
        ShowCorruptedMessage();
        return false;
    }
    if (host.paletteKept) {
        QO_SetPalette(host.keptPalette);
    }
    QO_EnterMenuSession(QO_SESSION_OTHER_GAMES, host.sessionWidth, host.sessionHeight);
    return true;
}

bool ApplyServicesUpdate() {
    const char* folder = GetServicesHost().servicesFolder;
    char update[MAX_PATH];
    char backup[MAX_PATH];
    char arcade[MAX_PATH];
    bool pathsFit = JoinPath(update, folder, "Update\\") && JoinPath(backup, folder, "Backup\\") &&
                    JoinPath(arcade, folder, "Arcade");
    if (pathsFit) {
        if (!MoveFolderFiles(folder, update)) {
            MarkRolledBack();
            DeleteFolderTree(update);
            DeleteServicesFile("Application.dat");
            DeleteServicesFile("Channel.dat");
            MoveFolderFiles(folder, backup);
        }
        DeleteFolderTree(arcade);
    }
    if (StartWithStoredArguments()) {
        return true;
    }
    MarkRolledBack();
    if (pathsFit) {
        MoveFolderFiles(folder, backup);
    }
    return StartWithStoredArguments();
}

bool MoveFolderFiles(const char* destination, const char* source) {
    bool ok = true;
    for (const FolderEntry& entry : ListFolder(source)) {
        if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            continue;
        }
        char from[MAX_PATH];
        char to[MAX_PATH];
        if (!JoinPath(from, source, entry.name.c_str()) ||
            !JoinPath(to, destination, entry.name.c_str()) || !ReplaceWith(to, from)) {
            ok = false;
        }
    }
    return ok;
}

bool DeleteFolderTree(const char* folder) {
    char self[MAX_PATH];
    char inside[MAX_PATH];
    if (!JoinPath(self, folder, "")) {
        return false;
    }
    size_t length = std::strlen(self);
    while (length > 0 && (self[length - 1] == '\\' || self[length - 1] == '/')) {
        self[--length] = '\0';
    }
    if (length == 0 || !JoinPath(inside, self, "\\")) {
        return false;
    }
    DWORD attributes = GetFileAttributesA(self);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return RemoveDirectoryA(self) != 0;
    }
    for (const FolderEntry& entry : ListFolder(inside)) {
        char full[MAX_PATH];
        if (!JoinPath(full, inside, entry.name.c_str())) {
            continue;
        }
        if ((entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
            (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            RemoveDirectoryA(full);
        } else if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            DeleteFolderTree(full);
        } else {
            ForceDeleteFile(full);
        }
    }
    return RemoveDirectoryA(self) != 0;
}

bool DeleteServicesFile(const char* name) {
    char path[MAX_PATH];
    return JoinPath(path, GetServicesHost().servicesFolder, name) && ForceDeleteFile(path);
}

bool ForceDeleteFile(const char* path) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) != 0;
}

void ShowCorruptedMessage() {
    MessageBoxA(GetDesktopWindow(),
                "This application appears to be become corrupted and must be reinstalled. If you "
                "have already purchased this application then you will still have the full "
                "version after the reinstallation.",
                "Application Error", MB_OK);
}
