// The clock and sleep: the platform's, or the virtual clock of frame-exact
// capture, which stands still until Delay moves it on.
#include <atomic>

#include "runtime/internal.h"
#include "runtime/platform_clock.h"
#include "runtime/runtime.h"

namespace {
std::atomic<bool> virtualClockOn{false};
std::atomic<uint32_t> virtualNow{0};
std::atomic<uint32_t> virtualReadStep{0};

bool ReadVirtualClock(uint32_t &now) {
    if (!virtualClockOn.load(std::memory_order_relaxed))
        return false;
    now = virtualNow.fetch_add(virtualReadStep.load(std::memory_order_relaxed),
                               std::memory_order_relaxed);
    return true;
}

bool AdvanceVirtualClock(uint32_t ms) {
    if (!virtualClockOn.load(std::memory_order_relaxed))
        return false;
    virtualNow.fetch_add(ms, std::memory_order_relaxed);
    return true;
}
} // namespace

uint32_t TickMilliseconds() {
    uint32_t now = 0;
    return ReadVirtualClock(now) ? now : PlatformMilliseconds();
}

void Delay(uint32_t ms) {
    if (!AdvanceVirtualClock(ms))
        PlatformSleep(ms);
}

void UseVirtualClock(uint32_t start) {
    virtualNow.store(start, std::memory_order_relaxed);
    virtualClockOn.store(true, std::memory_order_relaxed);
}

void SetVirtualClockReadStep(uint32_t step) {
    virtualReadStep.store(step, std::memory_order_relaxed);
}
