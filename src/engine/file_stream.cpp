#include "engine/file_stream.h"

#include "engine/compressed_file.h"
#include "engine/fatal.h"
#include "engine/memory_buf.h"
#include "engine/zip_append.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kBufferNamePrefix[] = "~CFileBuf 0x";
constexpr size_t kBufferNamePrefixLength = sizeof kBufferNamePrefix - 1;
constexpr uint32_t kChunkSize = 65536;

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// The address in a buffer name: two hex digits per byte of a pointer, in
// memory order. False when the digits are not all hex.
bool ParseBufferAddress(const char* digits, uintptr_t* address) {
    unsigned char bytes[sizeof(uintptr_t)];
    for (size_t i = 0; i < sizeof bytes; ++i) {
        int high = HexValue(digits[2 * i]);
        int low = high < 0 ? -1 : HexValue(digits[2 * i + 1]);
        if (low < 0) {
            return false;
        }
        bytes[i] = static_cast<unsigned char>(high * 16 + low);
    }
    std::memcpy(address, bytes, sizeof bytes);
    return true;
}

bool IsAbsoluteName(const char* name) {
    return std::strlen(name) >= 2 && (name[0] == '\\' || name[0] == '/' || name[1] == ':');
}

CFileBuf* OpenAppendBuffer(const char* name) {
    char archive[kFullNameSize];
    if (std::strlen(name) >= sizeof archive) {
        return nullptr;
    }
    std::strcpy(archive, name);
    char* separator = std::strchr(archive, ';');
    *separator = 0;
    auto* append = new CZipAppendFileBuf();
    if (!append->Open(archive, separator + 1)) {
        delete append;
        return nullptr;
    }
    return append;
}

// A buffer for name, or null; flags are those completed by Open.
CFileBuf* OpenBufferByName(const char* name, uint32_t flags) {
    bool write = (flags & kOpenWrite) != 0;
    // "archive;entry" names a new entry appended to an archive; such a name
    // never becomes a disk file of its own.
    if (write && (flags & kOpenCreate) != 0 && std::strchr(name, ';') != nullptr) {
        return OpenAppendBuffer(name);
    }
    if ((!write && (flags & kOpenRead) == 0) || (flags & kOpenNoDiskFile) != 0) {
        return nullptr;
    }
    auto* disk = new CFileBuf();
    if (!disk->OpenFile(name, flags)) {
        delete disk;
        return nullptr;
    }
    return disk;
}

} // namespace

CStr BufferName(const CFileBuf* buffer) {
    unsigned char bytes[sizeof(uintptr_t)];
    uintptr_t address = reinterpret_cast<uintptr_t>(buffer);
    std::memcpy(bytes, &address, sizeof bytes);
    CStr text(kBufferNamePrefix);
    for (unsigned char b : bytes) {
        text.AppendFormat("%c%c", "0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]);
    }
    return text;
}

CFileStream::~CFileStream() {
    CFileStream::Close();
}

bool CFileStream::Open(const char* fileName, uint32_t openFlags) {
    Close();
    name.Assign(fileName);
    if (fileName == nullptr) {
        return false;
    }
    if (std::strncmp(fileName, kBufferNamePrefix, kBufferNamePrefixLength) == 0 &&
        std::strlen(fileName) >= kBufferNamePrefixLength + 8) {
        // Only a live buffer that no stream holds: a name must never become a
        // pointer that is followed blindly.
        const char* digits = fileName + kBufferNamePrefixLength;
        uintptr_t address = 0;
        if (std::strlen(digits) < 2 * sizeof address || !ParseBufferAddress(digits, &address)) {
            return false;
        }
        return Attach(CFileBuf::FindUnattached(address), openFlags);
    }
    if ((openFlags & kOpenCompressed) != 0 && (openFlags & kOpenWrite) != 0) {
        targetName.Assign(fileName);
        return Attach(new CMemoryFileBuf(), openFlags);
    }
    if ((openFlags & kOpenCompressed) != 0 && (openFlags & kOpenRead) != 0) {
        if (!Open(fileName, openFlags & ~(kOpenCompressed | kOpenIntoMemory))) {
            return false;
        }
        unsigned char* data = nullptr;
        uint32_t size = 0;
        switch (ReadCompressedBlock(*this, &data, &size)) {
        case CompressedBlock::Expanded:
            return Attach(new CMemoryFileBuf(data, size), openFlags);
        case CompressedBlock::None:
            SeekAbsolute(0);
            return true;
        case CompressedBlock::Damaged:
            break;
        }
        Close();
        return false;
    }
    if ((openFlags & kOpenIntoMemory) != 0) {
        return Attach(LoadFileIntoMemory(fileName, openFlags & ~kOpenIntoMemory), openFlags);
    }
    if (IsAbsoluteName(fileName)) {
        openFlags |= kOpenNameUnchanged | kOpenAbsolute;
    }
    if (fileName[0] == 0) {
        return false;
    }
    buffer = OpenBufferByName(fileName, openFlags);
    if (buffer != nullptr) {
        buffer->attached = true;
    }
    flags = openFlags;
    return buffer != nullptr;
}

bool CFileStream::Attach(CFileBuf* held, uint32_t openFlags) {
    if (held != nullptr && held == buffer) {
        flags = openFlags;
        return true;
    }
    Close();
    // A buffer has one owner; another stream's buffer is not taken over.
    if (held != nullptr && held->attached) {
        return false;
    }
    buffer = held;
    flags = openFlags;
    if (buffer == nullptr) {
        return false;
    }
    buffer->attached = true;
    return true;
}

bool CFileStream::Close() {
    if (buffer == nullptr) {
        return true;
    }
    bool written = true;
    if ((flags & kOpenCompressed) != 0 && (flags & kOpenWrite) != 0 && buffer->IsMemoryBuffer()) {
        // The block is the file's whole content, so the target is created or emptied.
        written = false;
        auto* memory = static_cast<CMemoryFileBuf*>(buffer);
        CFileStream target;
        uint32_t targetFlags = (flags & ~(kOpenCompressed | kOpenIntoMemory)) | kOpenCreate;
        if (target.Open(targetName.GetText(), targetFlags)) {
            written = WriteCompressedBlock(target, memory->GetData(), memory->GetSize(), 6);
            target.Close();
        }
    }
    buffer->Close();
    delete buffer;
    buffer = nullptr;
    return written;
}

uint32_t CFileStream::Read(void* data, uint32_t count) {
    return buffer != nullptr ? buffer->Read(data, count) : 0;
}

uint32_t CFileStream::Write(const void* data, uint32_t count) {
    return buffer != nullptr ? buffer->Write(data, count) : 0;
}

bool CFileStream::SeekRelative(int32_t delta) {
    return buffer != nullptr && buffer->SeekRelative(delta);
}

bool CFileStream::SeekAbsolute(uint32_t position) {
    return buffer != nullptr && buffer->SeekAbsolute(position);
}

int32_t CFileStream::Tell() {
    return buffer != nullptr ? buffer->Tell() : -1;
}

uint32_t CFileStream::GetSize() {
    return buffer != nullptr ? buffer->GetSize() : 0;
}

void CFileStream::SetLength(uint32_t size) {
    if (buffer != nullptr) {
        buffer->SetLength(size);
    }
}

bool CFileStream::ReadLine(CStr& line) {
    return buffer != nullptr && buffer->ReadLine(line);
}

bool CFileStream::WriteInt32(uint32_t value) {
    unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    return Write(bytes, 4) == 4;
}

bool CFileStream::ReadInt32(uint32_t* value) {
    unsigned char bytes[4];
    if (Read(bytes, 4) != 4) {
        *value = 0;
        return false;
    }
    *value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
             uint32_t(bytes[3]) << 24;
    return true;
}

bool CFileStream::CopyWithin(uint32_t destination, uint32_t source, uint32_t count) {
    if (buffer == nullptr) {
        return false;
    }
    if (destination == source || count == 0) {
        return true;
    }
    if (destination > source) {
        return false;
    }
    uint32_t chunk = count < kChunkSize ? count : kChunkSize;
    auto* work = static_cast<unsigned char*>(CheckAllocation(std::malloc(chunk)));
    bool moved = true;
    while (count != 0) {
        uint32_t n = count < chunk ? count : chunk;
        if (!SeekAbsolute(source) || Read(work, n) != n || !SeekAbsolute(destination) ||
            Write(work, n) != n) {
            moved = false;
            break;
        }
        count -= n;
        source += n;
        destination += n;
    }
    std::free(work);
    return moved;
}
