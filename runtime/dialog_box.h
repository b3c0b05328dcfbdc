// The platform's modal message box, under MessageDialog and NoticeDialog
// (dialogs.cpp) and the display's "Fullscreen" question.
// Files a new platform adds: dialog_<platform>.cpp.
#pragma once

#include <string>

// Shows the box (flags as MessageDialog's) and runs meanwhile on the calling
// thread, or on a helper, while it is up (start-up loads the GL driver in the
// user's reading time); then waits for the answer: DIALOG_OK, DIALOG_YES or
// DIALOG_NO. Return answers the default button; Escape, closing the box or a
// box that cannot be shown answer No (OK for an OK box). A close request
// ends a box still waiting, with that same answer. Notes the box with
// NoteDialogOpened and NoteDialogClosed. May run on the player's thread.
using DialogMeanwhile = void (*)();
int MessageDialogMeanwhile(const std::string &caption, const std::string &text, int flags,
                           DialogMeanwhile meanwhile);
