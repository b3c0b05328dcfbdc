#include <gtest/gtest.h>

#include "runtime/runtime.h"

namespace {
// Blanks skipped, an optional sign, digits up to the first other character,
// accumulated modulo 2^32.
TEST(Texts, TextToNumber) {
    const char *TEXTS[] = {" -12a",      "a12",        "",           "   +7",
                           "-",          "\t5",        "2147483647", "-2147483648",
                           "4294967295", "4294967296", "2147483648"};
    const int32_t VALUES[] = {-12, 0, 0, 7, 0, 0, INT32_MAX, INT32_MIN, -1, 0, INT32_MIN};
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(TextToNumber(TEXTS[i]), VALUES[i]) << '"' << TEXTS[i] << '"';
    EXPECT_EQ(TextToNumber64("18446744073709551615"), -1);
    EXPECT_EQ(TextToNumber64(" 140737488355328x"), 140737488355328LL); // an address
    EXPECT_EQ(TextToNumber64("-9223372036854775808"), INT64_MIN);
}

TEST(Texts, NumberToTextAndBlanks) {
    EXPECT_EQ(NumberToText(INT32_MIN) + NumberToText(305) + NumberToText(0), "-21474836483050");
    EXPECT_EQ(Blanks(3), "   ");
    EXPECT_EQ(Blanks(-4), "");
}
} // namespace
