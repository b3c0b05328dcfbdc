// The window service: one numbered window table, one window procedure with a
// message hook, and the event poll of the frame loop. Written once, on the
// platform backend (display_backend.h).
//
// Its operations speak in the values of the demo's original platform, Win32:
// message numbers, window styles, packed message parameters. This service is
// the one place that turns the backend's events into those values; the
// backends themselves keep to the demo's own vocabulary.
#pragma once

#include <cstdint>

constexpr uint32_t EVENT_CLOSE = 0x10;
constexpr intptr_t NOT_HANDLED = 0xE0E0E0E1;
constexpr uintptr_t KEY_ESCAPE = 27;
// Message numbers: a size change (wParam 1 when minimised, else 0; lParam the
// client width in the low 16 bits and its height in the high), the close
// command, and a key press (wParam the key's code, as in DisplayEvent).
constexpr uint32_t MESSAGE_SIZE = 0x0005;
constexpr uint32_t MESSAGE_CLOSE = 0x0010;
constexpr uint32_t EVENT_KEY_DOWN = 0x0100;
// Window styles: borderless full screen, or a title bar with a close box.
constexpr uint32_t STYLE_POPUP = 0x80000000u;
constexpr uint32_t STYLE_CAPTION_SYSMENU = 0x00C80000u;

// Runs right after RuntimeStart: an empty table, no hook, the platform's
// window template; registers WindowServiceEnd with AtRuntimeEnd.
void WindowServiceStart();
// Closes every window still open, then the connection to the window system.
void WindowServiceEnd();

// Opens window number (0 to 9) with a client area of width x height whose
// outer top-left corner is at (x, y); a window of that number already open is
// closed. Returns the window, or nullptr.
void *CreateMainWindow(int number, int x, int y, int width, int height, uint32_t style,
                       const char *title);
// Called for every message the window receives, before the service's own
// processing, which it ends by returning anything but NOT_HANDLED.
using MessageHook = intptr_t (*)(void *window, uint32_t message, uintptr_t wParam, intptr_t lParam);
void SetMessageHook(MessageHook hook);
void *MainWindowHandle(int number);
// The drawable size of window 0 in pixels; 0 without a window.
int ClientAreaWidth();
int ClientAreaHeight();
// Takes at most one event without waiting: 0 if none, EVENT_CLOSE for the close
// command, otherwise the message number of the event.
uint32_t PollEvent();
// The wParam of the last message (KEY_ESCAPE for the Escape key); kept across
// polls that find nothing.
uintptr_t LastMessageParam();
// Asks the next PollEvent to report EVENT_CLOSE (signals, lost display).
// Async-signal-safe.
void RequestClose();
