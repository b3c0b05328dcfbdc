// RANROT-W against values computed independently by ranrot_vectors.py (the
// generator written out from its description with unbounded integers).
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <set>

#include "runtime/runtime.h"

namespace {
struct Vector {
    uint32_t seed;
    int32_t n;
    int32_t draws[12];
};

const Vector VECTORS[] = {
    {0x0u, 100, {55, 79, 66, 38, 23, 63, 64, 42, 26, 47, 94, 44}},
    {0x1u, 100, {72, 18, 61, 92, 0, 12, 51, 29, 43, 84, 72, 73}},
    {0x3039u, 100, {28, 71, 66, 34, 59, 27, 30, 71, 21, 86, 17, 48}},
    {0xffffffffu, 100, {43, 42, 75, 88, 50, 6, 71, 58, 6, 13, 9, 16}},
    {0x7e8u,
     2147483647,
     {1933317956, 562785095, 1287423602, 791970464, 550193777, 1194108560, 1365773251, 704178408,
      334325668, 2106806194, 515169292, 613328288}},
    {0x4du, 1, {1, 1, 1, 1, 0, 0, 1, 0, 1, 0, 1, 0}},
};

TEST(Random, MatchesIndependentlyComputedSequences) {
    for (const Vector &vector : VECTORS) {
        SeedRandom(vector.seed);
        for (int i = 0; i < 12; i++)
            EXPECT_EQ(Random(vector.n), vector.draws[i]) << "seed " << vector.seed << " draw " << i;
    }
}

// Random(0) and Random(-1) still advance the generator by one step each: the
// draws after them are the reference sequence shifted by the skipped steps.
TEST(Random, EveryCallAdvancesOneStep) {
    SeedRandom(0);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-1), INT32_MIN);
    EXPECT_EQ(Random(INT32_MIN), INT32_MIN);
    for (int i = 3; i < 12; i++)
        EXPECT_EQ(Random(100), VECTORS[0].draws[i]) << "draw " << i;
}

TEST(Random, SeedingAgainRestartsTheSequence) {
    SeedRandom(987654321u);
    std::vector<int32_t> first;
    for (int i = 0; i < 100; i++)
        first.push_back(Random(1000000));
    SeedRandom(987654321u);
    for (int i = 0; i < 100; i++)
        EXPECT_EQ(Random(1000000), first[i]);
}

// 101 outcomes for n = 100, never 101; in 20000 draws each shows up.
TEST(Random, HundredGivesEveryValueFromZeroToHundred) {
    SeedRandom(42);
    std::set<int32_t> seen;
    for (int i = 0; i < 20000; i++) {
        int32_t value = Random(100);
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 100);
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 101u);
}

// Expected bit patterns from Python: struct-rounded floats, math.pow in double.
TEST(Pow, IsTheDoublePowerRoundedToFloat) {
    auto bits = [](float value) {
        uint32_t pattern;
        std::memcpy(&pattern, &value, sizeof pattern);
        return pattern;
    };
    EXPECT_EQ(bits(Pow(0.3f, 0.7f)), 0x3edc6c05u);
    EXPECT_EQ(bits(Pow(2.5f, 1.0f / 3.0f)), 0x3fadb905u);
    EXPECT_EQ(bits(Pow(1.7f, 2.5f)), 0x4071288au);
    EXPECT_EQ(bits(Pow(0.9f, 11.0f)), 0x3ea0abc5u);
    EXPECT_EQ(Pow(2.0f, 10.0f), 1024.0f);
    EXPECT_TRUE(std::isnan(Pow(-1.0f, 0.5f)));
}
} // namespace
