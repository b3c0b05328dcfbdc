// Window service on SDL: a small table of windows, the message hook, and an
// event poll that hands the frame loop at most one event per call.
#include <SDL.h>
#include <atomic>

#include "display/display.h"
#include "display/window_service.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
constexpr int WINDOW_SLOTS = 10;
SDL_Window *windows[WINDOW_SLOTS];
MessageHook messageHook = nullptr;
std::atomic<uintptr_t> lastMessageParam{0};

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

// Key codes as the demo's window procedure sees them: only Escape carries 27.
uintptr_t VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z)
        return static_cast<uintptr_t>(key - SDLK_a + 'A');
    if ((key >= SDLK_0 && key <= SDLK_9) || key == SDLK_ESCAPE || key == SDLK_RETURN ||
        key == SDLK_SPACE || key == SDLK_TAB || key == SDLK_BACKSPACE)
        return static_cast<uintptr_t>(key);
    return 0;
}

intptr_t PackSize(int width, int height) {
    return static_cast<intptr_t>((static_cast<uint32_t>(height & 0xFFFF) << 16) |
                                 static_cast<uint32_t>(width & 0xFFFF));
}

struct Message {
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

bool Translate(const SDL_Event &event, Message &out) {
    if (event.type == SDL_QUIT) {
        out = {MESSAGE_CLOSE, 0, 0};
        return true;
    }
    if (event.type == SDL_KEYDOWN) {
        out = {EVENT_KEY_DOWN, VirtualKey(event.key.keysym.sym),
               static_cast<intptr_t>(event.key.keysym.scancode) << 16 | 1};
        return true;
    }
    if (event.type != SDL_WINDOWEVENT)
        return false;
    if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        out = {MESSAGE_CLOSE, 0, 0};
        return true;
    }
    uintptr_t kind =
        event.window.event == SDL_WINDOWEVENT_MINIMIZED ? SIZE_MINIMIZED : SIZE_RESTORED;
    out = {MESSAGE_SIZE, kind, PackSize(ClientAreaWidth(), ClientAreaHeight())};
    return true;
}

// The service's window procedure: the hook first, then the close command.
// Returns the event it recorded, or 0.
uint32_t WindowProcedure(const Message &message) {
    lastMessageParam.store(message.wParam, std::memory_order_relaxed);
    if (messageHook != nullptr &&
        messageHook(windows[0], message.message, message.wParam, message.lParam) != NOT_HANDLED)
        return 0;
    // The close command is only recorded: the window stays until the runtime end.
    return message.message == MESSAGE_CLOSE ? EVENT_CLOSE : 0;
}
} // namespace

void WindowServiceStart() {
    for (SDL_Window *&window : windows)
        window = nullptr;
    messageHook = nullptr;
    lastMessageParam.store(0, std::memory_order_relaxed);
    AtRuntimeEnd(WindowServiceEnd);
}

void WindowServiceEnd() {
    if (DisplayLost()) {
        for (SDL_Window *&window : windows)
            window = nullptr;
        return;
    }
    for (SDL_Window *&window : windows) {
        if (window != nullptr)
            SDL_DestroyWindow(window);
        window = nullptr;
    }
    // Leaving video restores the display mode that full screen changed.
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool StartVideo(const char *driver) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); // the demo handles its own signals
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    if (driver != nullptr)
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, driver, SDL_HINT_OVERRIDE);
    // The server can go away while SDL is still connecting (the user's
    // session ending during the question): watch from before the connection.
    bool onX11 = driver == nullptr && SDL_getenv("DISPLAY") != nullptr;
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

SDL_Window *CreateMainWindow(int number, int x, int y, int width, int height, uint32_t style,
                             const char *title, uint32_t extraFlags) {
    if (number < 0 || number >= WINDOW_SLOTS)
        return nullptr;
    uint32_t flags = extraFlags | SDL_WINDOW_ALLOW_HIGHDPI;
    if (style & STYLE_POPUP)
        flags |= SDL_WINDOW_FULLSCREEN | SDL_WINDOW_BORDERLESS;
    SDL_Window *window = SDL_CreateWindow(title, x, y, width, height, flags);
    if (window == nullptr)
        return nullptr;
    if (windows[number] != nullptr)
        SDL_DestroyWindow(windows[number]);
    windows[number] = window;
    return window;
}

void SetMessageHook(MessageHook hook) {
    messageHook = hook;
}

void *MainWindowHandle(int number) {
    return number >= 0 && number < WINDOW_SLOTS ? windows[number] : nullptr;
}

// The GL drawable's size in pixels, which differs from the window's size in
// screen units on scaled (HiDPI) screens.
int ClientAreaWidth() {
    int width = 0;
    if (windows[0] != nullptr)
        SDL_GL_GetDrawableSize(windows[0], &width, nullptr);
    return width;
}

int ClientAreaHeight() {
    int height = 0;
    if (windows[0] != nullptr)
        SDL_GL_GetDrawableSize(windows[0], nullptr, &height);
    return height;
}

uint32_t PollEvent() {
    if (CloseRequested()) {
        lastMessageParam.store(0, std::memory_order_relaxed);
        return EVENT_CLOSE;
    }
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return 0;
    SDL_Event event;
    Message message{};
    do {
        if (SDL_PollEvent(&event) == 0)
            return 0;
        // Events without a message (should one pass the filter) are not
        // worth a frame; while a box of the main thread is up the window
        // takes no input (a box of the player's thread leaves it enabled).
    } while ((DialogOpen() && IsUserInput(event.type)) || !Translate(event, message));
    uint32_t recorded = WindowProcedure(message);
    return recorded != 0 ? recorded : message.message;
}

uintptr_t LastMessageParam() {
    return lastMessageParam.load(std::memory_order_relaxed);
}

void RequestClose() {
    RaiseCloseRequest();
}
