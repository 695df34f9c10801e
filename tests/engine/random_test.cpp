#include "engine/os.h"
#include "engine/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

// R250 written straight from its recurrence, x[n] = x[n - 250] XOR x[n - 147],
// over the whole history instead of a circular table.
std::vector<uint32_t> ReferenceSequence(uint32_t seed, size_t count) {
    std::vector<uint32_t> x(250);
    uint32_t state = seed;
    for (size_t k = 250; k-- > 0;) {
        uint64_t v = uint64_t(state) * 1103515245u + 12345u;
        x[k] = uint32_t((v / 65536) % 4294967296u);
        state = uint32_t(v % 4294967296u);
    }
    // Word 3 + 7k keeps bit 31 - k as its top set bit.
    for (unsigned bit = 32; bit-- > 0;) {
        uint32_t& word = x[3 + 7 * (31 - bit)];
        uint64_t below = (uint64_t(1) << bit) - 1;
        word = uint32_t((word & below) | (uint64_t(1) << bit));
    }
    for (size_t n = 250; n < 250 + count; ++n) {
        x.push_back(x[n - 250] ^ x[n - 147]);
    }
    return std::vector<uint32_t>(x.begin() + 250, x.end());
}

TEST(R250, MatchesTheRecurrenceOverTenThousandValues) {
    for (uint32_t seed : {0u, 1u, 12345u, 0x9E3779B9u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(seed);
        std::vector<uint32_t> expected = ReferenceSequence(seed, 10000);
        CR250Random r(seed);
        for (size_t n = 0; n < expected.size(); ++n) {
            ASSERT_EQ(r.Next(), expected[n]) << "value " << n;
        }
        EXPECT_EQ(r.GetDrawn(), 10000u);
    }
}

TEST(R250, SeedOneFillsTheTableFromTheCongruentialGenerator) {
    CR250Random r(1);
    // 1 x 1103515245 + 12345 = 1103527590, whose bits 16 to 47 are 16838.
    EXPECT_EQ(r.GetWord(249), 16838u);
    EXPECT_EQ(r.GetSeed(), 1u);
    EXPECT_EQ(r.GetIndex(), 0);
    EXPECT_EQ(r.GetPartnerIndex(), 103);

    uint32_t expected = r.GetWord(0) ^ r.GetWord(103);
    EXPECT_EQ(r.Next(), expected);
    EXPECT_EQ(r.GetWord(0), expected);
    EXPECT_EQ(r.GetIndex(), 1);
    EXPECT_EQ(r.GetPartnerIndex(), 104);
}

TEST(R250, IndicesWrapAfterAFullTable) {
    CR250Random r(77);
    for (int n = 0; n < 147; ++n) {
        r.Next();
    }
    EXPECT_EQ(r.GetIndex(), 147);
    EXPECT_EQ(r.GetPartnerIndex(), 0) << "the partner wraps first";
    for (int n = 147; n < 250; ++n) {
        r.Next();
    }
    EXPECT_EQ(r.GetIndex(), 0);
    EXPECT_EQ(r.GetPartnerIndex(), 103);
    EXPECT_EQ(r.GetDrawn(), 250u);
}

TEST(R250, SameSeedSameSequenceAndReseedingRestarts) {
    CR250Random a(2024);
    CR250Random b(2024);
    CR250Random other(2025);
    std::vector<uint32_t> first;
    bool differs = false;
    for (int n = 0; n < 1000; ++n) {
        uint32_t v = a.Next();
        first.push_back(v);
        EXPECT_EQ(b.Next(), v);
        differs |= other.Next() != v;
    }
    EXPECT_TRUE(differs) << "another seed gives another sequence";

    a.Seed(2024);
    EXPECT_EQ(a.GetDrawn(), 0u);
    EXPECT_EQ(a.GetIndex(), 0);
    EXPECT_EQ(a.GetPartnerIndex(), 103);
    for (uint32_t v : first) {
        ASSERT_EQ(a.Next(), v);
    }
}

TEST(R250, UnseededGeneratorsTakeTheTickCount) {
    uint32_t before = os::TickCount();
    CR250Random r;
    uint32_t after = os::TickCount();
    // Unsigned differences stay right across the 32-bit wrap.
    EXPECT_LE(r.GetSeed() - before, after - before);

    // The process-wide generators were seeded before main and never drawn from.
    EXPECT_EQ(primaryRandom.GetDrawn(), 0u);
    EXPECT_EQ(secondaryRandom.GetDrawn(), 0u);
    for (const CR250Random* g : {&primaryRandom, &secondaryRandom}) {
        CR250Random same(g->GetSeed());
        for (int32_t k = 0; k < CR250Random::kTableSize; ++k) {
            ASSERT_EQ(g->GetWord(k), same.GetWord(k)) << "word " << k;
        }
    }
}

TEST(R250, ConstructionFillsTheBitLengthTable) {
    for (uint32_t& entry : bitLengthTable) {
        entry = 99;
    }
    CR250Random r(5);
    for (uint32_t v = 0; v < 256; ++v) {
        uint32_t bits = 0;
        while (bits < 32 && (uint64_t(1) << bits) <= v) {
            ++bits;
        }
        ASSERT_EQ(bitLengthTable[v], bits) << v;
    }
    EXPECT_EQ(bitLengthTable[0], 0u);
    EXPECT_EQ(bitLengthTable[3], 2u);
    EXPECT_EQ(bitLengthTable[128], 8u);
}

} // namespace
