#include "engine/pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <vector>

namespace {

// Block sizes follow the 4-byte classes; a free block must hold a pointer,
// so a 64-bit host rounds them up to 8.
uint32_t ExpectedBlockSize(uint32_t cls) {
    uint32_t size = cls * 4 < 4 ? 4 : cls * 4;
    uint32_t grain = sizeof(void*) > 4 ? sizeof(void*) : 4;
    return (size + grain - 1) / grain * grain;
}

TEST(PoolManager, LimitAndClassCount) {
    CPoolManager m(500);
    EXPECT_EQ(m.limit, 500u);
    EXPECT_EQ(m.classCount, 126u);
    CPoolManager odd(497);
    EXPECT_EQ(odd.limit, 500u);
    EXPECT_EQ(odd.classCount, 126u);
}

TEST(PoolManager, SizeClasses) {
    struct Row {
        uint32_t cls, blockSize, blocksPerChunk;
    };
    // The classes as a 32-bit target sets them up.
    const Row rows[] = {{0, 4, 1000}, {1, 4, 1000}, {2, 8, 500},    {3, 12, 333}, {4, 16, 250},
                        {5, 20, 200}, {8, 32, 125}, {100, 400, 10}, {125, 500, 8}};
    CPoolManager m(500);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.cls);
        const CFixedPool& pool = m.classes[row.cls];
        if (sizeof(void*) == 4) {
            EXPECT_EQ(pool.blockSize, row.blockSize);
            EXPECT_EQ(pool.blocksPerChunk, row.blocksPerChunk);
        } else {
            EXPECT_EQ(pool.blockSize, ExpectedBlockSize(row.cls));
            EXPECT_EQ(pool.blocksPerChunk, 4000 / ExpectedBlockSize(row.cls));
        }
        EXPECT_EQ(pool.chunks, nullptr);
        EXPECT_EQ(pool.freeList, nullptr);
        EXPECT_EQ(pool.totalBlocks, 0u);
        EXPECT_EQ(pool.inUse, 0);
    }
}

TEST(PoolManager, RequestsGoToTheirClass) {
    struct Row {
        size_t request;
        uint32_t cls;
    };
    const Row rows[] = {{0, 0}, {1, 1}, {2, 1},     {4, 1},    {5, 2},
                        {8, 2}, {9, 3}, {499, 125}, {500, 125}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.request);
        CPoolManager m(500);
        void* p = m.PoolAlloc(row.request);
        for (uint32_t i = 0; i < m.classCount; ++i) {
            EXPECT_EQ(m.classes[i].inUse, i == row.cls ? 1 : 0) << "class " << i;
        }
        m.PoolFree(p, row.request);
        EXPECT_EQ(m.classes[row.cls].inUse, 0);
    }
}

TEST(PoolManager, AboveTheLimitComesFromTheHeap) {
    CPoolManager m(500);
    void* p = m.PoolAlloc(501);
    ASSERT_NE(p, nullptr);
    for (uint32_t i = 0; i < m.classCount; ++i) {
        EXPECT_EQ(m.classes[i].totalBlocks, 0u);
    }
    m.PoolFree(p, 501);
}

TEST(PoolManager, FreedBlockIsHandedOutNext) {
    CPoolManager m(500);
    void* a = m.PoolAlloc(24);
    void* b = m.PoolAlloc(24);
    m.PoolFree(a, 24);
    EXPECT_EQ(m.PoolAlloc(21), a);
    m.PoolFree(b, 24);
    m.PoolFree(a, 24);
    EXPECT_EQ(m.PoolAlloc(24), a);
    EXPECT_EQ(m.PoolAlloc(24), b);
}

TEST(PoolManager, ChunkBlocksRunUpwardsAfterTheLink) {
    CPoolManager m(500);
    CFixedPool& pool = m.ClassFor(12);
    auto* first = static_cast<unsigned char*>(m.PoolAlloc(12));
    EXPECT_EQ(first, pool.chunks + CFixedPool::kLinkSize);
    EXPECT_EQ(pool.totalBlocks, pool.blocksPerChunk);
    std::set<unsigned char*> seen{first};
    unsigned char* previous = first;
    for (uint32_t i = 1; i < pool.blocksPerChunk; ++i) {
        auto* p = static_cast<unsigned char*>(m.PoolAlloc(12));
        EXPECT_EQ(p, previous + pool.blockSize);
        EXPECT_TRUE(seen.insert(p).second);
        previous = p;
    }
    EXPECT_EQ(pool.totalBlocks, pool.blocksPerChunk);
}

TEST(PoolManager, ClassGrowsByOneChunkWhenFull) {
    CPoolManager m(500);
    CFixedPool& pool = m.ClassFor(500);
    std::vector<void*> blocks;
    for (uint32_t i = 0; i < pool.blocksPerChunk; ++i) {
        blocks.push_back(m.PoolAlloc(500));
    }
    unsigned char* firstChunk = pool.chunks;
    EXPECT_EQ(pool.totalBlocks, pool.blocksPerChunk);
    blocks.push_back(m.PoolAlloc(500)); // the ninth on a 32-bit target
    EXPECT_EQ(pool.totalBlocks, 2 * pool.blocksPerChunk);
    EXPECT_NE(pool.chunks, firstChunk);
    unsigned char* link;
    std::memcpy(&link, pool.chunks, sizeof link);
    EXPECT_EQ(link, firstChunk);
    EXPECT_EQ(pool.inUse, int32_t(blocks.size()));
    for (void* p : blocks) {
        m.PoolFree(p, 500);
    }
    EXPECT_EQ(pool.inUse, 0);
    EXPECT_EQ(pool.totalBlocks, 2 * pool.blocksPerChunk);
}

TEST(PoolManager, ProcessWideManagerIsCreatedOnce) {
    CPoolManager* m = GetPoolManager();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(GetPoolManager(), m);
    EXPECT_EQ(m->limit, 500u);
    int32_t before = m->ClassFor(40).inUse;
    void* p = PoolAlloc(40);
    EXPECT_EQ(m->ClassFor(40).inUse, before + 1);
    PoolFree(p, 40);
    EXPECT_EQ(m->ClassFor(40).inUse, before);
}

#ifndef _WIN32
// Under Windows the fatal box waits for a click; the end-to-end tests cover it there.
TEST(PoolManagerDeathTest, HeapFailureEndsThroughTheFatalBox) {
    CPoolManager m(500);
    EXPECT_EXIT(m.PoolAlloc(SIZE_MAX / 2), testing::ExitedWithCode(255),
                "\\[FATAL ERROR\\] Out of memory");
}
#endif

} // namespace
