#include "engine/paths.h"

#include "engine/fatal.h"
#include "engine/os.h"
#include "engine/str.h"

#include <cstdlib>
#include <cstring>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

int HexDigit(char c) {
    if (c >= 'a') {
        return c - 87;
    }
    if (c >= 'A') {
        return c - 55;
    }
    return c - 48;
}

} // namespace

const char* FileNamePart(const char* path) {
    if (path == nullptr) {
        return "In Path Name Null!";
    }
    const char* name = path;
    for (const char* p = path; *p != 0; ++p) {
        if (IsSeparator(*p)) {
            name = p + 1;
        }
    }
    return name;
}

char* FileNamePart(char* path) {
    if (path == nullptr) {
        return nullptr;
    }
    return path + (FileNamePart(static_cast<const char*>(path)) - path);
}

void CutToFolder(char* path) {
    *FileNamePart(path) = 0;
}

void SplitPath(const char* path, CStr* folder, CStr* name) {
    if (path == nullptr) {
        path = "";
    }
    const char* file = FileNamePart(path);
    if (name != nullptr) {
        name->Assign(file);
    }
    if (folder != nullptr) {
        if (file == path) {
            folder->Empty();
        } else {
            folder->Assign(path, uint32_t(file - 1 - path));
        }
    }
}

void StripTrailingSeparator(char* path) {
    size_t length = std::strlen(path);
    if (length != 0 && IsSeparator(path[length - 1])) {
        path[length - 1] = 0;
    }
}

char* AppendPathPart(char* buffer, size_t size, const char* part) {
    size_t length = std::strlen(buffer);
    bool separate = length != 0 && !IsSeparator(buffer[length - 1]);
    size_t partLength = part != nullptr ? std::strlen(part) : 0;
    if (length + (separate ? 1 : 0) + partLength >= size) {
        return nullptr;
    }
    if (separate) {
        buffer[length++] = '/';
    }
    std::memcpy(buffer + length, part != nullptr ? part : "", partLength + 1);
    return buffer + length;
}

char* JoinPath(char* buffer, size_t size, const char* folder, const char* part) {
    size_t folderLength = std::strlen(folder);
    if (folderLength >= size) {
        return nullptr;
    }
    std::memmove(buffer, folder, folderLength + 1);
    char* result = AppendPathPart(buffer, size, part);
    if (result == nullptr) {
        buffer[0] = 0;
    }
    return result;
}

bool CreateDirectoryPath(const char* path) {
    if (path == nullptr || std::strlen(path) >= kPathBufferSize) {
        return false;
    }
    char buffer[kPathBufferSize];
    // Each restart follows a folder that was just created, so the loop ends.
    for (;;) {
        std::strcpy(buffer, path);
        StripTrailingSeparator(buffer);
        if (os::CreateFolder(buffer)) {
            return true;
        }
        bool createdParent = false;
        while (!createdParent) {
            // Cut at the last separator of either kind, so that a path that
            // mixes them has every level tried.
            char* name = FileNamePart(buffer);
            if (name == buffer) {
                return false;
            }
            name[-1] = 0;
            createdParent = os::CreateFolder(buffer);
        }
    }
}

bool FileExists(const char* path) {
    return path != nullptr && os::PathExists(path);
}

bool IsReadOnly(const char* path) {
    bool readOnly = false;
    return path != nullptr && os::GetReadOnly(path, &readOnly) && readOnly;
}

void SetReadOnly(const char* path, bool on) {
    if (path != nullptr) {
        os::SetReadOnly(path, on);
    }
}

void GetDosDateTimeNow(uint16_t* date, uint16_t* time) {
    os::GetDosDateTimeNow(date, time);
}

char* DuplicateText(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    size_t size = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(CheckAllocation(std::malloc(size)));
    std::memcpy(copy, text, size);
    return copy;
}

void HexToBytes(unsigned char* output, const char* text, size_t max) {
    if (text == nullptr) {
        return;
    }
    size_t pairs = std::strlen(text) / 2;
    for (size_t i = 0; i < pairs && i < max; ++i) {
        output[i] =
            static_cast<unsigned char>(HexDigit(text[2 * i]) * 16 + HexDigit(text[2 * i + 1]));
    }
}
