// Runtime state shared between the runtime's own sources and the display
// subsystem's event poll; not part of the services the demo calls.
#pragma once

#include <cstdint>
#include <string>

// The close request: raised by RequestClose (signals, the shutdown), seen by
// the event poll and by a message dialog that is waiting for its answer.
// Raising it is async-signal-safe.
void RaiseCloseRequest();
bool CloseRequested();
// Lowers it again; for a caller that raised it and lives on (the tests).
void ClearCloseRequest();

// True while a message dialog is up on the main thread, which owns the demo's
// window: a box disables the windows of its own thread only, so meanwhile the
// event poll drops key and mouse events. A box of the player's thread (the
// error reporter inside a sync) leaves the window answering Escape and the
// close command. Opened and closed are noted on the dialog's own thread.
bool DialogOpen();
void NoteDialogOpened();
void NoteDialogClosed();

// True on the thread that ran RuntimeStart.
bool OnMainThread();

// The virtual clock, consulted first by the platform's clock and sleep: when
// it is in use, ReadVirtualClock gives its reading and AdvanceVirtualClock
// moves it on, and both return true.
bool ReadVirtualClock(uint32_t &now);
bool AdvanceVirtualClock(uint32_t ms);

// Test hook: every reading of the virtual clock advances it by step
// milliseconds afterwards (0, the default, keeps it standing still).
void SetVirtualClockReadStep(uint32_t step);

// MessageDialog that runs meanwhile on the calling thread while the box is
// up (the box lives in a process of its own), then waits for the answer.
// Start-up uses the user's reading time to load the GL driver.
using DialogMeanwhile = void (*)();
int MessageDialogMeanwhile(const std::string &caption, const std::string &text, int flags,
                           DialogMeanwhile meanwhile);

// The platform's library loader under the library slots. Load gives the
// library's handle, or null with the reason in error; Unload takes a handle
// that Load gave.
void *LoadPlatformLibrary(const char *path, std::string &error);
void UnloadPlatformLibrary(void *library);
