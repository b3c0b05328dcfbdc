#include <gtest/gtest.h>

#include "runtime/runtime.h"

namespace {
TEST(Texts, TextToNumberReadsSignAndDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(TextToNumber(" -12a"), -12);
    EXPECT_EQ(TextToNumber("a12"), 0);
    EXPECT_EQ(TextToNumber(""), 0);
    EXPECT_EQ(TextToNumber("   +7"), 7);
    EXPECT_EQ(TextToNumber("-"), 0);
    EXPECT_EQ(TextToNumber("\t5"), 0); // only blanks are skipped
    EXPECT_EQ(TextToNumber("2147483647"), INT32_MAX);
    EXPECT_EQ(TextToNumber("-2147483648"), INT32_MIN);
}

TEST(Texts, TextToNumberWrapsModuloTwoToThe32) {
    EXPECT_EQ(TextToNumber("4294967295"), -1);
    EXPECT_EQ(TextToNumber("4294967296"), 0);
    EXPECT_EQ(TextToNumber("2147483648"), INT32_MIN);
    EXPECT_EQ(TextToNumber64("18446744073709551615"), -1);
    EXPECT_EQ(TextToNumber64(" 140737488355328x"), 140737488355328LL); // an address
    EXPECT_EQ(TextToNumber64("-9223372036854775808"), INT64_MIN);
}

TEST(Texts, NumberToTextAndBlanks) {
    EXPECT_EQ(NumberToText(0), "0");
    EXPECT_EQ(NumberToText(-2147483647 - 1), "-2147483648");
    EXPECT_EQ(NumberToText(305), "305");
    EXPECT_EQ(Blanks(3), "   ");
    EXPECT_EQ(Blanks(0), "");
    EXPECT_EQ(Blanks(-4), "");
    EXPECT_EQ(Blanks(255).size(), 255u);
}
} // namespace
