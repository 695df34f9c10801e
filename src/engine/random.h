// The engine's pseudo-random generator: R250, a generalized feedback shift
// register whose every value is the exclusive or of the values 250 and 147
// draws back, with its table seeded from a linear congruential generator.
#pragma once

#include <cstdint>

class CR250Random {
  public:
    static constexpr int32_t kTableSize = 250;
    // Distance of the partner word ahead of the word being replaced.
    static constexpr int32_t kPartnerOffset = 103;

    // Seeded from the system tick count.
    CR250Random();
    explicit CR250Random(uint32_t s);

    // Restarts the sequence; the same seed always gives the same values.
    void Seed(uint32_t s);
    uint32_t Next();

    uint32_t GetDrawn() const { return drawn; }
    uint32_t GetSeed() const { return seed; }
    int32_t GetIndex() const { return i; }
    int32_t GetPartnerIndex() const { return j; }
    uint32_t GetWord(int32_t k) const { return table[k]; }

  private:
    uint32_t drawn = 0;
    uint32_t seed = 0;
    uint32_t lcgState = 0;
    int32_t i = 0;
    int32_t j = kPartnerOffset;
    uint32_t table[kTableSize] = {};
};

// Entry v holds the number of significant bits of v; every construction of a
// generator fills it.
extern uint32_t bitLengthTable[256];

// The two process-wide generators, seeded from the tick count before main.
extern CR250Random primaryRandom;
extern CR250Random secondaryRandom;
