// Signals on POSIX. The close signals end the run through its shutdown.
//
// Fatal signals: a crash (a fault inside a driver library, say) skips every
// end procedure, so the files the run made in the temp directory would stay
// behind. The handler runs the crash clean-ups, which use async-signal-safe
// calls only, and then lets the crash take its course through whatever
// handler was there before (the default one, or a sanitizer's), unless the
// verdict recognises it as the consequence of a failure already understood.
#include <atomic>
#include <csignal>
#include <pthread.h>
#include <unistd.h>

#include "runtime/internal.h"
#include "runtime/signals.h"

namespace {
constexpr int MAX_CRASH_PROCEDURES = 8;
constexpr int FATAL_SIGNALS[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGTRAP, SIGSYS};
// Every signal whose default action ends the process without a crash.
constexpr int CLOSE_SIGNALS[] = {SIGINT,  SIGTERM, SIGHUP,    SIGQUIT, SIGUSR1, SIGUSR2,
                                 SIGALRM, SIGPOLL, SIGVTALRM, SIGPROF, SIGXCPU};
constexpr int FATAL_SIGNAL_COUNT = sizeof FATAL_SIGNALS / sizeof FATAL_SIGNALS[0];

CrashProcedure crashProcedures[MAX_CRASH_PROCEDURES];
volatile sig_atomic_t crashProcedureCount = 0;
volatile CrashVerdict crashVerdict = nullptr;
struct sigaction previousActions[FATAL_SIGNAL_COUNT];
bool handlerInstalled = false;
std::atomic<int> closeSignals{0}; // lock-free, so safe in a handler

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

// A child forked from the run (a message box's process) is a copy that must
// neither raise the close request of a process it is not, nor run the crash
// clean-ups that remove the run's files: it starts with the default handling
// of every signal.
void ForgetHandlersInChild() {
    if (handlerInstalled)
        RestorePreviousActions();
    handlerInstalled = false;
    crashProcedureCount = 0;
    crashVerdict = nullptr;
    for (int number : CLOSE_SIGNALS)
        signal(number, SIG_DFL);
    signal(SIGPIPE, SIG_DFL);
    signal(SIGXFSZ, SIG_DFL);
}

void ForgetHandlersInEveryChild() {
    static bool registered = pthread_atfork(nullptr, nullptr, ForgetHandlersInChild) == 0;
    (void)registered;
}

void InstallHandler() {
    struct sigaction action {};
    action.sa_handler = OnFatalSignal;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < FATAL_SIGNAL_COUNT; i++)
        sigaction(FATAL_SIGNALS[i], &action, &previousActions[i]);
    handlerInstalled = true;
    ForgetHandlersInEveryChild();
}

// The first signal ends the run like the close box, through the shutdown; a
// second one, should that hang, ends the process the default way.
void OnCloseSignal(int number) {
    if (closeSignals.fetch_add(1, std::memory_order_relaxed) > 0) {
        signal(number, SIG_DFL);
        raise(number);
        return;
    }
    RaiseCloseRequest();
}
} // namespace

void RouteCloseSignals() {
    struct sigaction action {};
    action.sa_handler = OnCloseSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : CLOSE_SIGNALS)
        sigaction(number, &action, nullptr);
    // A closed pipe on stderr (a library's message into `| head -c0`) and a
    // file over the size limit fail their write instead of ending the run.
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
    ForgetHandlersInEveryChild();
}

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
