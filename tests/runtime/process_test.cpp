// Process end, crash clean-ups, text dialogs and the clock.
// What ends the process or cannot be undone runs in a child (death tests).
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "runtime/runtime.h"

namespace {
// Clean-ups may run in a signal handler: they only write.
void Say(const char *text) {
    (void)!write(STDERR_FILENO, text, strlen(text));
}
const auto EndA = +[] { Say("A"); };
const auto EndB = +[] { Say("B"); };
bool Recognised() {
    Say(" recognised\n");
    return true;
}

TEST(RuntimeEnd, RunsEndProceduresLastRegisteredFirstAndEachOnce) {
    RuntimeStart();
    AtRuntimeEnd(EndA);
    AtRuntimeEnd(EndB);
    AtRuntimeEnd(EndA); // already there: still runs once
    AtRuntimeEnd(nullptr);
    testing::internal::CaptureStderr();
    RuntimeEnd();
    RuntimeEnd(); // runs nothing twice
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "BA");
    EXPECT_EXIT((AtRuntimeEnd(EndA), EndProcess()), ::testing::ExitedWithCode(0), "^A$");
}

// Dies by the signal, or through a sanitizer's own handler, but never as a
// clean exit or as the verdict's status 1 from our handler.
bool DiedOfTheCrash(int status) {
    return WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) > 1);
}

void Crash(CrashVerdict verdict, int number) {
    AtCrash(EndA);
    AtCrash(EndB);
    AtCrash(EndA); // already there: runs once
    if (verdict != nullptr)
        SetCrashVerdict(verdict);
    if (fork() == 0) // a forked helper (a box's) that crashes removes nothing of ours
        abort();
    wait(nullptr);
    raise(number);
    _exit(0);
}

TEST(Crash, CleanUpsRunLastRegisteredFirstThenTheCrashGoesOn) {
    // The previous handler (a sanitizer's, say) may add a report after ours.
    for (int number : {SIGSEGV, SIGABRT, SIGBUS, SIGTRAP, SIGSYS})
        EXPECT_EXIT(Crash(nullptr, number), DiedOfTheCrash, "^BA") << strsignal(number);
    EXPECT_EXIT(Crash(Recognised, SIGSEGV), ::testing::ExitedWithCode(1), "^BA recognised\n$");
}

// Where nobody can answer, a box is one line (with its cause) and answers as closed.
std::vector<std::string> lines;
TEST(TextDialogs, EachBoxIsOneLineAndAnswersAsAClosedBox) {
    UseTextDialogs([](const std::string &line) { lines.push_back(line); });
    EXPECT_EQ(MessageDialog("Brumlakor", "Fullscreen", DIALOG_FLAGS_YES_NO), DIALOG_NO);
    EXPECT_EQ(MessageDialog("Error", "Error:\nNo Music", DIALOG_FLAGS_ERROR), DIALOG_OK);
    EXPECT_EQ(NoticeDialog("Brumlakor", "Failed", "full"), DIALOG_OK);
    UseTextDialogs(nullptr);
    EXPECT_EQ(lines, (std::vector<std::string>{"Fullscreen", "Error: No Music", "Failed (full)"}));
}

// The virtual clock stands still except in Delay, and wraps like the real
// one; the switch to it cannot be undone.
TEST(Clock, DelaySleepsAndTheVirtualClockMovesOnlyInDelay) {
    uint32_t before = TickMilliseconds();
    Delay(30);
    EXPECT_GE(TickMilliseconds() - before, 30u);
    EXPECT_EXIT(
        {
            UseVirtualClock(0xFFFFFFF0u);
            bool still = TickMilliseconds() == 0xFFFFFFF0u && TickMilliseconds() == 0xFFFFFFF0u;
            Delay(0x20);
            std::exit(still && TickMilliseconds() == 0x10u ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
