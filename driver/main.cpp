// The demo executable: checks that there is a display, routes Ctrl+C and
// SIGTERM to the close command (runtime/signals.h), and runs the presentation
// to its end.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "driver/demo.h"
#include "driver/version.h"
#include "runtime/signals.h"

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
