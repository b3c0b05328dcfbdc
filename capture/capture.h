// The capture run: the presentation's start-up and frames on a virtual clock,
// each frame read back and written with its sound.
#pragma once

#include "capture/options.h"

// Returns the exit status: 0 done, 1 failed, 130 interrupted (what was
// captured is finished and playable). May end the process itself.
int RunCapture(const CaptureOptions &options);
