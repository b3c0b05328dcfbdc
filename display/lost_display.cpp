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
    // Loaded here, before SDL opens its connection, so that the handler is in
    // place from the first moment the server can go away. The reference is
    // kept: the handler lives in libX11 and must not be unloaded with it.
    static void *x11 = dlopen("libX11.so.6", RTLD_NOW);
    if (x11 == nullptr)
        return;
    auto setHandler = reinterpret_cast<SetIoErrorHandler>(dlsym(x11, "XSetIOErrorHandler"));
    if (setHandler != nullptr)
        setHandler(OnDisplayLost);
}

bool DisplayLost() {
    return displayLost.load(std::memory_order_relaxed);
}
