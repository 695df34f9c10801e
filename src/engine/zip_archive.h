// Zip archives of stored (uncompressed) entries: the central directory is
// read into memory, entries are found by name without regard to case and
// read straight from the archive file; an entry can be rewritten, which
// moves it behind all others and writes the directory again.
#pragma once

#include "engine/file_buf.h"
#include "engine/file_stream.h"
#include "engine/zip_format.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct CZipDirEntry {
    // The prefix followed by the stored name.
    std::string name;
    // The central record after its signature, unchanged: a field at record
    // offset k sits at k - 4.
    unsigned char record[zip::kCentralRecordSize - 4] = {};
    // The central record's extra field, written back with the directory.
    std::vector<unsigned char> extra;

    // The 4 comes off first, so that the address never leaves the record.
    uint32_t Get16(uint32_t offset) const { return zip::Get16(record + (offset - 4)); }
    uint32_t Get32(uint32_t offset) const { return zip::Get32(record + (offset - 4)); }
    void Put16(uint32_t offset, uint32_t value) { zip::Put16(record + (offset - 4), value); }
    void Put32(uint32_t offset, uint32_t value) { zip::Put32(record + (offset - 4), value); }

    uint32_t LocalOffset() const { return Get32(zip::kCentralLocalOffset); }
    uint32_t DataStart() const;
    uint32_t DataEnd() const { return DataStart() + Get32(zip::kCentralCompressedSize); }
    uint32_t Length() const { return Get32(zip::kCentralUncompressedSize); }
    void SetLength(uint32_t length);
};

class CZipArchive;

// Serves one entry's bytes from the archive file. Closing it after a
// rewrite stores the entry's CRC and writes the directory.
class CZipEntryFileBuf : public CFileBuf {
  public:
    static void* operator new(size_t size) { return PoolAlloc(size); }
    static void operator delete(void* p, size_t size) { PoolFree(p, size); }

    CZipEntryFileBuf() = default;
    ~CZipEntryFileBuf() override;

    uint32_t Write(const void* data, uint32_t count) override;
    uint32_t Read(void* data, uint32_t count) override;
    bool SeekRelative(int32_t delta) override;
    bool SeekAbsolute(uint32_t position) override;
    int32_t Tell() override;
    uint32_t GetSize() override;
    void SetLength(uint32_t size) override;
    void Close() override;

  private:
    friend class CZipArchive;

    bool Open(CZipArchive* owner, CZipDirEntry* served, uint32_t openFlags);

    bool ownFile = false;
    uint32_t position = 0;
    CZipDirEntry* entry = nullptr;
    CFileStream* stream = nullptr;
    CZipArchive* archive = nullptr;
    uint32_t flags = 0;
};

// Entry buffers point into their archive: close them before it goes.
class CZipArchive {
  public:
    CZipArchive() = default;
    // Closes and frees everything; the directory is never written here.
    ~CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    // A lazy archive reads its directory on first need, and ends the process
    // if it cannot; an eager one reads it now and answers false instead.
    bool Open(const char* fileName, bool isWritable, const char* namePrefix, bool lazy,
              uint32_t extraOpenFlags);

    // Flags: 0 to read; kOpenCreate | kOpenWrite to rewrite the entry;
    // kOpenOwnHandle for a file handle of the buffer's own. Null when the
    // entry is missing or a rewrite is not possible now.
    CZipEntryFileBuf* OpenEntry(const char* entryName, uint32_t flags);

    uint32_t GetCount() const { return uint32_t(entries.size()); }
    // An entry's name, prefix included, in the order of local header offset;
    // null past the end. The directory must be loaded (an eager open).
    const char* GetEntryName(uint32_t index) const {
        return index < entries.size() ? entries[index]->name.c_str() : nullptr;
    }
    uint32_t GetEndSignature() const { return endSignature; }

  private:
    friend class CZipEntryFileBuf;

    void Discard();
    bool LoadDirectory();
    bool ReadDirectory(uint32_t fileSize);
    void EnsureLoaded();
    CZipDirEntry* FindEntry(const char* entryName) const;
    void SortDirectory();
    bool PrepareWrite();
    bool MoveEntryToEnd(CZipDirEntry* entry);
    bool WriteLocalHeader(const CZipDirEntry& entry);
    bool WriteCentralDirectory();
    bool WriteEndRecord(uint32_t start);
    bool AddEntryRef();
    void ReleaseEntryRef();
    void FlushDirectory();
    bool IsOpenForWriting() const;
    uint32_t ArchiveOpenFlags() const { return openFlags | kOpenArchive | kOpenRead; }

    bool loaded = false;
    bool dirty = false;
    bool keepOpen = false;
    std::unique_ptr<CFileStream> file;
    std::string name;
    std::string prefix;
    // In order of local header offset; the index holds them in name order.
    std::vector<std::unique_ptr<CZipDirEntry>> entries;
    std::vector<uint32_t> nameIndex;
    int32_t openEntries = 0;
    // Buffers with a handle of their own; a rewrite waits for them too.
    int32_t ownHandleEntries = 0;
    uint32_t openFlags = 0;
    uint32_t endSignature = zip::kEndSignature;
    bool writable = false;
};
