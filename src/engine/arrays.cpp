#include "engine/arrays.h"

uint32_t GrownCapacity(uint32_t capacity, uint32_t n) {
    // Single precision, truncated: from 0 this runs 1, 2, ... 10, 12, 14, 16, 19.
    float grown = float(capacity) * 1.2f;
    if (grown >= 4294967296.0f) {
        return UINT32_MAX;
    }
    uint32_t g = uint32_t(grown);
    return g > n ? g : n;
}
