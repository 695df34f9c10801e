// Small-block allocator: one fixed-size pool per 4-byte size class up to a
// limit, the heap above it. Blocks carry no header, so the caller gives the
// size again when it frees a block.
#pragma once

#include <cstddef>
#include <cstdint>

class CFixedPool {
  public:
    // Bytes in front of each chunk's blocks: the link to the previous chunk.
    static constexpr uint32_t kLinkSize = sizeof(void*);

    void Configure(uint32_t size);
    void* Take();
    void Return(void* block);
    void ReleaseChunks();

    uint32_t blockSize = 0;
    unsigned char* chunks = nullptr;
    unsigned char* freeList = nullptr;
    uint32_t blocksPerChunk = 64;
    uint32_t totalBlocks = 0;
    int32_t inUse = 0;

  private:
    void Grow();
};

class CPoolManager {
  public:
    explicit CPoolManager(uint32_t requestedLimit);
    // The process-wide manager is never destroyed; a local one hands its chunks back.
    ~CPoolManager();
    CPoolManager(const CPoolManager&) = delete;
    CPoolManager& operator=(const CPoolManager&) = delete;

    void* PoolAlloc(size_t n);
    void PoolFree(void* p, size_t n);

    // The class that serves a request of n bytes; n must not exceed the limit.
    CFixedPool& ClassFor(size_t n) { return classes[(n + 3) / 4]; }

    uint32_t limit;
    uint32_t classCount;
    CFixedPool* classes;
};

// The process-wide manager, created on first use and never destroyed.
CPoolManager* GetPoolManager();

// Allocation and release through the process-wide manager.
void* PoolAlloc(size_t n);
void PoolFree(void* p, size_t n);
