#include "engine/pool.h"

#include "engine/fatal.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kChunkBytes = 4000;

// Free blocks and chunks start with a pointer that need not be aligned for
// the host's pointer size, so they are read and written bytewise.
unsigned char* LoadLink(const unsigned char* at) {
    unsigned char* p;
    std::memcpy(&p, at, sizeof p);
    return p;
}

void StoreLink(unsigned char* at, unsigned char* p) {
    std::memcpy(at, &p, sizeof p);
}

} // namespace

void CFixedPool::Configure(uint32_t size) {
    // A free block holds the link to the next one, so it is at least a pointer wide.
    uint32_t minimum = sizeof(void*) > 4 ? sizeof(void*) : 4;
    blockSize = size < minimum ? minimum : (size + minimum - 1) / minimum * minimum;
    blocksPerChunk = kChunkBytes / blockSize;
}

void CFixedPool::Grow() {
    auto* chunk = static_cast<unsigned char*>(
        CheckAllocation(std::malloc(kLinkSize + size_t(blockSize) * blocksPerChunk)));
    StoreLink(chunk, chunks);
    chunks = chunk;
    unsigned char* first = chunk + kLinkSize;
    for (uint32_t i = 0; i < blocksPerChunk; ++i) {
        unsigned char* block = first + size_t(i) * blockSize;
        StoreLink(block, i + 1 < blocksPerChunk ? block + blockSize : freeList);
    }
    freeList = first;
    totalBlocks += blocksPerChunk;
}

void* CFixedPool::Take() {
    if (freeList == nullptr) {
        Grow();
    }
    unsigned char* block = freeList;
    freeList = LoadLink(block);
    ++inUse;
    return block;
}

void CFixedPool::Return(void* block) {
    --inUse;
    auto* b = static_cast<unsigned char*>(block);
    StoreLink(b, freeList);
    freeList = b;
}

void CFixedPool::ReleaseChunks() {
    while (chunks != nullptr) {
        unsigned char* previous = LoadLink(chunks);
        std::free(chunks);
        chunks = previous;
    }
    freeList = nullptr;
}

CPoolManager::CPoolManager(uint32_t requestedLimit)
    : limit((requestedLimit + 3) / 4 * 4), classCount(limit / 4 + 1),
      classes(
          static_cast<CFixedPool*>(CheckAllocation(std::malloc(sizeof(CFixedPool) * classCount)))) {
    for (uint32_t i = 0; i < classCount; ++i) {
        new (&classes[i]) CFixedPool();
        classes[i].Configure(4 * i);
    }
}

CPoolManager::~CPoolManager() {
    for (uint32_t i = 0; i < classCount; ++i) {
        classes[i].ReleaseChunks();
    }
    std::free(classes);
}

void* CPoolManager::PoolAlloc(size_t n) {
    if (n > limit) {
        return CheckAllocation(std::malloc(n));
    }
    return ClassFor(n).Take();
}

void CPoolManager::PoolFree(void* p, size_t n) {
    if (n > limit) {
        std::free(p);
        return;
    }
    ClassFor(n).Return(p);
}

CPoolManager* GetPoolManager() {
    static bool notYetCreated = true;
    static CPoolManager* manager = nullptr;
    if (notYetCreated) {
        notYetCreated = false;
        void* storage = CheckAllocation(std::malloc(sizeof(CPoolManager)));
        manager = new (storage) CPoolManager(500);
    }
    return manager;
}

void* PoolAlloc(size_t n) {
    return GetPoolManager()->PoolAlloc(n);
}

void PoolFree(void* p, size_t n) {
    GetPoolManager()->PoolFree(p, n);
}
