// A library for the slot tests: a function with a real signature, a counter
// that shows whether a call was made, and the build's tag.
#include <cstdint>

namespace {
int32_t calls = 0;
}

extern "C" __attribute__((visibility("default"))) int32_t SlotAdd(int32_t a, int32_t b) {
    calls++;
    return a + b;
}

extern "C" __attribute__((visibility("default"))) int32_t SlotCalls() {
    return calls;
}

extern "C" __attribute__((visibility("default"))) const char *SlotTag() {
    return SLOT_LIBRARY_TAG;
}
