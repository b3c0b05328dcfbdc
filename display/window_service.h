// The window service's own operations, used by SetUpDisplay only.
#pragma once

#include <SDL.h>
#include <cstdint>

// The kind of a size message (its wParam), as the demo's window procedure
// knows it. This header is the SDL backend's own: the Win32 backend takes
// these names from the platform's headers.
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;

// Window styles: borderless full screen, or a title bar with a close box.
constexpr uint32_t STYLE_POPUP = 0x80000000u;
constexpr uint32_t STYLE_CAPTION_SYSMENU = 0x00C80000u;

// Starts SDL's video subsystem on the given driver (nullptr: SDL's choice)
// with the event filter that keeps unused events out of the queue.
bool StartVideo(const char *driver);

// Opens window number with a client area of width x height at (x, y). The
// popup style makes it full screen in the current display mode. extraFlags
// are SDL window flags (OpenGL, hidden). Returns the window or nullptr.
SDL_Window *CreateMainWindow(int number, int x, int y, int width, int height, uint32_t style,
                             const char *title, uint32_t extraFlags);

// Ends the demo in order (runtime end, failure status) when the connection
// to the X server breaks, instead of Xlib's exit() from wherever it noticed.
void WatchForLostDisplay();
// True once the connection is gone: the window service then leaves the
// windows to the process end.
bool DisplayLost();
