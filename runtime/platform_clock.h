// The platform's millisecond clock and sleep, under TickMilliseconds and
// Delay (virtual_clock.cpp, which serves the capture's virtual clock first).
// Files a new platform adds: clock_<platform>.cpp.
#pragma once

#include <cstdint>

// Milliseconds of a clock that never goes back, wrapping at 2^32; exact to
// the millisecond (a 20 ms frame must not stretch).
uint32_t PlatformMilliseconds();
// Suspends the calling thread for ms milliseconds, the whole of them even
// when a signal interrupts the sleep.
void PlatformSleep(uint32_t ms);
