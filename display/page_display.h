// What the page's display (display_web.cpp) needs beyond display_backend.h:
// the browser allows full screen only inside the user's gesture and says
// later whether it went there, and a page that is left runs nothing more.
#pragma once

// Inside the handler of the "Fullscreen" answer Yes: asks the browser for
// full screen; then runs when the browser has answered, and
// SwitchToFullScreen reports how.
void RequestFullScreenThen(void (*then)());
// Runs when the visitor leaves the page (closes it, reloads, navigates
// away): the last chance to end the run, since no frame comes after.
void OnPageLeft(void (*left)());
