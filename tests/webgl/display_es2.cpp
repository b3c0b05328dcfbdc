// A display backend for the fixed-function layer's tests: an OpenGL ES 2.0
// context on an EGL pbuffer (Mesa's surfaceless platform, llvmpipe), with the
// layer started on it. Offscreen only: no window system, no events.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <dlfcn.h>

#include "display/display_backend.h"
#include "webgl/fixed_function.h"

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLConfig config = nullptr;
EGLSurface surface = EGL_NO_SURFACE;
int surfaceWidth = 0;
int surfaceHeight = 0;
std::string failure;

bool Fail(const std::string &why) {
    failure = why;
    return false;
}

// The library's own entry points, not the layer's of the same name.
void *Es2ProcAddress(const char *name) {
    static void *library = dlopen("libGLESv2.so.2", RTLD_NOW | RTLD_LOCAL);
    void *found = library != nullptr ? dlsym(library, name) : nullptr;
    return found != nullptr ? found : reinterpret_cast<void *>(eglGetProcAddress(name));
}

} // namespace

const int QUESTION_FLAGS = 4;

bool WindowSystemInReach() {
    return false;
}
void RegisterWindowTemplate() {}
bool ProbeDisplay() {
    return Fail("offscreen only");
}
bool PrepareDisplay() {
    return Fail("offscreen only");
}
bool SwitchToFullScreen() {
    return false;
}
void HideCursor() {}
DisplayEvent TakeEvent() {
    return DisplayEvent{};
}
void SwapFrame(void *) {}

bool StartOffscreenDisplay() {
    auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getDisplay == nullptr)
        return Fail("no eglGetPlatformDisplayEXT");
    display = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return Fail("no surfaceless EGL display");
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             EGL_PBUFFER_BIT,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_ES2_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_DEPTH_SIZE,
                             24,
                             EGL_NONE};
    EGLConfig configs[64];
    EGLint found = 0;
    eglChooseConfig(display, wanted, configs, 64, &found);
    // EGL lists deeper colour first; the desktop frames are 8 bits a channel.
    for (EGLint i = 0; i < found && config == nullptr; i++) {
        EGLint red = 0, alpha = 0;
        eglGetConfigAttrib(display, configs[i], EGL_RED_SIZE, &red);
        eglGetConfigAttrib(display, configs[i], EGL_ALPHA_SIZE, &alpha);
        if (red == 8 && alpha == 8)
            config = configs[i];
    }
    if (config == nullptr)
        return Fail("no ES 2.0 pbuffer configuration of 8 bits a channel");
    return true;
}

void *OpenWindow(int, int, int, int width, int height, WindowFrame, const char *) {
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface = eglCreatePbufferSurface(display, config, size);
    surfaceWidth = width;
    surfaceHeight = height;
    return surface == EGL_NO_SURFACE ? nullptr : surface;
}

void CloseWindow(void *) {
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(display, surface);
}

bool StartGlContext(void *) {
    const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 2, EGL_NONE};
    eglBindAPI(EGL_OPENGL_ES_API);
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
    if (context == EGL_NO_CONTEXT || !eglMakeCurrent(display, surface, surface, context))
        return Fail("no ES 2.0 context");
    return StartFixedFunction(Es2ProcAddress, failure);
}

void DrawableSize(void *, int &width, int &height) {
    width = surfaceWidth;
    height = surfaceHeight;
}

void CloseDisplay() {
    if (display != EGL_NO_DISPLAY)
        eglTerminate(display);
    display = EGL_NO_DISPLAY;
}

std::string DisplayError() {
    return failure;
}
