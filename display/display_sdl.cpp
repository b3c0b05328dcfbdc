// The display backend on SDL (X11 or Wayland, and SDL's offscreen driver for
// the capture tool and the tests).
#include <GL/gl.h>
#include <SDL.h>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "display/display.h"
#include "display/display_backend.h"
#include "display/lost_display.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

const int QUESTION_FLAGS = DIALOG_FLAGS_YES_NO;

namespace {
constexpr int REQUIRED_BYTES_PER_PIXEL = 4; // 32 bits per pixel
bool offscreen = false;

bool IsUserInput(uint32_t type) {
    return type >= SDL_KEYDOWN && type <= SDL_MOUSEWHEEL;
}

// Events the demo never looks at stay out of the queue: one event is taken
// per frame, so a stream of mouse moves would otherwise hold back Escape.
int KeepUsedEvents(void *, SDL_Event *event) {
    switch (event->type) {
    case SDL_QUIT:
    case SDL_KEYDOWN:
        return 1;
    case SDL_WINDOWEVENT:
        switch (event->window.event) {
        case SDL_WINDOWEVENT_CLOSE:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MINIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
            return 1;
        default:
            return 0;
        }
    default:
        return 0;
    }
}

// Only Escape carries KEY_ESCAPE; the other codes as DisplayEvent lists them.
uintptr_t KeyCode(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<uintptr_t>(key - SDLK_a + 'A');
    if ((key >= SDLK_0 && key <= SDLK_9) || key == SDLK_ESCAPE || key == SDLK_RETURN ||
        key == SDLK_SPACE || key == SDLK_TAB || key == SDLK_BACKSPACE)
        return static_cast<uintptr_t>(key);
    return 0;
}

bool Translate(const SDL_Event &event, DisplayEvent &out) {
    if (event.type == SDL_QUIT) {
        out.kind = EventKind::Close;
        return true;
    }
    if (event.type == SDL_KEYDOWN) {
        out.kind = EventKind::KeyDown;
        out.key = KeyCode(event.key.keysym.sym);
        return true;
    }
    if (event.type != SDL_WINDOWEVENT)
        return false;
    if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        out.kind = EventKind::Close;
        return true;
    }
    out.kind = EventKind::SizeChanged;
    out.minimized = event.window.event == SDL_WINDOWEVENT_MINIMIZED;
    return true;
}

// Starts SDL's video subsystem on the given driver (nullptr: SDL's choice)
// with the event filter that keeps unused events out of the queue.
bool StartVideo(const char *driver) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); // the demo handles its own signals
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (driver != nullptr)
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, driver, SDL_HINT_OVERRIDE);
    // The server can go away while SDL is still connecting (the user's
    // session ending during the question): watch from before the connection.
    bool onX11 =
        (driver == nullptr || SDL_strcmp(driver, "x11") == 0) && SDL_getenv("DISPLAY") != nullptr;
    if (onX11)
        WatchForLostDisplay();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    if (onX11 && SDL_strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0)
        WatchForLostDisplay(); // again, in case the driver installed its own
    SDL_SetEventFilter(KeepUsedEvents, nullptr);
    SDL_StopTextInput(); // no text events: the demo reads key presses only
    return true;
}

bool IsHeadlessDriver(const char *driver) {
    return driver == nullptr || SDL_strcmp(driver, "offscreen") == 0 ||
           SDL_strcmp(driver, "dummy") == 0;
}

bool InPath(const char *program) {
    const char *path = std::getenv("PATH");
    for (const char *from = path; from != nullptr && *from != '\0';) {
        const char *end = std::strchr(from, ':');
        std::string directory(from, end != nullptr ? end - from : std::strlen(from));
        if (access((directory + "/" + program).c_str(), X_OK) == 0)
            return true;
        from = end != nullptr ? end + 1 : nullptr;
    }
    return false;
}

// SDL's message boxes on Wayland need zenity. Without it X11 (XWayland) shows
// them, and the run goes there too, so that box and window share a server.
bool WaylandWithoutBoxes() {
    return SDL_strcmp(SDL_GetCurrentVideoDriver(), "wayland") == 0 && !InPath("zenity");
}

// The driver the run goes to: SDL's choice, or X11 for WaylandWithoutBoxes.
const char *runDriver = nullptr;

// Without a window system SDL would quietly pick a headless driver: a demo
// nobody can see or stop.
bool StartWindowSystem() {
    if (!StartVideo(runDriver))
        return false;
    if (IsHeadlessDriver(SDL_GetCurrentVideoDriver())) {
        SDL_SetError("no window system (DISPLAY or WAYLAND_DISPLAY) in reach");
        return false;
    }
    if (runDriver != nullptr || !WaylandWithoutBoxes())
        return true;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    runDriver = "x11";
    if (StartVideo(runDriver))
        return true;
    runDriver = "wayland"; // no X11 either: the boxes will say why they do not show
    return StartVideo(runDriver);
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
} // namespace

bool WindowSystemInReach() {
    const char *x11 = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 != nullptr && x11[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
}

// SDL makes each window afresh.
void RegisterWindowTemplate() {}

// The connection goes again: the box's process, forked next, must share none
// with the demo.
bool ProbeDisplay() {
    bool reached = StartWindowSystem();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return reached;
}

bool PrepareDisplay() {
    if (!StartWindowSystem())
        return false;
    SDL_GL_LoadLibrary(nullptr);
    if (DisplayRefusal()[0] == '\0')
        return true;
    SDL_SetError("%s", DisplayRefusal());
    return false;
}

bool StartOffscreenDisplay() {
    offscreen = StartVideo("offscreen");
    return offscreen;
}

// Full screen needs a real 640 x 480 x 32 mode; SDL's closest match falls
// back to whatever the display has, which would be a different screen. The
// switch itself comes with the borderless window.
bool SwitchToFullScreen() {
    SDL_DisplayMode wanted{SDL_PIXELFORMAT_RGB888, SCREEN_WIDTH, SCREEN_HEIGHT, 0, nullptr};
    SDL_DisplayMode closest{};
    if (SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr)
        return false;
    return closest.w == SCREEN_WIDTH && closest.h == SCREEN_HEIGHT &&
           SDL_BYTESPERPIXEL(closest.format) == REQUIRED_BYTES_PER_PIXEL;
}

// Asks for a 32-bit depth buffer and accepts 24 (most drivers offer no more).
// SDL has one window: the number is the window service's.
void *OpenWindow(int, int x, int y, int width, int height, WindowFrame frame, const char *title) {
    uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    if (offscreen)
        flags |= SDL_WINDOW_HIDDEN;
    if (frame == WindowFrame::Borderless)
        flags |= SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS;
    for (int depthBits : {32, 24}) {
        RequestPixelFormat(depthBits);
        SDL_Window *window = SDL_CreateWindow(title, x, y, width, height, flags);
        if (window != nullptr)
            return window;
    }
    return nullptr;
}

void CloseWindow(void *window) {
    if (!DisplayLost())
        SDL_DestroyWindow(static_cast<SDL_Window *>(window));
}

void HideCursor() {
    SDL_ShowCursor(SDL_DISABLE);
}

bool StartGlContext(void *window) {
    auto *sdlWindow = static_cast<SDL_Window *>(window);
    SDL_GLContext context = SDL_GL_CreateContext(sdlWindow);
    if (context == nullptr)
        return false;
    SDL_GL_MakeCurrent(sdlWindow, context);
    SDL_GL_SetSwapInterval(0); // the frame loop paces itself
    return true;
}

// While a box of the main thread is up the window takes no input (a box of
// the player's thread leaves it enabled). Events without a meaning, should
// one pass the filter, are not worth a frame.
DisplayEvent TakeEvent() {
    DisplayEvent taken;
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return taken;
    SDL_Event event;
    do {
        if (SDL_PollEvent(&event) == 0)
            return DisplayEvent{};
    } while ((DialogOpen() && IsUserInput(event.type)) || !Translate(event, taken));
    WindowProcedure(MainWindowHandle(0), taken);
    return taken;
}

void SwapFrame(void *window) {
    SDL_GL_SwapWindow(static_cast<SDL_Window *>(window));
}

void DrawableSize(void *window, int &width, int &height) {
    SDL_GL_GetDrawableSize(static_cast<SDL_Window *>(window), &width, &height);
}

// Leaving video restores the display mode that full screen changed.
void CloseDisplay() {
    if (!DisplayLost() && SDL_WasInit(SDL_INIT_VIDEO) != 0)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    offscreen = false;
}

std::string DisplayError() {
    return SDL_GetError();
}
