// Fatal signals. A crash (a fault inside a driver library, say) skips every
// end procedure, so the files the run made in the temp directory would stay
// behind. The handler runs the crash clean-ups, which use async-signal-safe
// calls only, and then lets the crash take its course through whatever
// handler was there before (the default one, or a sanitizer's), unless the
// verdict recognises it as the consequence of a failure already understood.
#include <csignal>
#include <unistd.h>

#include "runtime/runtime.h"

namespace {
constexpr int MAX_CRASH_PROCEDURES = 8;
constexpr int FATAL_SIGNALS[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr int FATAL_SIGNAL_COUNT = sizeof FATAL_SIGNALS / sizeof FATAL_SIGNALS[0];

CrashProcedure crashProcedures[MAX_CRASH_PROCEDURES];
volatile sig_atomic_t crashProcedureCount = 0;
volatile CrashVerdict crashVerdict = nullptr;
struct sigaction previousActions[FATAL_SIGNAL_COUNT];
bool handlerInstalled = false;

void RestorePreviousActions() {
    for (int i = 0; i < FATAL_SIGNAL_COUNT; i++)
        sigaction(FATAL_SIGNALS[i], &previousActions[i], nullptr);
}

void OnFatalSignal(int number) {
    // A fault inside a clean-up must not loop back in here.
    RestorePreviousActions();
    for (int i = crashProcedureCount - 1; i >= 0; i--)
        crashProcedures[i]();
    CrashVerdict verdict = crashVerdict;
    if (verdict != nullptr && verdict())
        _exit(1);
    // Returning re-runs a faulting instruction under the previous action; a
    // signal that was raised is raised again.
    raise(number);
}

void InstallHandler() {
    struct sigaction action {};
    action.sa_handler = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < FATAL_SIGNAL_COUNT; i++)
        sigaction(FATAL_SIGNALS[i], &action, &previousActions[i]);
    handlerInstalled = true;
}
} // namespace

void AtCrash(CrashProcedure procedure) {
    for (int i = 0; i < crashProcedureCount; i++)
        if (crashProcedures[i] == procedure)
            return;
    if (crashProcedureCount == MAX_CRASH_PROCEDURES)
        return;
    crashProcedures[crashProcedureCount] = procedure;
    crashProcedureCount = crashProcedureCount + 1;
    if (!handlerInstalled)
        InstallHandler();
}

void SetCrashVerdict(CrashVerdict verdict) {
    crashVerdict = verdict;
    if (!handlerInstalled)
        InstallHandler();
}
