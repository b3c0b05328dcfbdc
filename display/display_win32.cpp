// SetUpDisplay on Win32: the "Fullscreen" question, the display mode
// (ChangeDisplaySettings), the window and its WGL context; and the
// presentation of each frame (SwapBuffers).
#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <windows.h>

#include "display/display.h"
#include "display/window_win32.h"
#include "runtime/internal.h"
#include "runtime/runtime.h"

HWND mainWindow = nullptr;
HDC deviceContext = nullptr;

namespace {
constexpr const char *TITLE = "Brumlakor";
constexpr uint32_t QUESTION_SETTLE_MS = 50;
constexpr int FULL_SCREEN_BITS = 32;
constexpr BYTE COLOUR_BITS = 24;
constexpr BYTE DEPTH_BITS = 32;

// The display cannot be used at all: the demo must not run without a
// picture, so it says why and ends with a failure code.
[[noreturn]] void DisplayFailure(const char *what) {
    std::fprintf(stderr, "brumlakor: %s (error %lu)\n", what, GetLastError());
    RuntimeEnd();
    std::fflush(nullptr);
    std::exit(1);
}

// 640 x 480 x 32 for this run only (CDS_FULLSCREEN): the system undoes it when
// the process ends, and the window service's end does so at once.
bool SetFullScreenMode() {
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmBitsPerPel = FULL_SCREEN_BITS;
    mode.dmPelsWidth = SCREEN_WIDTH;
    mode.dmPelsHeight = SCREEN_HEIGHT;
    if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL)
        return false;
    NoteDisplayModeChanged();
    return true;
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

void StartContext() {
    PIXELFORMATDESCRIPTOR format = PixelFormatRequest();
    int index = ChoosePixelFormat(deviceContext, &format);
    if (index == 0 || !SetPixelFormat(deviceContext, index, &format))
        DisplayFailure("no OpenGL pixel format for the window");
    HGLRC renderingContext = wglCreateContext(deviceContext);
    if (renderingContext == nullptr || !wglMakeCurrent(deviceContext, renderingContext))
        DisplayFailure("could not create an OpenGL context");
    SwapBuffers(deviceContext);
}

// Runs while the question is up: asking the driver for its pixel formats
// loads and starts it, which takes the user's reading time instead of
// delaying the first frame after the answer.
void PrepareGl() {
    HDC screen = GetDC(nullptr);
    PIXELFORMATDESCRIPTOR format = PixelFormatRequest();
    ChoosePixelFormat(screen, &format);
    ReleaseDC(nullptr, screen);
}
} // namespace

void SetUpDisplay(DisplayKind kind, int, int) {
    if (kind == DisplayKind::Offscreen) {
        SetLastError(ERROR_NOT_SUPPORTED);
        DisplayFailure("offscreen rendering is not available on this platform");
    }
    int answer = MessageDialogMeanwhile(TITLE, "Fullscreen", DIALOG_FLAGS_YES_NO | MB_ICONQUESTION,
                                        PrepareGl);
    bool windowed = answer == DIALOG_NO;
    // Interrupted while the question was up: nothing to show any more; the
    // runtime end releases what start-up has made so far.
    if (CloseRequested())
        EndProcess();
    Delay(QUESTION_SETTLE_MS);
    if (!windowed && !SetFullScreenMode()) {
        NoticeDialog(TITLE, "Could not create fullscreen");
        EndProcess();
    }
    DWORD style = windowed ? WS_CAPTION | WS_SYSMENU : WS_POPUP;
    if (CreateMainWindow(0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, style, TITLE) == nullptr)
        DisplayFailure("could not open the window");
    if (!windowed)
        ShowCursor(FALSE);
    SetMessageHook(ViewportOnResize);
    mainWindow = static_cast<HWND>(MainWindowHandle(0));
    deviceContext = GetDC(mainWindow);
    StartContext();
}

void PresentFrame() {
    glFlush();
    SwapBuffers(deviceContext);
}
