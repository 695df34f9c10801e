#include "engine/random.h"

#include "engine/os.h"

#include <array>

namespace {

// Advances an index without a division.
constexpr std::array<int32_t, CR250Random::kTableSize> MakeSuccessors() {
    std::array<int32_t, CR250Random::kTableSize> next{};
    for (int32_t k = 0; k < CR250Random::kTableSize; ++k) {
        next[size_t(k)] = (k + 1) % CR250Random::kTableSize;
    }
    return next;
}

constexpr std::array<int32_t, CR250Random::kTableSize> kSuccessor = MakeSuccessors();

// The ANSI C example constants.
constexpr uint64_t kLcgMultiplier = 1103515245;
constexpr uint64_t kLcgIncrement = 12345;

void FillBitLengthTable() {
    for (uint32_t v = 0; v < 256; ++v) {
        uint32_t bits = 0;
        for (uint32_t rest = v; rest != 0; rest >>= 1) {
            ++bits;
        }
        bitLengthTable[v] = bits;
    }
}

} // namespace

uint32_t bitLengthTable[256];

CR250Random primaryRandom;
CR250Random secondaryRandom;

CR250Random::CR250Random() {
    FillBitLengthTable();
    Seed(os::TickCount());
}

CR250Random::CR250Random(uint32_t s) {
    FillBitLengthTable();
    Seed(s);
}

void CR250Random::Seed(uint32_t s) {
    drawn = 0;
    i = 0;
    j = kPartnerOffset;
    seed = s;
    lcgState = s;
    for (int32_t k = kTableSize - 1; k >= 0; --k) {
        uint64_t v = uint64_t(lcgState) * kLcgMultiplier + kLcgIncrement;
        table[k] = uint32_t(v >> 16);
        lcgState = uint32_t(v);
    }
    // One word per bit column gets that bit set and every higher bit
    // cleared, which makes the 32 columns linearly independent.
    for (uint32_t k = 0; k < 32; ++k) {
        uint32_t& word = table[3 + 7 * k];
        word = (word & (0xFFFFFFFFu >> k)) | (0x80000000u >> k);
    }
}

uint32_t CR250Random::Next() {
    ++drawn;
    uint32_t value = table[i] ^ table[j];
    table[i] = value;
    i = kSuccessor[size_t(i)];
    j = kSuccessor[size_t(j)];
    return value;
}
