// The demo executable on Windows: routes the console's Ctrl+C, Ctrl+Break and
// close events to the close command (runtime/signals.h), and runs the
// presentation to its end. The entry point is the platform's own.
#include <windows.h>

#include "driver/demo.h"
#include "runtime/signals.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RouteCloseSignals();
    StartUp(DemoOptions{});
    while (RunFrame()) {
    }
    Shutdown();
}
