// Dialogs without a display, and cancelled by a close request. Answering a
// real box is covered by the end-to-end tests under Xvfb.
#include <cstdlib>
#include <gtest/gtest.h>

#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
// A box that cannot be shown answers like one closed unanswered: No for a
// question, OK for a notice.
TEST(Dialogs, WithoutADisplayTheSafeAnswerComesBack) {
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            RuntimeStart();
            bool no = MessageDialog("Brumlakor", "Fullscreen", DIALOG_FLAGS_YES_NO) == DIALOG_NO;
            bool ok = NoticeDialog("Brumlakor", "notice") == DIALOG_OK;
            bool error = MessageDialog("Error", "x", DIALOG_FLAGS_ERROR) == DIALOG_OK;
            std::exit(no && ok && error && !DialogOpen() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Dialogs, ACloseRequestAnswersAtOnce) {
    RuntimeStart();
    RaiseCloseRequest();
    uint32_t before = TickMilliseconds();
    EXPECT_EQ(MessageDialog("Brumlakor", "Fullscreen", DIALOG_FLAGS_YES_NO), DIALOG_NO);
    EXPECT_LT(TickMilliseconds() - before, 1000u);
    EXPECT_FALSE(DialogOpen());
    RuntimeStart(); // clears the request
    EXPECT_FALSE(CloseRequested());
}
} // namespace
