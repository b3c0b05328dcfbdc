#include <gtest/gtest.h>
#include <string>

#include "runtime/runtime.h"

namespace {
std::string endOrder;
void EndA() {
    endOrder += "A";
}
void EndB() {
    endOrder += "B";
}
void EndC() {
    endOrder += "C";
}

TEST(RuntimeEnd, RunsEndProceduresLastRegisteredFirstAndEachOnce) {
    RuntimeStart();
    endOrder.clear();
    AtRuntimeEnd(EndA);
    AtRuntimeEnd(EndB);
    AtRuntimeEnd(EndA); // already there: still runs once
    AtRuntimeEnd(EndC);
    AtRuntimeEnd(nullptr);
    RuntimeEnd();
    EXPECT_EQ(endOrder, "CBA");
    RuntimeEnd(); // safe to run again, and runs nothing twice
    EXPECT_EQ(endOrder, "CBA");
}

TEST(RuntimeEnd, EndProcessRunsTheEndAndExitsWithZero) {
    EXPECT_EXIT(
        {
            RuntimeStart();
            AtRuntimeEnd([] { std::fputs("ended\n", stderr); });
            EndProcess();
        },
        ::testing::ExitedWithCode(0), "ended");
}
} // namespace
