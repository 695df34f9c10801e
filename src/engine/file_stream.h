// What callers hold to read and write files: it remembers the open flags and
// the name and forwards every operation to one owned file buffer, chosen
// from the name and the flags when it opens.
#pragma once

#include "engine/file_buf.h"
#include "engine/pool.h"
#include "engine/str.h"

#include <cstddef>
#include <cstdint>

class CFileStream {
  public:
    static void* operator new(size_t size) { return PoolAlloc(size); }
    static void operator delete(void* p, size_t size) { PoolFree(p, size); }

    CFileStream() = default;
    virtual ~CFileStream();
    CFileStream(const CFileStream&) = delete;
    CFileStream& operator=(const CFileStream&) = delete;

    // Closes the buffer; false when a compressed file could not be written out.
    virtual bool Close();

    // Opens by name (a disk file, a memory copy of one, a compressed file, or
    // a "~CFileBuf 0x..." buffer name), replacing any buffer held.
    bool Open(const char* name, uint32_t flags);
    // Takes ownership of buffer (which may be null); true when it is not null.
    bool Attach(CFileBuf* buffer, uint32_t flags);

    uint32_t Read(void* data, uint32_t count);
    uint32_t Write(const void* data, uint32_t count);
    bool SeekRelative(int32_t delta);
    bool SeekAbsolute(uint32_t position);
    int32_t Tell();
    uint32_t GetSize();
    void SetLength(uint32_t size);
    bool ReadLine(CStr& line);

    // Four bytes, least significant first. ReadInt32 is false (and the value
    // 0) when fewer than four bytes came.
    bool WriteInt32(uint32_t value);
    bool ReadInt32(uint32_t* value);

    // Moves count bytes from source to destination, toward the file's start only.
    bool CopyWithin(uint32_t destination, uint32_t source, uint32_t count);

    CFileBuf* GetBuffer() const { return buffer; }
    uint32_t GetFlags() const { return flags; }
    const CStr& GetName() const { return name; }

  private:
    CFileBuf* buffer = nullptr;
    uint32_t flags = 0;
    CStr name;
    CStr targetName;
};

// The name under which Open finds a buffer that no stream holds yet.
CStr BufferName(const CFileBuf* buffer);
