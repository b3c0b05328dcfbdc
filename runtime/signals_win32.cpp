// Console events on Win32: Ctrl+C, Ctrl+Break and the console's close end the
// run through its shutdown. No crash clean-up: a crash ends through the
// system's error reporting, and nothing registers one here.
#include <atomic>
#include <windows.h>

#include "runtime/internal.h"
#include "runtime/signals.h"

namespace {
constexpr DWORD CONSOLE_GRACE_MS = 10000;

std::atomic<int> closeEvents{0};

// Runs on a thread of its own. The first event ends the run like the close
// box, through the shutdown; a second one ends the process the default way.
// The console's close, logoff and shutdown events end the process as soon as
// the handler returns, so for them the handler waits while the main thread
// shuts down (its exit ends this thread too).
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (closeEvents.fetch_add(1, std::memory_order_relaxed) > 0)
        return FALSE;
    RaiseCloseRequest();
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        Sleep(CONSOLE_GRACE_MS);
    return TRUE;
}
} // namespace

void RouteCloseSignals() {
    // Started from a console: its Ctrl+C and close reach the demo there.
    AttachConsole(ATTACH_PARENT_PROCESS);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void AtCrash(CrashProcedure) {}

void SetCrashVerdict(CrashVerdict) {}
