// Millisecond clock and sleep on Win32: timeGetTime, a wrapping 32-bit count
// since system start, and Sleep. The system timer runs at a 1 ms period for
// the whole run, so that both are exact to the millisecond (the default period
// of 15.6 ms would stretch every 20 ms frame).
#include <windows.h>
// After windows.h, whose types it uses.
#include <mmsystem.h>

#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
constexpr UINT TIMER_PERIOD_MS = 1;

// Set while the program runs: from static initialisation to process exit.
struct FineTimerPeriod {
    FineTimerPeriod() {
        timeBeginPeriod(TIMER_PERIOD_MS);
    }
    ~FineTimerPeriod() {
        timeEndPeriod(TIMER_PERIOD_MS);
    }
} fineTimerPeriod;
} // namespace

uint32_t TickMilliseconds() {
    uint32_t now = 0;
    if (ReadVirtualClock(now))
        return now;
    return timeGetTime();
}

void Delay(uint32_t ms) {
    if (AdvanceVirtualClock(ms))
        return;
    Sleep(ms);
}
