// Millisecond clock and sleep, with a virtual clock for frame-exact capture:
// it stands still until Delay moves it on.
#include <atomic>
#include <cerrno>
#include <ctime>

#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
std::atomic<bool> virtualClockOn{false};
std::atomic<uint32_t> virtualNow{0};
std::atomic<uint32_t> virtualReadStep{0};
} // namespace

uint32_t TickMilliseconds() {
    if (virtualClockOn.load(std::memory_order_relaxed))
        return virtualNow.fetch_add(virtualReadStep.load(std::memory_order_relaxed),
                                    std::memory_order_relaxed);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms); // wraps at 2^32 like the platform tick count
}

void Delay(uint32_t ms) {
    if (virtualClockOn.load(std::memory_order_relaxed)) {
        virtualNow.fetch_add(ms, std::memory_order_relaxed);
        return;
    }
    timespec remaining{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    // A signal (Ctrl+C) interrupts the sleep; the rest is slept so that the
    // frame still ends on its period and the exit test runs as usual.
    while (nanosleep(&remaining, &remaining) == -1 && errno == EINTR) {
    }
}

void UseVirtualClock(uint32_t start) {
    virtualNow.store(start, std::memory_order_relaxed);
    virtualClockOn.store(true, std::memory_order_relaxed);
}

void SetVirtualClockReadStep(uint32_t step) {
    virtualReadStep.store(step, std::memory_order_relaxed);
}
