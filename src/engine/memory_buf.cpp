#include "engine/memory_buf.h"

#include "engine/file_stream.h"
#include "engine/str.h"

#include <cstdlib>
#include <cstring>

CMemoryFileBuf::CMemoryFileBuf(unsigned char* block, uint32_t count)
    : size(count), capacity(count), data(block), ownsData(true) {}

CMemoryFileBuf::~CMemoryFileBuf() {
    CMemoryFileBuf::Close();
}

bool CMemoryFileBuf::Grow(uint32_t needed) {
    if (capacity >= needed || (capacity != 0 && !ownsData)) {
        return capacity >= needed;
    }
    uint64_t grown = uint64_t(capacity) + capacity / 2;
    if (grown < uint64_t(capacity) + 4) {
        grown = uint64_t(capacity) + 4;
    }
    if (grown < needed) {
        grown = needed;
    }
    if (grown > UINT32_MAX) {
        grown = UINT32_MAX;
    }
    auto* block = static_cast<unsigned char*>(std::malloc(size_t(grown)));
    if (block == nullptr) {
        return false;
    }
    if (size != 0) {
        std::memcpy(block, data, size);
    }
    if (ownsData) {
        std::free(data);
    }
    data = block;
    capacity = uint32_t(grown);
    ownsData = true;
    return true;
}

uint32_t CMemoryFileBuf::Write(const void* bytes, uint32_t count) {
    if (count == 0) {
        return 0;
    }
    // A position and count past 4 GiB cannot be held; nothing is written.
    if (uint64_t(position) + count > UINT32_MAX) {
        return 0;
    }
    uint32_t end = position + count;
    if (end > size) {
        if (!Grow(end)) {
            return 0;
        }
        size = end;
    }
    std::memcpy(data + position, bytes, count);
    position = end;
    return count;
}

uint32_t CMemoryFileBuf::Read(void* bytes, uint32_t count) {
    if (position >= size) {
        return 0;
    }
    uint32_t n = count < size - position ? count : size - position;
    std::memcpy(bytes, data + position, n);
    position += n;
    return n;
}

bool CMemoryFileBuf::SeekRelative(int32_t delta) {
    position = uint32_t(int64_t(position) + delta);
    return true;
}

bool CMemoryFileBuf::SeekAbsolute(uint32_t to) {
    position = to;
    return true;
}

void CMemoryFileBuf::Close() {
    if (ownsData) {
        std::free(data);
    }
    data = nullptr;
    position = 0;
    size = 0;
    capacity = 0;
    ownsData = false;
}

const unsigned char* CMemoryFileBuf::ReadDirect(uint32_t count) {
    // Handing out an address means promising the bytes behind it.
    if (position > size || count > size - position) {
        return nullptr;
    }
    const unsigned char* at = data + position;
    position += count;
    return at;
}

unsigned char* CMemoryFileBuf::DetachData() {
    unsigned char* block = data;
    ownsData = false;
    Close();
    return block;
}

bool CMemoryFileBuf::ReadLine(CStr& line) {
    if (position >= size) {
        return false;
    }
    uint32_t end = position;
    while (end < size && data[end] != '\r' && data[end] != '\n') {
        ++end;
    }
    if (end == position) {
        line.Clear();
    } else {
        line.Assign(reinterpret_cast<const char*>(data + position), end - position);
    }
    position = end;
    if (position < size && data[position] == '\r') {
        ++position;
    }
    if (position < size && data[position] == '\n') {
        ++position;
    }
    return true;
}

void CMemoryFileBuf::Reset(uint32_t n) {
    Close();
    Grow(n);
}

void CMemoryFileBuf::AttachData(unsigned char* block, uint32_t count) {
    Close();
    data = block;
    size = count;
    capacity = count;
    ownsData = true;
}

CMemoryFileBuf* LoadIntoMemory(CFileStream& stream) {
    uint32_t size = stream.GetSize();
    auto* block = static_cast<unsigned char*>(std::malloc(size != 0 ? size : 1));
    if (block == nullptr) {
        return nullptr;
    }
    // A short read keeps only the bytes that came.
    uint32_t got = stream.Read(block, size);
    return new CMemoryFileBuf(block, got);
}

CMemoryFileBuf* LoadFileIntoMemory(const char* name, uint32_t flags) {
    CFileStream stream;
    if (!stream.Open(name, flags)) {
        return nullptr;
    }
    return LoadIntoMemory(stream);
}
