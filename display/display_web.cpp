// The display backend in a browser: the page's canvas (display_web.js) with a
// WebGL 1 context through emscripten/html5.h, under the fixed-function GL
// layer of webgl/. The page presents what was drawn when the animation frame
// ends, and full screen is the Fullscreen API's, asked for at the answer.
#include <emscripten/html5.h>
#include <string>

#include "display/display.h"
#include "display/display_backend.h"
#include "display/page_display.h"
#include "runtime/runtime.h"
#include "webgl/fixed_function.h"

extern "C" {
int BrumlakorWebGlAvailable();
void BrumlakorRequestFullScreen(void (*then)());
int BrumlakorFullScreenGranted();
void BrumlakorShowCanvas(int width, int height, int fullScreen, int hidden);
void BrumlakorOnPageLeft(void (*left)());
int BrumlakorTakeEvent(uint32_t *key);
int BrumlakorDrawableWidth();
int BrumlakorDrawableHeight();
void BrumlakorCloseDisplay();
}

const int QUESTION_FLAGS = DIALOG_FLAGS_YES_NO;

namespace {
constexpr const char *CANVAS = "#canvas";
// A token for the one window: the page has one canvas.
char canvasWindow[] = "canvas";
bool offscreen = false;
std::string lastError;
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
} // namespace

bool WindowSystemInReach() {
    return true;
}

void RegisterWindowTemplate() {}

bool ProbeDisplay() {
    if (BrumlakorWebGlAvailable() != 0)
        return true;
    lastError = "this browser gives the page no WebGL";
    return false;
}

bool PrepareDisplay() {
    return true;
}

bool StartOffscreenDisplay() {
    offscreen = true;
    return true;
}

void RequestFullScreenThen(void (*then)()) {
    BrumlakorRequestFullScreen(then);
}

void OnPageLeft(void (*left)()) {
    BrumlakorOnPageLeft(left);
}

bool SwitchToFullScreen() {
    return BrumlakorFullScreenGranted() != 0;
}

void *OpenWindow(int, int, int, int width, int height, WindowFrame frame, const char *) {
    BrumlakorShowCanvas(width, height, frame == WindowFrame::Borderless, offscreen);
    return canvasWindow;
}

void CloseWindow(void *) {}

// The full-screen canvas has no cursor from the start (display_web.js).
void HideCursor() {}

bool StartGlContext(void *) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;
    attributes.antialias = false;
    attributes.majorVersion = 1;
    // The capture reads frames back after they are presented.
    attributes.preserveDrawingBuffer = offscreen;
    context = emscripten_webgl_create_context(CANVAS, &attributes);
    if (context <= 0 ||
        emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        lastError = "the browser could not make a WebGL context on the canvas";
        return false;
    }
    // The effects' OpenGL 1.1 calls go through the layer on this context.
    std::string error;
    if (!StartFixedFunction(emscripten_webgl1_get_proc_address, error)) {
        lastError = "the WebGL context cannot draw the picture: " + error;
        return false;
    }
    return true;
}

DisplayEvent TakeEvent() {
    DisplayEvent taken;
    uint32_t key = 0;
    switch (BrumlakorTakeEvent(&key)) {
    case 1:
        taken.kind = EventKind::KeyDown;
        taken.key = key;
        break;
    case 2:
        taken.kind = EventKind::Close;
        break;
    case 3:
        taken.kind = EventKind::SizeChanged;
        break;
    default:
        return taken;
    }
    WindowProcedure(MainWindowHandle(0), taken);
    return taken;
}

// The page shows the drawing buffer when the animation frame returns.
void SwapFrame(void *) {}

void DrawableSize(void *, int &width, int &height) {
    width = BrumlakorDrawableWidth();
    height = BrumlakorDrawableHeight();
}

void CloseDisplay() {
    BrumlakorCloseDisplay();
    if (context > 0)
        emscripten_webgl_destroy_context(context);
    context = 0;
    offscreen = false;
}

std::string DisplayError() {
    return lastError;
}
