// A file buffer over one heap block: whole files read into memory, expanded
// compressed files, and the bytes of a compressed file being written.
#pragma once

#include "engine/file_buf.h"

#include <cstdint>

class CFileStream;

class CMemoryFileBuf : public CFileBuf {
  public:
    CMemoryFileBuf() = default;
    // Takes ownership of a heap block (allocated with malloc) of count bytes.
    CMemoryFileBuf(unsigned char* block, uint32_t count);
    ~CMemoryFileBuf() override;

    bool IsMemoryBuffer() const override { return true; }
    // Writes the whole count, or nothing when the block cannot grow.
    uint32_t Write(const void* bytes, uint32_t count) override;
    uint32_t Read(void* bytes, uint32_t count) override;
    bool SeekRelative(int32_t delta) override;
    bool SeekAbsolute(uint32_t to) override;
    int32_t Tell() override { return int32_t(position); }
    uint32_t GetSize() override { return size; }
    void Close() override;
    bool HasDirectAccess() const override { return true; }
    const unsigned char* ReadDirect(uint32_t count) override;
    unsigned char* DetachData() override;
    // CR, LF and CR LF each end a line.
    bool ReadLine(CStr& line) override;

    // Closes, then leaves an empty buffer with room for n bytes.
    void Reset(uint32_t n);
    // Closes, then takes ownership of the block as the constructor does.
    void AttachData(unsigned char* block, uint32_t count);

    const unsigned char* GetData() const { return data; }
    uint32_t GetCapacity() const { return capacity; }

  private:
    bool Grow(uint32_t needed);

    uint32_t position = 0;
    uint32_t size = 0;
    uint32_t capacity = 0;
    unsigned char* data = nullptr;
    bool ownsData = false;
};

// Reads all of an open stream into a new memory buffer; null when the heap
// cannot hold it.
CMemoryFileBuf* LoadIntoMemory(CFileStream& stream);

// Opens name with flags, reads all of it into a new memory buffer and closes
// the file again; null when the open fails.
CMemoryFileBuf* LoadFileIntoMemory(const char* name, uint32_t flags);
