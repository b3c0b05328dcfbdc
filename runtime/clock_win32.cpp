// Millisecond clock and sleep on Win32: timeGetTime, a wrapping 32-bit count
// since system start, and Sleep. The system timer runs at a 1 ms period for
// the whole run, so that both are exact to the millisecond (the default period
// of 15.6 ms would stretch every 20 ms frame).
#include <windows.h>

#include <mmsystem.h> // after windows.h, which it needs

#include "runtime/platform_clock.h"

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

uint32_t PlatformMilliseconds() {
    return timeGetTime();
}

void PlatformSleep(uint32_t ms) {
    Sleep(ms);
}
