// The demo's spine: start-up, one frame of the loop, shutdown. The demo
// executable and the capture tool both run the presentation through these.
#pragma once

#include <cstdint>

#include "display/display.h"

constexpr uint32_t FRAME_PERIOD_MS = 20;

struct DemoOptions {
    DisplayKind display = DisplayKind::Interactive;
    int width = 640; // drawable size (the capture renders larger when scaled)
    int height = 480;
    bool sound = true; // false: the player renders offline, driven by the caller
};

// Start-up steps in order, up to the frame loop. Does not return on the early
// exits (library file not created, full screen refused).
void StartUp(const DemoOptions &options);
// The halves of StartUp on either side of SetUpDisplay, for a platform whose
// "Fullscreen" question answers later, from an event (the web).
void StartUpBeforeDisplay(const DemoOptions &options);
void StartUpAfterDisplay();
// Sleeps for the rest of the frame period (pacing step of the frame loop).
void PaceFrame(uint32_t frameStart);
// The effect blocks of one frame, in their fixed order, each testing its
// scene bit (or the scroller flag) afresh at its turn.
void RunEffectBlocks();
// One pass of the frame loop: clock, clear, view, effect blocks, present, poll,
// pacing. Returns false when the loop must end (close command or Escape).
// Callback runs after the effect blocks and before the present, to read back
// the frame (capture); it may be null.
using FrameHook = void (*)();
bool RunFrame(FrameHook beforePresent = nullptr);
// RunFrame without the pacing, for a platform that paces the loop itself
// (the web, by animation frames).
bool DrawFrame(FrameHook beforePresent = nullptr);
// Normal shutdown; ends the process with exit code 0.
[[noreturn]] void Shutdown();
