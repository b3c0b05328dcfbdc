// Millisecond clock and sleep in a browser: the page's monotonic clock. The
// main thread cannot be suspended there; the frame loop is paced by the
// page's animation frames and never sleeps, so a sleep waits out its time.
#include <emscripten.h>

#include "runtime/platform_clock.h"

uint32_t PlatformMilliseconds() {
    // emscripten_get_now is performance.now(): milliseconds since the page began.
    return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

void PlatformSleep(uint32_t ms) {
    double until = emscripten_get_now() + ms;
    while (emscripten_get_now() < until) {
    }
}
