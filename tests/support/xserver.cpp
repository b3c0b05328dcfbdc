// Xvfb for end-to-end tests, and what the tests need to see of its windows.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/process.h"
#include "tests/support/xserver.h"

namespace {
Display *Connection(XServer &server) {
    return static_cast<Display *>(server.connection);
}

// WM_NAME in whatever encoding it was set (SDL's message boxes use UTF-8,
// which XFetchName would refuse); the demo's names are plain ASCII.
std::string WindowName(Display *display, Window window) {
    XTextProperty text{};
    std::string name;
    if (XGetWMName(display, window, &text) && text.value != nullptr)
        name.assign(reinterpret_cast<char *>(text.value), text.nitems);
    XFree(text.value);
    return name;
}

void Collect(Display *display, Window window, const std::string &name,
             std::vector<unsigned long> &found) {
    if (WindowName(display, window) == name)
        found.push_back(window);
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count))
        return;
    for (unsigned int i = 0; i < count; i++)
        Collect(display, children[i], name, found);
    if (children != nullptr)
        XFree(children);
}

// Windows of a process that just ended vanish under our feet; that is no error.
int IgnoreErrors(Display *, XErrorEvent *) {
    return 0;
}

} // namespace

bool StartXServer(XServer &server, const std::string &screen) {
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    // Xvfb writes its display number to the pipe once it accepts connections
    // (or ends, closing it).
    server.pid = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                        "-nolisten", "tcp", "-noreset"},
                       {}, "/dev/null");
    close(fds[1]);
    std::string number;
    for (char c; read(fds[0], &c, 1) == 1 && c != '\n';)
        number += c;
    close(fds[0]);
    server.display = ":" + number;
    if (number.empty()) {
        StopXServer(server);
        return false;
    }
    XSetErrorHandler(IgnoreErrors);
    server.connection = XOpenDisplay(server.display.c_str());
    return server.connection != nullptr;
}

void StopXServer(XServer &server) {
    if (server.connection != nullptr)
        XCloseDisplay(Connection(server));
    server.connection = nullptr;
    if (server.pid > 0) {
        kill(server.pid, SIGTERM);
        while (waitpid(server.pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    server.pid = -1;
}

std::vector<unsigned long> FindWindows(XServer &server, const std::string &name) {
    Display *display = Connection(server);
    std::vector<unsigned long> found;
    XSync(display, False);
    Collect(display, DefaultRootWindow(display), name, found);
    return found;
}

unsigned long WaitForWindow(XServer &server, const std::string &name, int timeoutMs, int classed) {
    double start = NowMs();
    do {
        for (unsigned long window : FindWindows(server, name)) {
            WindowGeometry geometry;
            XClassHint hint{};
            bool hasClass = XGetClassHint(Connection(server), window, &hint) != 0;
            XFree(hint.res_name);
            XFree(hint.res_class);
            if ((classed < 0 || classed == hasClass) &&
                GetWindowGeometry(server, window, geometry) && geometry.viewable)
                return window;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    } while (NowMs() - start < timeoutMs);
    return 0;
}

bool GetWindowGeometry(XServer &server, unsigned long window, WindowGeometry &geometry) {
    Display *display = Connection(server);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return false;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &geometry.x,
                          &geometry.y, &child);
    geometry.width = attributes.width;
    geometry.height = attributes.height;
    geometry.viewable = attributes.map_state == IsViewable;
    return true;
}

bool SendDeleteWindow(XServer &server, unsigned long window) {
    Display *display = Connection(server);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XFlush(display);
    return sent;
}

Image CaptureWindow(XServer &server, unsigned long window) {
    Display *display = Connection(server);
    XWindowAttributes attributes;
    XImage *shot = XGetWindowAttributes(display, window, &attributes)
                       ? XGetImage(display, window, 0, 0, attributes.width, attributes.height,
                                   AllPlanes, ZPixmap)
                       : nullptr;
    Image image;
    for (int y = 0; shot != nullptr && y < shot->height; y++)
        for (int x = 0; x < shot->width; x++) {
            unsigned long pixel = XGetPixel(shot, x, y);
            image.rgb.insert(image.rgb.end(),
                             {static_cast<uint8_t>((pixel & shot->red_mask) >> 16),
                              static_cast<uint8_t>((pixel & shot->green_mask) >> 8),
                              static_cast<uint8_t>(pixel & shot->blue_mask)});
        }
    if (shot != nullptr) {
        image.width = shot->width;
        image.height = shot->height;
        XDestroyImage(shot);
    }
    return image;
}

bool CursorHiddenAt(XServer &server, int x, int y) {
    Display *display = Connection(server);
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
    XSync(display, False);
    XFixesCursorImage *cursor = XFixesGetCursorImage(display);
    if (cursor == nullptr)
        return false;
    bool hidden = true;
    for (int i = 0; i < cursor->width * cursor->height; i++)
        if ((cursor->pixels[i] >> 24) != 0)
            hidden = false;
    XFree(cursor);
    return hidden;
}

int RunWithDisplay(XServer &server, const std::string &command) {
    std::string line = "DISPLAY=" + server.display + " " + command;
    return std::system(line.c_str());
}
