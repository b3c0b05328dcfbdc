// Signals in a browser: there are none to catch. The page's own ways of
// ending a run (Escape, leaving full screen, leaving the page) come as
// display events; a crash is a wasm trap, after which nothing of the run
// goes on and the in-memory file system goes with the page.
#include "runtime/signals.h"

void RouteCloseSignals() {}

void AtCrash(CrashProcedure) {}

void SetCrashVerdict(CrashVerdict) {}
