// Message dialogs on the page: a modal <dialog> with real buttons
// (dialog_web.js). The browser cannot wait for an answer inside a call, so
// a notice is shown and answered OK at once (the box stays until its OK is
// pressed, and its text goes to the console too), and a Yes/No box asked
// through MessageDialog, which would have to wait, answers No unasked; the
// "Fullscreen" question is asked through AskOnPage instead.
#include "runtime/internal.h"
#include "runtime/page_dialog.h"
#include "runtime/runtime.h"

extern "C" {
// dialog_web.js: shows the box; answered (may be null) gets the button's code.
void BrumlakorShowBox(const char *caption, const char *text, int yesNo, void (*answered)(int));
}

namespace {
constexpr int BUTTON_TYPE_MASK = 0x0F;
DialogAnswered pendingAnswer = nullptr;

void Answered(int answer) {
    NoteDialogClosed();
    DialogAnswered answered = pendingAnswer;
    pendingAnswer = nullptr;
    if (answered != nullptr)
        answered(answer);
}
} // namespace

int MessageDialogMeanwhile(const std::string &caption, const std::string &text, int flags,
                           DialogMeanwhile meanwhile) {
    if (meanwhile != nullptr)
        meanwhile();
    if ((flags & BUTTON_TYPE_MASK) == DIALOG_FLAGS_YES_NO)
        return DIALOG_NO;
    BrumlakorShowBox(caption.c_str(), text.c_str(), 0, nullptr);
    return DIALOG_OK;
}

void AskOnPage(const std::string &caption, const std::string &text, DialogMeanwhile meanwhile,
               DialogAnswered answered) {
    pendingAnswer = answered;
    NoteDialogOpened();
    BrumlakorShowBox(caption.c_str(), text.c_str(), 1, Answered);
    if (meanwhile != nullptr)
        meanwhile();
}
