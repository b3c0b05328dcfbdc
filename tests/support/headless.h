// Headless GL for tests: an offscreen OpenGL 1.x context (SDL's offscreen
// video driver, an EGL pbuffer on Mesa llvmpipe) and frame read-back.
// Link the target `test_support`.
//
// Typical use in a test:
//
//     StartHeadlessDisplay(640, 480);         // once per process
//     ResetView();                            // display/display.h
//     DrawSomething();
//     Image frame = ReadBackBuffer();         // what the frame shows, rows top first
//
// The display stays up until the process ends.
// Under ThreadSanitizer, run GL tests with
// TSAN_OPTIONS=suppressions=tests/support/tsan.supp (llvmpipe's own threads).
#pragma once

#include "tests/support/image.h"

// RuntimeStart, WindowServiceStart, SetUpDisplay(DisplayKind::Offscreen,
// width, height) and SetFixedRenderingState, with lightPosition filled as
// start-up does ((5, 5, 5, 0.5)). The context is current on the calling
// thread. A second call with the display up does nothing but return true.
// Returns false (with a line on stderr) when no GL context could be made.
bool StartHeadlessDisplay(int width = 640, int height = 480);

// Reads the back buffer (call it before PresentFrame) at the drawable's size.
Image ReadBackBuffer();
