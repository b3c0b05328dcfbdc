// Millisecond clock and sleep on POSIX: CLOCK_MONOTONIC and nanosleep.
#include <cerrno>
#include <ctime>

#include "runtime/platform_clock.h"

uint32_t PlatformMilliseconds() {
    timespec clock{};
    clock_gettime(CLOCK_MONOTONIC, &clock);
    uint64_t ms = static_cast<uint64_t>(clock.tv_sec) * 1000u +
                  static_cast<uint64_t>(clock.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms); // wraps at 2^32 like the platform tick count
}

void PlatformSleep(uint32_t ms) {
    timespec remaining{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    // A signal (Ctrl+C) interrupts the sleep; the rest is slept so that the
    // frame still ends on its period and the exit test runs as usual.
    while (nanosleep(&remaining, &remaining) == -1 && errno == EINTR) {
    }
}
