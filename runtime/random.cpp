// RANROT-W random numbers and the power function.
#include <cmath>

#include "runtime/runtime.h"

namespace {
constexpr int RANROT_ENTRIES = 17;
constexpr int RANROT_LAG = 10;
constexpr int RANROT_WARM_UP_STEPS = 31;
constexpr uint32_t SEED_MULTIPLIER = 2891336453u;

uint32_t ranrotState[RANROT_ENTRIES][2];
int p1 = 0;
int p2 = RANROT_LAG;

uint32_t RotateLeft(uint32_t value, int bits) {
    return (value << bits) | (value >> (32 - bits));
}

// One draw: z is the high half of the 64-bit output, y the low half.
uint64_t RanrotStep() {
    uint32_t z = RotateLeft(ranrotState[p1][0], 19) + ranrotState[p2][0];
    uint32_t y = RotateLeft(ranrotState[p1][1], 27) + ranrotState[p2][1];
    ranrotState[p1][0] = y;
    ranrotState[p1][1] = z;
    p1 = p1 == 0 ? RANROT_ENTRIES - 1 : p1 - 1;
    p2 = p2 == 0 ? RANROT_ENTRIES - 1 : p2 - 1;
    return (static_cast<uint64_t>(z) << 32) | y;
}
} // namespace

void SeedRandom(uint32_t seed) {
    uint32_t x = seed;
    for (auto &entry : ranrotState) {
        for (uint32_t &word : entry) {
            x = x * SEED_MULTIPLIER + 1u;
            word = x;
        }
    }
    p1 = 0;
    p2 = RANROT_LAG;
    for (int i = 0; i < RANROT_WARM_UP_STEPS; i++)
        RanrotStep();
}

int32_t Random(int32_t n) {
    uint64_t v = RanrotStep();
    if (n < 0)
        return INT32_MIN;
    // floor(v * (n + 1) / 2^64): the top 32 bits of a 96-bit product, never above n.
    uint64_t range = static_cast<uint64_t>(n) + 1u;
    uint64_t low = (v & 0xFFFFFFFFu) * range;
    uint64_t high = (v >> 32) * range;
    uint64_t result = (high + (low >> 32)) >> 32;
    return static_cast<int32_t>(result);
}

float Pow(float x, float y) {
    return static_cast<float>(std::pow(static_cast<double>(x), static_cast<double>(y)));
}
