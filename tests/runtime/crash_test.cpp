#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "runtime/runtime.h"

namespace {
void Say(const char *text) {
    ssize_t ignored = write(STDERR_FILENO, text, strlen(text));
    (void)ignored;
}
void CleanUpA() {
    Say("A");
}
void CleanUpB() {
    Say("B");
}
bool Recognised() {
    Say(" recognised\n");
    return true;
}
bool NotRecognised() {
    Say(" not recognised\n");
    return false;
}

// Dies by the signal, or through a sanitizer's own handler, but never as a
// clean exit or as the verdict's status 1 from our handler.
bool DiedOfTheCrash(int status) {
    return WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) > 1);
}

void Crash(CrashVerdict verdict, int number) {
    AtCrash(CleanUpA);
    AtCrash(CleanUpB);
    AtCrash(CleanUpA); // already there: runs once
    if (verdict != nullptr)
        SetCrashVerdict(verdict);
    raise(number);
    Say(" survived\n");
    _exit(0);
}

TEST(Crash, CleanUpsRunLastRegisteredFirstThenTheCrashGoesOn) {
    // The previous handler (a sanitizer's, say) may add a report after ours.
    for (int number : {SIGSEGV, SIGABRT, SIGBUS})
        EXPECT_EXIT(Crash(nullptr, number), DiedOfTheCrash, "^BA") << strsignal(number);
    EXPECT_EXIT(Crash(NotRecognised, SIGSEGV), DiedOfTheCrash, "^BA not recognised");
}

TEST(Crash, ARecognisedCrashExitsWithOne) {
    EXPECT_EXIT(Crash(Recognised, SIGSEGV), ::testing::ExitedWithCode(1), "^BA recognised\n$");
}
} // namespace
