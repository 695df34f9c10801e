// A byte store with a current position. The base class keeps a disk file
// open through stdio; subclasses serve memory blocks and archive entries and
// keep the order of the virtual operations.
#pragma once

#include "engine/pool.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

class CStr;

// Open flags; bits not listed are ignored.
constexpr uint32_t kOpenCreate = 0x001;         // with write: create or empty ("wb")
constexpr uint32_t kOpenWrite = 0x002;          // write
constexpr uint32_t kOpenRead = 0x004;           // read
constexpr uint32_t kOpenOwnHandle = 0x010;      // archive entries: a file handle of their own
constexpr uint32_t kOpenNameUnchanged = 0x020;  // the name without the base folder
constexpr uint32_t kOpenNoDiskFile = 0x040;     // never open a plain disk file
constexpr uint32_t kOpenAbsolute = 0x080;       // set with 0x020 for absolute names
constexpr uint32_t kOpenCreateFolders = 0x100;  // with create: make missing folders, retry once
constexpr uint32_t kOpenIntoMemory = 0x200;     // read the whole file into memory
constexpr uint32_t kOpenArchive = 0x400;        // the archive's own opens
constexpr uint32_t kOpenCompressed = 0x800;     // compressed file
constexpr uint32_t kOpenClearReadOnly = 0x1000; // with write: clear the read-only attribute

// Full names are built in a buffer of this size, terminator included.
constexpr size_t kFullNameSize = 256;

// The folder that relative names are taken in; "." unless changed.
const char* GetBaseFolder();
// False (and nothing changed) for a folder that does not fit a path buffer.
bool SetBaseFolder(const char* folder);

class CFileBuf {
  public:
    static void* operator new(size_t size) { return PoolAlloc(size); }
    static void operator delete(void* p, size_t size) { PoolFree(p, size); }

    CFileBuf();
    virtual ~CFileBuf();
    CFileBuf(const CFileBuf&) = delete;
    CFileBuf& operator=(const CFileBuf&) = delete;

    // Whether the bytes live in one memory block.
    virtual bool IsMemoryBuffer() const { return false; }
    virtual uint32_t Write(const void* data, uint32_t count);
    virtual uint32_t Read(void* data, uint32_t count);
    virtual bool SeekRelative(int32_t delta);
    virtual bool SeekAbsolute(uint32_t position);
    virtual int32_t Tell();
    // Leaves the position where it was.
    virtual uint32_t GetSize();
    // Cuts the file or extends it with zero bytes.
    virtual void SetLength(uint32_t size);
    virtual void Close();
    // Whether ReadDirect hands out addresses of the data.
    virtual bool HasDirectAccess() const { return false; }
    // The address of count bytes at the position, which moves past them; null
    // when the buffer has no such bytes.
    virtual const unsigned char* ReadDirect(uint32_t count);
    // Hands the data block to the caller (release it with free) and closes.
    virtual unsigned char* DetachData();
    // Reads one text line without its break. A last line without a break is
    // returned too; false only when nothing is left.
    virtual bool ReadLine(CStr& line);

    // Opens a disk file by name; the flags are those completed by the stream.
    bool OpenFile(const char* name, uint32_t flags);

    bool IsAttached() const { return attached; }

    // The live buffer at that address that no stream holds yet, or null.
    static CFileBuf* FindUnattached(uintptr_t address);

  protected:
    std::FILE* file = nullptr;
    bool ownsFile = false;

  private:
    friend class CFileStream;

    bool attached = false;
    CFileBuf* previousLive = nullptr;
    CFileBuf* nextLive = nullptr;
};

// The CRC-32 of the ZIP format over all of a buffer's bytes; the position
// ends at the end of the data.
uint32_t ComputeCrc32(CFileBuf& buffer);
