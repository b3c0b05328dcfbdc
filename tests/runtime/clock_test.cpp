#include <gtest/gtest.h>

#include "runtime/runtime.h"

namespace {
TEST(Clock, DelaySleepsAtLeastTheGivenTime) {
    uint32_t before = TickMilliseconds();
    Delay(30);
    uint32_t passed = TickMilliseconds() - before;
    EXPECT_GE(passed, 30u);
    EXPECT_LT(passed, 1000u);
    before = TickMilliseconds();
    Delay(0);
    EXPECT_LT(TickMilliseconds() - before, 20u);
}

// The virtual clock stands still except in Delay, and wraps like the real one.
// (Death-test style subprocess: the switch to virtual time cannot be undone.)
TEST(Clock, VirtualClockMovesOnlyInDelayAndWraps) {
    EXPECT_EXIT(
        {
            UseVirtualClock(0xFFFFFFF0u);
            bool still = TickMilliseconds() == 0xFFFFFFF0u && TickMilliseconds() == 0xFFFFFFF0u;
            Delay(0x20);
            bool wrapped = TickMilliseconds() == 0x10u;
            uint32_t start = 0xFFFFFFF0u;
            bool difference = TickMilliseconds() - start == 0x20u;
            std::exit(still && wrapped && difference ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
} // namespace
