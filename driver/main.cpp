// The demo executable: checks that there is a display, routes Ctrl+C and
// SIGTERM to the close command (runtime/signals.h), and runs the presentation
// to its end.
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

bool HasDisplay() {
    const char *x11 = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && x11[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
}

} // namespace

int main(int argc, char **argv) {
    if (AsksForVersion(argc, argv)) {
        std::puts("brumlakor " BRUMLAKOR_VERSION);
        return 0;
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
