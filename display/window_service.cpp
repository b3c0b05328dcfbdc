// The window service on the platform backend: a small table of windows, the
// message hook, and an event poll that hands the frame loop at most one event
// per call. Events become messages here, and only here.
#include <atomic>

#include "display/display_backend.h"
#include "display/window_service.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
constexpr int WINDOW_SLOTS = 10;
constexpr uintptr_t SIZE_RESTORED = 0, SIZE_MINIMIZED = 1; // wParam of MESSAGE_SIZE
void *windows[WINDOW_SLOTS];
MessageHook messageHook = nullptr;
std::atomic<uintptr_t> lastMessageParam{0};
// An event the window procedure recorded, kept until a poll reports it: a
// close sent to the window outside the poll (during a present) is not lost.
uint32_t recordedEvent = 0;
// Set by the window procedure: the event that a poll took reached it.
bool procedureRan = false;

struct Message {
    uint32_t number;
    uintptr_t wParam;
    intptr_t lParam;
};

intptr_t PackSize(int width, int height) {
    return static_cast<intptr_t>((static_cast<uint32_t>(height & 0xFFFF) << 16) |
                                 static_cast<uint32_t>(width & 0xFFFF));
}

// The platform's own message where it has one; otherwise the one the demo's
// window procedure would have received.
Message MessageFor(const DisplayEvent &event) {
    if (event.native.number != 0 || event.kind == EventKind::Other)
        return {event.native.number, event.native.first, event.native.second};
    switch (event.kind) {
    case EventKind::KeyDown:
        return {EVENT_KEY_DOWN, event.key, 1}; // a repeat count of 1
    case EventKind::Close:
        return {MESSAGE_CLOSE, 0, 0};
    case EventKind::SizeChanged:
        return {MESSAGE_SIZE, event.minimized ? SIZE_MINIMIZED : SIZE_RESTORED,
                PackSize(ClientAreaWidth(), ClientAreaHeight())};
    default:
        return {0, 0, 0}; // Nothing
    }
}

WindowFrame FrameFor(uint32_t style) {
    return (style & STYLE_POPUP) != 0 ? WindowFrame::Borderless : WindowFrame::Titled;
}
} // namespace

// The wParam is kept, the hook goes first, then the close command is recorded
// and answered without destroying the window (the runtime end does that).
intptr_t WindowProcedure(void *window, const DisplayEvent &event) {
    procedureRan = true;
    Message message = MessageFor(event);
    lastMessageParam.store(message.wParam, std::memory_order_relaxed);
    if (messageHook != nullptr) {
        intptr_t handled = messageHook(window, message.number, message.wParam, message.lParam);
        if (handled != NOT_HANDLED)
            return handled;
    }
    if (event.kind != EventKind::Close)
        return NOT_HANDLED;
    recordedEvent = EVENT_CLOSE;
    return 0;
}

void WindowServiceStart() {
    for (void *&window : windows)
        window = nullptr;
    messageHook = nullptr;
    recordedEvent = 0;
    lastMessageParam.store(0, std::memory_order_relaxed);
    RegisterWindowTemplate();
    AtRuntimeEnd(WindowServiceEnd);
}

void WindowServiceEnd() {
    for (void *&window : windows) {
        if (window != nullptr)
            CloseWindow(window);
        window = nullptr;
    }
    CloseDisplay();
}

void *CreateMainWindow(int number, int x, int y, int width, int height, uint32_t style,
                       const char *title) {
    if (number < 0 || number >= WINDOW_SLOTS)
        return nullptr;
    void *window = OpenWindow(number, x, y, width, height, FrameFor(style), title);
    if (window == nullptr)
        return nullptr;
    if (windows[number] != nullptr)
        CloseWindow(windows[number]);
    windows[number] = window;
    return window;
}

void SetMessageHook(MessageHook hook) {
    messageHook = hook;
}

void *MainWindowHandle(int number) {
    return number >= 0 && number < WINDOW_SLOTS ? windows[number] : nullptr;
}

int ClientAreaWidth() {
    int width = 0, height = 0;
    if (windows[0] != nullptr)
        DrawableSize(windows[0], width, height);
    return width;
}

int ClientAreaHeight() {
    int width = 0, height = 0;
    if (windows[0] != nullptr)
        DrawableSize(windows[0], width, height);
    return height;
}

uint32_t PollEvent() {
    if (CloseRequested()) {
        lastMessageParam.store(0, std::memory_order_relaxed);
        return EVENT_CLOSE;
    }
    if (recordedEvent == 0) {
        procedureRan = false;
        DisplayEvent event = TakeEvent();
        if (event.kind == EventKind::Nothing)
            return 0;
        Message message = MessageFor(event);
        // A message for no window never reaches the window procedure.
        if (!procedureRan)
            lastMessageParam.store(message.wParam, std::memory_order_relaxed);
        if (recordedEvent == 0)
            return message.number;
    }
    uint32_t event = recordedEvent;
    recordedEvent = 0;
    return event;
}

uintptr_t LastMessageParam() {
    return lastMessageParam.load(std::memory_order_relaxed);
}

void RequestClose() {
    RaiseCloseRequest();
}
