// The dialog services. Kept apart from the box machinery so that a test can
// link dialogs of its own in their place.
#include "runtime/internal.h"
#include "runtime/runtime.h"

int MessageDialog(const std::string &caption, const std::string &text, int flags) {
    return MessageDialogMeanwhile(caption, text, flags, nullptr);
}

int NoticeDialog(const std::string &caption, const std::string &text) {
    return MessageDialog(caption, text, DIALOG_FLAGS_OK);
}
