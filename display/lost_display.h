// The watch on a window system that can vanish under a running process or
// refuse it a request (the X server, whose Xlib would otherwise end the
// process through exit() from wherever it noticed). The demo ends in order
// instead: one line on stderr, the runtime end, status 1.
#pragma once

// Installs the watch; called before the connection is opened, and again after
// (the video driver may install its own handlers while it connects).
void WatchForLostDisplay();
// True once the connection is gone or the run ends for a refused request:
// the backend then leaves the windows and the connection to the process end.
bool DisplayLost();
// The first request refused while a box was up, or "": the run ends for it
// once the box has gone.
const char *DisplayRefusal();
