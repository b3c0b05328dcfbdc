// Runtime state shared between the runtime's own sources and the display
// subsystem's event poll; not part of the services the demo calls.
#pragma once

#include <cstdint>

#include "runtime/dialog_box.h" // the display asks its question through the box

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

// Test hook: every reading of the virtual clock advances it by step
// milliseconds afterwards (0, the default, keeps it standing still).
void SetVirtualClockReadStep(uint32_t step);
