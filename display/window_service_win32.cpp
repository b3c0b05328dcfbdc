// Window service on Win32: a template window class, a small table of windows,
// the message hook, and an event poll that takes at most one message per call
// (one PeekMessage) and hands the frame loop what it found.
#include <atomic>
#include <cstdio>
#include <windows.h>

#include "display/display.h"
#include "display/window_win32.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

namespace {
constexpr int WINDOW_SLOTS = 10;
constexpr const char *TEMPLATE_CLASS = "TemplateClass";
constexpr int ICON_RESOURCE = 1;
HWND windows[WINDOW_SLOTS];
MessageHook messageHook = nullptr;
std::atomic<uintptr_t> lastMessageParam{0};
// An event the window procedure recorded, kept until a poll reports it: a
// close sent to the window outside the poll (during a present) is not lost.
uint32_t recordedEvent = 0;
bool displayModeChanged = false;

// The service's window procedure: the wParam is kept, the hook goes first,
// then the close command is recorded and answered without destroying the
// window (the runtime end does that).
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    lastMessageParam.store(wParam, std::memory_order_relaxed);
    if (messageHook != nullptr) {
        intptr_t handled = messageHook(window, message, wParam, lParam);
        if (handled != NOT_HANDLED)
            return handled;
    }
    if (message == WM_CLOSE) {
        recordedEvent = EVENT_CLOSE;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The window class for window number, made from the template class.
bool RegisterWindowClass(int number, char (&name)[32]) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    if (!GetClassInfoA(instance, TEMPLATE_CLASS, &windowClass))
        return false;
    std::snprintf(name, sizeof name, "WindowClass_%ld", static_cast<long>(number));
    windowClass.lpszClassName = name;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
} // namespace

void WindowServiceStart() {
    for (HWND &window : windows)
        window = nullptr;
    messageHook = nullptr;
    recordedEvent = 0;
    lastMessageParam.store(0, std::memory_order_relaxed);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA templateClass{};
    templateClass.style = CS_DBLCLKS;
    templateClass.lpfnWndProc = WindowProcedure;
    templateClass.hInstance = instance;
    templateClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_RESOURCE));
    templateClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    templateClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    templateClass.lpszClassName = TEMPLATE_CLASS;
    RegisterClassA(&templateClass);
    AtRuntimeEnd(WindowServiceEnd);
}

void WindowServiceEnd() {
    for (HWND &window : windows) {
        if (window != nullptr)
            DestroyWindow(window);
        window = nullptr;
    }
    if (displayModeChanged)
        ChangeDisplaySettingsA(nullptr, 0); // back to the mode in the registry
    displayModeChanged = false;
}

HWND CreateMainWindow(int number, int x, int y, int width, int height, DWORD style,
                      const char *title) {
    char className[32];
    if (number < 0 || number >= WINDOW_SLOTS || !RegisterWindowClass(number, className))
        return nullptr;
    style |= WS_VISIBLE;
    RECT outer{0, 0, width, height};
    AdjustWindowRect(&outer, style, FALSE);
    HWND window = CreateWindowExA(0, className, title, style, x, y, outer.right - outer.left,
                                  outer.bottom - outer.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr)
        return nullptr;
    if (windows[number] != nullptr)
        DestroyWindow(windows[number]);
    windows[number] = window;
    return window;
}

void NoteDisplayModeChanged() {
    displayModeChanged = true;
}

void SetMessageHook(MessageHook hook) {
    messageHook = hook;
}

void *MainWindowHandle(int number) {
    return number >= 0 && number < WINDOW_SLOTS ? windows[number] : nullptr;
}

int ClientAreaWidth() {
    RECT client{};
    if (windows[0] != nullptr)
        GetClientRect(windows[0], &client);
    return client.right - client.left;
}

int ClientAreaHeight() {
    RECT client{};
    if (windows[0] != nullptr)
        GetClientRect(windows[0], &client);
    return client.bottom - client.top;
}

uint32_t PollEvent() {
    if (CloseRequested()) {
        lastMessageParam.store(0, std::memory_order_relaxed);
        return EVENT_CLOSE;
    }
    MSG message{};
    if (recordedEvent == 0 && !PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        return 0;
    if (message.message != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        // A message for no window never reaches the window procedure.
        if (message.hwnd == nullptr)
            lastMessageParam.store(message.wParam, std::memory_order_relaxed);
    }
    uint32_t event = recordedEvent;
    recordedEvent = 0;
    return event != 0 ? event : message.message;
}

uintptr_t LastMessageParam() {
    return lastMessageParam.load(std::memory_order_relaxed);
}

void RequestClose() {
    RaiseCloseRequest();
}
