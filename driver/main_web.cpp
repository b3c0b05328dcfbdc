// The page's entry point. A browser cannot wait inside a call, so start-up
// runs in two halves around the "Fullscreen" question: main shows it and
// returns; the answer (a user gesture, which full screen and sound need)
// runs the rest, and the frame loop then runs from the page's animation
// frames: one pass of the frame procedure per 20 ms period, never more than
// one per animation frame, and no catching up when the page falls behind.
#include <emscripten.h>

#include "display/display.h"
#include "display/page_display.h"
#include "driver/demo.h"
#include "runtime/page_dialog.h"
#include "runtime/runtime.h"

namespace {
constexpr const char *TITLE = "Brumlakor";
double nextFrameDue = 0;

void StopFrameLoop() {
    emscripten_cancel_main_loop();
}

void OnAnimationFrame() {
    double now = emscripten_get_now();
    if (now < nextFrameDue)
        return;
    // Late by a whole period or more: the lost time is not made up.
    nextFrameDue = now - nextFrameDue >= FRAME_PERIOD_MS ? now + FRAME_PERIOD_MS
                                                         : nextFrameDue + FRAME_PERIOD_MS;
    if (!DrawFrame())
        Shutdown();
}

int answerGiven = DIALOG_NO;

void RunShow() {
    OpenDisplayFor(answerGiven);
    StartUpAfterDisplay();
    AtRuntimeEnd(StopFrameLoop);
    nextFrameDue = emscripten_get_now();
    emscripten_set_main_loop(OnAnimationFrame, 0, 0);
}

// Full screen is asked for inside the answer's gesture; the show starts once
// the browser has said whether it went there.
void Answered(int answer) {
    answerGiven = answer;
    if (answer == DIALOG_YES)
        RequestFullScreenThen(RunShow);
    else
        RunShow();
}

void LeftPage() {
    Shutdown();
}
} // namespace

int main() {
    OnPageLeft(LeftPage);
    StartUpBeforeDisplay(DemoOptions{});
    BeforeFullscreenQuestion();
    AskOnPage(TITLE, FULLSCREEN_QUESTION, WhileQuestionIsUp, Answered);
    emscripten_exit_with_live_runtime();
}
