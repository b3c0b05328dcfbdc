// Display: the window service, the "Fullscreen" question, display mode, window
// and OpenGL context, the fixed rendering state and the per-frame view.
#pragma once

#include <cstdint>
#include <string>

constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;
constexpr uint32_t EVENT_CLOSE = 0x10;
constexpr intptr_t NOT_HANDLED = 0xE0E0E0E1;
constexpr uintptr_t KEY_ESCAPE = 27;
// Window messages that reach the message hook, numbered as on Win32.
constexpr uint32_t MESSAGE_SIZE = 0x0005;
constexpr uint32_t MESSAGE_CLOSE = 0x0010;
// Code of a key-press event; its parameter is the key (KEY_ESCAPE for Escape).
constexpr uint32_t EVENT_KEY_DOWN = 0x100;

// Position of light 0, four floats (start-up step 6 allocates and fills it;
// SetFixedRenderingState reads it).
extern float *lightPosition;

// How SetUpDisplay opens the display. Interactive asks the question and opens a
// real window; Offscreen (tests, capture) asks nothing and renders into an
// offscreen surface of width x height pixels.
enum class DisplayKind { Interactive, Offscreen };

// Window service. WindowServiceStart runs right after RuntimeStart and
// registers WindowServiceEnd (close every window) with AtRuntimeEnd.
void WindowServiceStart();
void WindowServiceEnd();

using MessageHook = intptr_t (*)(void *window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void SetMessageHook(MessageHook hook);
void *MainWindowHandle(int number);
int ClientAreaWidth();
int ClientAreaHeight();
// Takes at most one event without waiting: 0 if none, EVENT_CLOSE for the close
// command, otherwise the event's own code.
uint32_t PollEvent();
// The parameter of the last event (KEY_ESCAPE for the Escape key).
uintptr_t LastMessageParam();
// Asks the next PollEvent to report EVENT_CLOSE (signals, lost display).
// Async-signal-safe.
void RequestClose();

// Start-up step: question, mode, window, context. Does not return when full
// screen is refused (notice, then the early exit).
void SetUpDisplay(DisplayKind kind = DisplayKind::Interactive, int width = SCREEN_WIDTH,
                  int height = SCREEN_HEIGHT);
// The hook that SetUpDisplay installs: viewport follows the client size.
intptr_t ViewportOnResize(void *window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Start-up step: viewport, blending, light 0, clear colour, unpack alignment.
void SetFixedRenderingState();
// Frame step: model-view identity with the perspective in it.
void ResetView();
// Frame step: glFlush, then present the back buffer.
void PresentFrame();
