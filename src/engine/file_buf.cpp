#include "engine/file_buf.h"

#include "engine/fatal.h"
#include "engine/os.h"
#include "engine/paths.h"
#include "engine/str.h"

#include <cstdlib>
#include <cstring>
#include <zlib.h>

namespace {

char baseFolder[kPathBufferSize] = ".";

// Every buffer alive, so that a buffer name can be checked before it is used.
CFileBuf* liveBuffers = nullptr;

constexpr uint32_t kChunkSize = 65536;

} // namespace

const char* GetBaseFolder() {
    return baseFolder;
}

bool SetBaseFolder(const char* folder) {
    if (folder == nullptr || std::strlen(folder) >= sizeof baseFolder) {
        return false;
    }
    std::strcpy(baseFolder, folder);
    return true;
}

CFileBuf::CFileBuf() : nextLive(liveBuffers) {
    if (liveBuffers != nullptr) {
        liveBuffers->previousLive = this;
    }
    liveBuffers = this;
}

CFileBuf::~CFileBuf() {
    CFileBuf::Close();
    if (previousLive != nullptr) {
        previousLive->nextLive = nextLive;
    } else {
        liveBuffers = nextLive;
    }
    if (nextLive != nullptr) {
        nextLive->previousLive = previousLive;
    }
}

CFileBuf* CFileBuf::FindUnattached(uintptr_t address) {
    for (CFileBuf* b = liveBuffers; b != nullptr; b = b->nextLive) {
        if (reinterpret_cast<uintptr_t>(b) == address) {
            return b->attached ? nullptr : b;
        }
    }
    return nullptr;
}

uint32_t CFileBuf::Write(const void* data, uint32_t count) {
    // Nothing to write may come with no buffer (an empty directory's data).
    if (file == nullptr || count == 0) {
        return 0;
    }
    return uint32_t(std::fwrite(data, 1, count, file));
}

uint32_t CFileBuf::Read(void* data, uint32_t count) {
    if (file == nullptr) {
        return 0;
    }
    return uint32_t(std::fread(data, 1, count, file));
}

bool CFileBuf::SeekRelative(int32_t delta) {
    return file != nullptr && std::fseek(file, delta, SEEK_CUR) == 0;
}

bool CFileBuf::SeekAbsolute(uint32_t position) {
    return file != nullptr && std::fseek(file, long(position), SEEK_SET) == 0;
}

int32_t CFileBuf::Tell() {
    return file != nullptr ? int32_t(std::ftell(file)) : -1;
}

uint32_t CFileBuf::GetSize() {
    if (file == nullptr) {
        return 0;
    }
    long position = std::ftell(file);
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    return size > 0 ? uint32_t(size) : 0;
}

void CFileBuf::SetLength(uint32_t size) {
    if (file != nullptr) {
        os::SetFileLength(file, size);
    }
}

void CFileBuf::Close() {
    if (ownsFile && file != nullptr) {
        std::fclose(file);
    }
    file = nullptr;
    ownsFile = false;
}

const unsigned char* CFileBuf::ReadDirect(uint32_t) {
    return nullptr;
}

unsigned char* CFileBuf::DetachData() {
    return nullptr;
}

bool CFileBuf::ReadLine(CStr& line) {
    // The line's buffer is filled directly with bytes, so it must be narrow.
    if (line.IsWide()) {
        line.Empty();
    }
    line.Clear();
    uint32_t size = line.GetCapacity() > 80 ? line.GetCapacity() : 80;
    for (;;) {
        int32_t start = Tell();
        if (start < 0) {
            return false;
        }
        char* text = line.PrepareBuffer(size - 1);
        uint32_t got = Read(text, size - 1);
        text[got] = 0;
        uint32_t end = 0;
        while (end < got && text[end] != '\r' && text[end] != '\n') {
            ++end;
        }
        if (end == got && got == size - 1 && size <= 0x40000000u) {
            // No break yet and more may follow: again with twice the room.
            SeekAbsolute(uint32_t(start));
            size *= 2;
            continue;
        }
        line.ReleaseBuffer(int32_t(end));
        if (end == got) {
            // The end of the data: the rest is the last line, and nothing is no line.
            return got != 0;
        }
        // The break's own bytes are read afresh, as they may lie past this read.
        unsigned char next[3] = {};
        SeekAbsolute(uint32_t(start) + end);
        uint32_t seen = Read(next, 3);
        uint32_t consumed = 1;
        if (seen >= 2 && next[0] == '\n' && next[1] == '\r') {
            consumed = 2;
        } else if (seen >= 2 && next[0] == '\r' && next[1] == '\n') {
            consumed = 2;
        }
        if (seen >= 3 && next[0] == '\r' && (next[1] == '\r' || next[1] == '\n') &&
            next[2] == '\n') {
            consumed = 3;
        }
        SeekAbsolute(uint32_t(start) + end + consumed);
        return true;
    }
}

bool CFileBuf::OpenFile(const char* name, uint32_t flags) {
    Close();
    char full[kFullNameSize];
    if ((flags & kOpenNameUnchanged) != 0) {
        if (std::strlen(name) >= sizeof full) {
            return false;
        }
        std::strcpy(full, name);
    } else if (JoinPath(full, sizeof full, GetBaseFolder(), name) == nullptr) {
        return false;
    }
    bool write = (flags & kOpenWrite) != 0;
    if (write && (flags & kOpenClearReadOnly) != 0 && IsReadOnly(full)) {
        SetReadOnly(full, false);
    }
    if (write && (flags & kOpenCreate) != 0) {
        // Asked to read as well, the new file must be readable too.
        const char* mode = (flags & kOpenRead) != 0 ? "w+b" : "wb";
        file = std::fopen(full, mode);
        if (file == nullptr && !FileExists(full) && (flags & kOpenCreateFolders) != 0) {
            char folder[kFullNameSize];
            std::strcpy(folder, full);
            CutToFolder(folder);
            if (folder[0] != 0) {
                CreateDirectoryPath(folder);
            }
            file = std::fopen(full, mode);
        }
    } else {
        const char* mode = write ? "r+b" : "rb";
        if ((flags & kOpenNameUnchanged) == 0) {
            file = std::fopen(full, mode);
        }
        if (file == nullptr) {
            file = std::fopen(name, mode);
        }
    }
    ownsFile = file != nullptr;
    return ownsFile;
}

// zlib computes the same standard CRC-32, several times faster than a
// byte-at-a-time table.
uint32_t ComputeCrc32(CFileBuf& buffer) {
    uint32_t remaining = buffer.GetSize();
    uLong crc = crc32(0, nullptr, 0);
    if (remaining != 0) {
        uint32_t chunk = remaining < kChunkSize ? remaining : kChunkSize;
        auto* work = static_cast<unsigned char*>(CheckAllocation(std::malloc(chunk)));
        buffer.SeekAbsolute(0);
        while (remaining != 0) {
            uint32_t want = remaining < chunk ? remaining : chunk;
            // Only the bytes that came are counted; a short read ends the sum.
            uint32_t got = buffer.Read(work, want);
            crc = crc32(crc, work, got);
            if (got != want) {
                break;
            }
            remaining -= got;
        }
        std::free(work);
    }
    return uint32_t(crc);
}
