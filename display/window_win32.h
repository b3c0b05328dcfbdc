// The Win32 window service's own operations, used by the Win32 display set-up
// only. Message and size names come from <windows.h>.
#pragma once

#include <cstdint>
#include <windows.h>

// Opens window number from the template class, with a client area of
// width x height whose outer top-left corner is at (x, y); WS_VISIBLE is added
// to style. Returns the window or nullptr.
HWND CreateMainWindow(int number, int x, int y, int width, int height, DWORD style,
                      const char *title);
// Restores the display mode at the runtime end once full screen changed it.
void NoteDisplayModeChanged();
