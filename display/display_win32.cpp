// The display backend on Win32: a template window class, the window
// procedure that hands every message to the window service, the display mode
// (ChangeDisplaySettings), WGL and one PeekMessage per poll.
#include <GL/gl.h>
#include <cstdio>
#include <string>
#include <windows.h>

#include "display/display.h"
#include "display/display_backend.h"
#include "runtime/runtime.h"

const int QUESTION_FLAGS = DIALOG_FLAGS_YES_NO | MB_ICONQUESTION;

HDC deviceContext = nullptr;

namespace {
constexpr const char *TEMPLATE_CLASS = "TemplateClass";
constexpr int ICON_RESOURCE = 1;
constexpr int FULL_SCREEN_BITS = 32;
constexpr BYTE COLOUR_BITS = 24;
constexpr BYTE DEPTH_BITS = 32;
bool displayModeChanged = false;
std::string failure;

// Keeps the reason of a failed job for DisplayError: the system's error code.
bool Failed() {
    failure = "error " + std::to_string(GetLastError());
    return false;
}

// The demo's own words for the messages it knows; every message keeps its
// own number and parameters, which the window service hands on unchanged.
DisplayEvent EventFor(UINT message, WPARAM wParam, LPARAM lParam) {
    DisplayEvent event;
    event.native = {message, wParam, lParam};
    switch (message) {
    case WM_KEYDOWN:
        event.kind = EventKind::KeyDown;
        event.key = wParam;
        break;
    case WM_CLOSE:
        event.kind = EventKind::Close;
        break;
    case WM_SIZE:
        event.kind = EventKind::SizeChanged;
        event.minimized = wParam == SIZE_MINIMIZED;
        break;
    default:
        event.kind = EventKind::Other;
    }
    return event;
}

// The service answers first (the hook, the close command); the rest is the
// platform's default processing.
LRESULT CALLBACK DemoWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    intptr_t handled = WindowProcedure(window, EventFor(message, wParam, lParam));
    if (handled != NOT_HANDLED)
        return handled;
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

// Double-buffered RGBA, 24 colour bits, a 32-bit depth buffer (the driver
// picks the closest it has); no alpha, accumulation or stencil.
PIXELFORMATDESCRIPTOR PixelFormatRequest() {
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = COLOUR_BITS;
    format.cDepthBits = DEPTH_BITS;
    format.iLayerType = PFD_MAIN_PLANE;
    return format;
}
} // namespace

bool WindowSystemInReach() {
    return true; // the desktop is always there
}

// With the executable's icon resource 1, which it does not carry: the class
// ends up without an icon.
void RegisterWindowTemplate() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA templateClass{};
    templateClass.style = CS_DBLCLKS;
    templateClass.lpfnWndProc = DemoWindowProcedure;
    templateClass.hInstance = instance;
    templateClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_RESOURCE));
    templateClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    templateClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    templateClass.lpszClassName = TEMPLATE_CLASS;
    RegisterClassA(&templateClass);
}

bool ProbeDisplay() {
    return true; // windows open on the desktop
}

// Asking the driver for its pixel formats loads and starts it.
bool PrepareDisplay() {
    HDC screen = GetDC(nullptr);
    PIXELFORMATDESCRIPTOR format = PixelFormatRequest();
    ChoosePixelFormat(screen, &format);
    ReleaseDC(nullptr, screen);
    return true;
}

bool StartOffscreenDisplay() {
    failure = "not available on this platform";
    return false;
}

// 640 x 480 x 32 for this run only (CDS_FULLSCREEN): the system undoes it when
// the process ends, and CloseDisplay does so at once.
bool SwitchToFullScreen() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmBitsPerPel = FULL_SCREEN_BITS;
    mode.dmPelsWidth = SCREEN_WIDTH;
    mode.dmPelsHeight = SCREEN_HEIGHT;
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
        return false;
    displayModeChanged = true;
    return true;
}

void *OpenWindow(int number, int x, int y, int width, int height, WindowFrame frame,
                 const char *title) {
    char className[32];
    if (!RegisterWindowClass(number, className)) {
        Failed();
        return nullptr;
    }
    DWORD style = (frame == WindowFrame::Borderless ? WS_POPUP : WS_CAPTION | WS_SYSMENU);
    style |= WS_VISIBLE;
    RECT outer{0, 0, width, height};
    AdjustWindowRect(&outer, style, FALSE);
    HWND window = CreateWindowExA(0, className, title, style, x, y, outer.right - outer.left,
                                  outer.bottom - outer.top, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr)
        Failed();
    return window;
}

void CloseWindow(void *window) {
    DestroyWindow(static_cast<HWND>(window));
}

void HideCursor() {
    ShowCursor(FALSE);
}

bool StartGlContext(void *window) {
    deviceContext = GetDC(static_cast<HWND>(window));
    PIXELFORMATDESCRIPTOR format = PixelFormatRequest();
    int index = ChoosePixelFormat(deviceContext, &format);
    if (index == 0 || !SetPixelFormat(deviceContext, index, &format))
        return Failed();
    HGLRC renderingContext = wglCreateContext(deviceContext);
    if (renderingContext == nullptr || !wglMakeCurrent(deviceContext, renderingContext))
        return Failed();
    return true;
}

// A message for the window reaches WindowProcedure through the dispatch.
DisplayEvent TakeEvent() {
    MSG message{};
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE) || message.message == 0)
        return DisplayEvent{};
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return EventFor(message.message, message.wParam, message.lParam);
}

void SwapFrame(void *) {
    SwapBuffers(deviceContext);
}

void DrawableSize(void *window, int &width, int &height) {
    RECT client{};
    GetClientRect(static_cast<HWND>(window), &client);
    width = client.right - client.left;
    height = client.bottom - client.top;
}

void CloseDisplay() {
    if (displayModeChanged)
        ChangeDisplaySettingsA(nullptr, 0); // back to the mode in the registry
    displayModeChanged = false;
}

std::string DisplayError() {
    return failure;
}
