// The demo executable: checks that there is a display, routes Ctrl+C and
// SIGTERM to the close command, and runs the presentation to its end.
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "driver/demo.h"
#include "driver/version.h"

namespace {
// The demo takes no options: --version is answered, any other word ignored.
bool AsksForVersion(int argc, char **argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0)
            return true;
    return false;
}

// The display's platform knows where a window system would be.
bool HasDisplay() {
    return WindowSystemInReach();
}

std::atomic<int> closeSignals{0}; // lock-free, so safe in a handler

// The first signal ends the run like the close box, through the shutdown; a
// second one, should that hang, ends the process the default way.
void OnCloseSignal(int number) {
    if (closeSignals.fetch_add(1, std::memory_order_relaxed) > 0) {
        std::signal(number, SIG_DFL);
        std::raise(number);
        return;
    }
    RequestClose();
}

void RouteCloseSignals() {
    struct sigaction action {};
    action.sa_handler = OnCloseSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaction(number, &action, nullptr);
}
} // namespace

int main(int argc, char **argv) {
    if (AsksForVersion(argc, argv)) {
        // An answer that does not reach stdout (full, closed) is a failure.
        if (std::puts("brumlakor " BRUMLAKOR_VERSION) >= 0 && std::fflush(stdout) == 0)
            return 0;
        std::fprintf(stderr, "brumlakor: standard output: %s\n", std::strerror(errno));
        return 1;
    }
    // Without a window system SDL would quietly render offscreen and every
    // message box would fail: a demo nobody can see or stop.
    if (!HasDisplay()) {
        std::fputs("brumlakor: needs a graphical display (neither DISPLAY nor "
                   "WAYLAND_DISPLAY is set)\n",
                   stderr);
        return 1;
    }
    RouteCloseSignals();
    StartUp(DemoOptions{});
    while (RunFrame()) {
    }
    Shutdown();
}
