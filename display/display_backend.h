// The display's platform backend: the few jobs a platform does for the
// display. Everything else is written once against these jobs: the
// "Fullscreen" question and the set-up sequence (set_up_display.cpp), the
// window table, the message hook and the event codes (window_service.cpp),
// the fixed rendering state and the view (view.cpp).
//
// A new platform adds:
//   display/display_<platform>.cpp  every job below, with the platform's own state
//   display/CMakeLists.txt          a line choosing that file and the platform's libraries
// and, where the window system can vanish under a running process (X11), a
// watch of its own (lost_display_x11.cpp).
//
// All jobs run on the main thread. A job that fails leaves its reason for
// DisplayError.
#pragma once

#include <cstdint>
#include <string>

// ---- Events ----------------------------------------------------------------

// What a platform event means to the demo.
enum class EventKind { Nothing, KeyDown, Close, SizeChanged, Other };

// The platform's own message, its number and its two parameters, for a
// platform whose window procedure receives messages (Win32): the message hook
// sees it unchanged, and an event of kind Other is nothing else. All zero
// elsewhere.
struct NativeMessage {
    uint32_t number = 0;
    uintptr_t first = 0;
    intptr_t second = 0;
};

struct DisplayEvent {
    EventKind kind = EventKind::Nothing;
    // KeyDown: the key's code: KEY_ESCAPE for Escape, the capital letter for a
    // letter key, the digit's character for a digit, 13 Return, 32 Space,
    // 9 Tab, 8 Backspace; for any other key another code, or 0.
    uintptr_t key = 0;
    bool minimized = false; // SizeChanged: the window went to an icon
    NativeMessage native;
};

// Offered by the window service (window_service.cpp): its window procedure.
// The backend hands it each event for the demo's window the moment the window
// gets it. NOT_HANDLED: the platform's default processing goes on.
intptr_t WindowProcedure(void *window, const DisplayEvent &event);

// ---- Jobs ------------------------------------------------------------------

// Also answers WindowSystemInReach (display.h), before anything has started.

// At the window service's start, before any window: registers what the
// platform makes every window from (Win32: the template window class).
void RegisterWindowTemplate();

// Before the "Fullscreen" question: whether a window can be opened at all.
// Leaves no connection open for the box's own process to inherit.
bool ProbeDisplay();
// Runs while the question is up: connects to the window system and loads the
// GL driver, so that the answer is followed at once by the window. False when
// no window can be opened there.
bool PrepareDisplay();
// The flags of the "Fullscreen" question: Yes and No, with the platform's
// question icon where its boxes have one.
extern const int QUESTION_FLAGS;
// 640 x 480 x 32 for this run; false when the screen refuses it. CloseDisplay,
// or the end of the process, undoes it.
bool SwitchToFullScreen();

// How a window is framed: borderless over the whole (switched) screen, or with
// a title bar and a close box and no sizing border.
enum class WindowFrame { Borderless, Titled };
// Opens window number with a client area of width x height whose outer
// top-left corner is at (x, y), titled title, shown at once (hidden on the
// offscreen surface), ready for a GL context. Returns it, or nullptr.
void *OpenWindow(int number, int x, int y, int width, int height, WindowFrame frame,
                 const char *title);
void CloseWindow(void *window);
void HideCursor();
// A double-buffered RGBA context (24 colour bits or more, a depth buffer) on
// window, made current on the calling thread for the rest of the run.
bool StartGlContext(void *window);

// Takes at most one event from the platform's queue without waiting; one for
// the demo's window has reached WindowProcedure when this returns. Kind
// Nothing: the queue was empty.
DisplayEvent TakeEvent();
// Presents window's back buffer.
void SwapFrame(void *window);
// The size in pixels of window's drawable (more than its size in screen units
// on a scaled screen).
void DrawableSize(void *window, int &width, int &height);

// Closes the connection to the window system and undoes the full-screen
// switch; the windows are closed already. Runs at the runtime end, also
// after a failed set-up.
void CloseDisplay();
// The reason of the last failure, in the platform's words.
std::string DisplayError();

// The offscreen surface that the capture tool and the tests draw on, instead
// of PrepareDisplay: windows opened after it are hidden. False where the
// platform has none.
bool StartOffscreenDisplay();
