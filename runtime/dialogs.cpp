// The dialog services over the platform's box or, for a program with nobody
// to answer, the text-only one. Kept apart from the box machinery so that a
// test can link dialogs of its own in their place.
#include <algorithm>
#include <atomic>

#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
constexpr int BUTTON_TYPE_MASK = 0x0F;

std::atomic<DialogLine> textDialogs{nullptr};
} // namespace

int MessageDialog(const std::string &caption, const std::string &text, int flags) {
    DialogLine say = textDialogs.load(std::memory_order_relaxed);
    if (say == nullptr)
        return MessageDialogMeanwhile(caption, text, flags, nullptr);
    std::string line = text;
    std::replace(line.begin(), line.end(), '\n', ' ');
    say(line);
    return (flags & BUTTON_TYPE_MASK) == DIALOG_FLAGS_YES_NO ? DIALOG_NO : DIALOG_OK;
}

int NoticeDialog(const std::string &caption, const std::string &text, const std::string &cause) {
    bool told = textDialogs.load(std::memory_order_relaxed) != nullptr && !cause.empty();
    return MessageDialog(caption, told ? text + " (" + cause + ")" : text, DIALOG_FLAGS_OK);
}

void UseTextDialogs(DialogLine say) {
    textDialogs.store(say, std::memory_order_relaxed);
}
