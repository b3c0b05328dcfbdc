// Display: the "Fullscreen" question, display mode, window and OpenGL
// context, the fixed rendering state and the per-frame view; with the window
// service (window_service.h) that the frame loop polls.
#pragma once

#include "display/window_service.h"

constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;

// Position of light 0, four floats: start-up points it at an array of its own
// before SetFixedRenderingState reads it.
extern float *lightPosition;
// Window 0 of the window service, the only window; set by SetUpDisplay.
extern void *mainWindow;

// How SetUpDisplay opens the display. Interactive asks the question and opens a
// real window; Offscreen (tests, capture) asks nothing and renders into an
// offscreen surface of width x height pixels.
enum class DisplayKind { Interactive, Offscreen };

// Whether there is a window system to open a window on at all; asked before
// start-up. Each platform's backend answers it.
bool WindowSystemInReach();

// Start-up step: question, mode, window, context. Does not return when full
// screen is refused (notice, then the early exit).
void SetUpDisplay(DisplayKind kind = DisplayKind::Interactive, int width = SCREEN_WIDTH,
                  int height = SCREEN_HEIGHT);
// The interactive SetUpDisplay in its three steps, for a platform whose
// question is answered later, from an event (the web): the display checked
// before the question (a failure ends the run), the work done while the
// question is up, and the rest once answer (DIALOG_YES or DIALOG_NO) is in.
constexpr const char *FULLSCREEN_QUESTION = "Fullscreen";
void BeforeFullscreenQuestion();
void WhileQuestionIsUp();
void OpenDisplayFor(int answer);
// The hook that SetUpDisplay installs: viewport follows the client size.
intptr_t ViewportOnResize(void *window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Start-up step: viewport, blending, light 0, clear colour, unpack alignment.
void SetFixedRenderingState();
// Frame step: model-view identity with the perspective in it.
void ResetView();
// Frame step: glFlush, then present the back buffer.
void PresentFrame();
