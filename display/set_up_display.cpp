// SetUpDisplay on the platform backend: the "Fullscreen" question, the
// display mode, the window and its OpenGL context; or the offscreen surface
// of the capture tool and the tests.
#include <cstdio>
#include <cstdlib>

#include "display/display.h"
#include "display/display_backend.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

void *mainWindow = nullptr;

namespace {
constexpr const char *TITLE = "Brumlakor";
constexpr uint32_t QUESTION_SETTLE_MS = 50;

// The display cannot be used at all: the demo must not run without a
// picture, so it says why and ends with a failure code.
[[noreturn]] void DisplayFailure(const char *what) {
    std::fprintf(stderr, "brumlakor: %s: %s\n", what, DisplayError().c_str());
    RuntimeEnd();
    std::fflush(nullptr);
    std::exit(1);
}

// Window 0 is the main window; the context goes on it and shows one frame.
void StartMainWindow() {
    SetMessageHook(ViewportOnResize);
    mainWindow = MainWindowHandle(0);
    if (!StartGlContext(mainWindow))
        DisplayFailure("could not create an OpenGL context");
    SwapFrame(mainWindow);
}

void SetUpOffscreen(int width, int height) {
    if (!StartOffscreenDisplay())
        DisplayFailure("could not start the offscreen display");
    if (CreateMainWindow(0, 0, 0, width, height, STYLE_CAPTION_SYSMENU, TITLE) == nullptr)
        DisplayFailure("could not open the offscreen surface");
    StartMainWindow();
}

bool displayPrepared = false;
} // namespace

void SetUpDisplay(DisplayKind kind, int width, int height) {
    if (kind == DisplayKind::Offscreen) {
        SetUpOffscreen(width, height);
        return;
    }
    BeforeFullscreenQuestion();
    OpenDisplayFor(
        MessageDialogMeanwhile(TITLE, FULLSCREEN_QUESTION, QUESTION_FLAGS, WhileQuestionIsUp));
}

void BeforeFullscreenQuestion() {
    // A display that cannot open a window is no reason to ask anything.
    if (!ProbeDisplay())
        DisplayFailure("could not open the display");
}

// Connecting to the display and loading the GL driver (half a second on
// llvmpipe) take the user's reading time instead of delaying the first frame
// after the answer.
void WhileQuestionIsUp() {
    displayPrepared = PrepareDisplay();
}

void OpenDisplayFor(int answer) {
    bool windowed = answer == DIALOG_NO;
    // Before the close request: a display that failed meanwhile may have
    // raised it to take the box down.
    if (!displayPrepared)
        DisplayFailure("could not open the display");
    // Interrupted while the question was up: nothing to show any more; the
    // runtime end releases what start-up has made so far.
    if (CloseRequested())
        EndProcess();
    Delay(QUESTION_SETTLE_MS);
    if (!windowed && !SwitchToFullScreen()) {
        NoticeDialog(TITLE, "Could not create fullscreen");
        EndProcess();
    }
    uint32_t style = windowed ? STYLE_CAPTION_SYSMENU : STYLE_POPUP;
    if (CreateMainWindow(0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, style, TITLE) == nullptr)
        DisplayFailure("could not open the window");
    if (!windowed)
        HideCursor();
    StartMainWindow();
}
