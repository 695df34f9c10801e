// Appends one new stored entry to an existing zip archive: opened for
// "archive;entry" names created for writing, it puts the entry where the
// central directory was and writes the directory again behind it on close.
#pragma once

#include "engine/file_buf.h"
#include "engine/file_stream.h"
#include "engine/zip_format.h"

#include <cstdint>
#include <vector>

class CZipAppendFileBuf : public CFileBuf {
  public:
    static void* operator new(size_t size) { return PoolAlloc(size); }
    static void operator delete(void* p, size_t size) { PoolFree(p, size); }

    // Entry names have at most this many characters.
    static constexpr size_t kMaxEntryName = 255;

    CZipAppendFileBuf() = default;
    ~CZipAppendFileBuf() override;

    // False when the archive cannot be opened for writing or is not one
    // whose end record closes the file.
    bool Open(const char* archiveName, const char* entryName);

    uint32_t Write(const void* data, uint32_t count) override;
    uint32_t Read(void* data, uint32_t count) override;
    bool SeekRelative(int32_t delta) override;
    bool SeekAbsolute(uint32_t position) override;
    int32_t Tell() override;
    uint32_t GetSize() override;
    void SetLength(uint32_t size) override;
    void Close() override;

  private:
    bool WriteLocalHeader(uint32_t length, uint32_t crc);

    bool open = false;
    CFileStream inner;
    char entryName[kMaxEntryName + 1] = {};
    std::vector<unsigned char> oldDirectory;
    unsigned char endRecord[zip::kEndRecordSize - 4] = {};
    uint32_t localHeaderOffset = 0;
    uint32_t dataStart = 0;
};
