// SetUpDisplay on SDL: the "Fullscreen" question, the display mode, the
// window and its OpenGL context; and the presentation of each frame.
#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>

#include "display/display.h"
#include "display/window_service.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

SDL_Window *mainWindow = nullptr;
SDL_GLContext renderingContext = nullptr;

namespace {
constexpr const char *TITLE = "Brumlakor";
constexpr uint32_t QUESTION_SETTLE_MS = 50;
constexpr int REQUIRED_BYTES_PER_PIXEL = 4; // 32 bits per pixel

// The display cannot be used at all: the demo must not run without a
// picture, so it says why and ends with a failure code.
[[noreturn]] void DisplayFailure(const char *what) {
    std::fprintf(stderr, "brumlakor: %s: %s\n", what, SDL_GetError());
    RuntimeEnd();
    std::fflush(nullptr);
    std::exit(1);
}

// Colour and depth as the demo asks for them: double-buffered RGBA with at
// least 8 bits per colour, a compatibility (fixed-function) context.
void RequestPixelFormat(int depthBits) {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

// Asks for a 32-bit depth buffer and accepts 24 (most drivers offer no more).
SDL_Window *OpenGlWindow(int width, int height, uint32_t style, uint32_t flags) {
    for (int depthBits : {32, 24}) {
        RequestPixelFormat(depthBits);
        SDL_Window *window = CreateMainWindow(0, 0, 0, width, height, style, TITLE, flags);
        if (window != nullptr)
            return window;
    }
    return nullptr;
}

// Full screen needs a real 640 x 480 x 32 mode; SDL's closest match falls
// back to whatever the display has, which would be a different screen.
bool FullScreenModeAvailable() {
    SDL_DisplayMode wanted{SDL_PIXELFORMAT_RGB888, SCREEN_WIDTH, SCREEN_HEIGHT, 0, nullptr};
    SDL_DisplayMode closest{};
    if (SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr)
        return false;
    return closest.w == SCREEN_WIDTH && closest.h == SCREEN_HEIGHT &&
           SDL_BYTESPERPIXEL(closest.format) == REQUIRED_BYTES_PER_PIXEL;
}

void StartContext() {
    renderingContext = SDL_GL_CreateContext(mainWindow);
    if (renderingContext == nullptr)
        DisplayFailure("could not create an OpenGL context");
    SDL_GL_MakeCurrent(mainWindow, renderingContext);
    SDL_GL_SetSwapInterval(0); // the frame loop paces itself
    SDL_GL_SwapWindow(mainWindow);
}

void SetUpOffscreen(int width, int height) {
    if (!StartVideo("offscreen"))
        DisplayFailure("could not start the offscreen display");
    mainWindow =
        OpenGlWindow(width, height, STYLE_CAPTION_SYSMENU, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (mainWindow == nullptr)
        DisplayFailure("could not open the offscreen surface");
    SetMessageHook(ViewportOnResize);
    StartContext();
}

// Runs while the question is up: connecting to the display and loading the
// GL driver (half a second on llvmpipe) take the user's reading time instead
// of delaying the first frame after the answer.
bool videoReady = false;
void PrepareVideo() {
    videoReady = StartVideo(nullptr);
    if (videoReady)
        SDL_GL_LoadLibrary(nullptr);
}

bool IsHeadlessDriver(const char *driver) {
    return driver == nullptr || SDL_strcmp(driver, "offscreen") == 0 ||
           SDL_strcmp(driver, "dummy") == 0;
}
} // namespace

void SetUpDisplay(DisplayKind kind, int width, int height) {
    if (kind == DisplayKind::Offscreen) {
        SetUpOffscreen(width, height);
        return;
    }
    bool windowed =
        MessageDialogMeanwhile(TITLE, "Fullscreen", DIALOG_FLAGS_YES_NO, PrepareVideo) == DIALOG_NO;
    // Interrupted while the question was up: nothing to show any more; the
    // runtime end releases what start-up has made so far.
    if (CloseRequested())
        EndProcess();
    Delay(QUESTION_SETTLE_MS);
    if (!videoReady)
        DisplayFailure("could not open the display");
    if (IsHeadlessDriver(SDL_GetCurrentVideoDriver())) {
        SDL_SetError("no window system (DISPLAY or WAYLAND_DISPLAY) in reach");
        DisplayFailure("this demo needs a display");
    }
    if (!windowed && !FullScreenModeAvailable()) {
        NoticeDialog(TITLE, "Could not create fullscreen");
        EndProcess();
    }
    uint32_t style = windowed ? STYLE_CAPTION_SYSMENU : STYLE_POPUP;
    mainWindow = OpenGlWindow(SCREEN_WIDTH, SCREEN_HEIGHT, style, SDL_WINDOW_OPENGL);
    if (mainWindow == nullptr)
        DisplayFailure("could not open the window");
    if (!windowed)
        SDL_ShowCursor(SDL_DISABLE);
    SetMessageHook(ViewportOnResize);
    StartContext();
}

void PresentFrame() {
    glFlush();
    SDL_GL_SwapWindow(mainWindow);
}
