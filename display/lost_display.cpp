// When the X server goes away (a crash, the end of the session), Xlib ends
// the process from inside whichever call noticed it, through exit(): the
// sound library's files would stay behind and exit handlers of other threads
// could hang. The demo ends in order instead: the runtime end runs (player
// freed, its files removed) without touching the dead display, and the
// process leaves with a failure status.
#include <atomic>
#include <cstdio>
#include <dlfcn.h>
#include <unistd.h>

#include "display/window_service.h"
#include "runtime/runtime.h"

namespace {
std::atomic<bool> displayLost{false};

[[noreturn]] int OnDisplayLost(void *) {
    if (!displayLost.exchange(true)) {
        std::fputs("brumlakor: lost the connection to the display\n", stderr);
        RuntimeEnd();
    }
    _exit(1);
}
} // namespace

void WatchForLostDisplay() {
    using IoErrorHandler = int (*)(void *);
    using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);
    // SDL has loaded libX11 already when its X11 driver runs; otherwise
    // there is no X connection to watch.
    void *x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (x11 == nullptr)
        return;
    auto setHandler = reinterpret_cast<SetIoErrorHandler>(dlsym(x11, "XSetIOErrorHandler"));
    if (setHandler != nullptr)
        setHandler(OnDisplayLost);
    dlclose(x11);
}

bool DisplayLost() {
    return displayLost.load(std::memory_order_relaxed);
}
