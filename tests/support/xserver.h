// End-to-end test support: a private virtual X server (Xvfb), the demo's
// windows as X sees them, the close command as the window manager sends it,
// and screen read-back. Link the target `test_support_x11`.
//
//     XServer server;
//     ASSERT_TRUE(StartXServer(server, "640x480x24"));   // DISPLAY for children
//     unsigned long box = WaitForWindow(server, "Brumlakor", 5000);
//     ...
//     StopXServer(server);
//
// Windows are found by their WM_NAME, in whatever encoding it was set.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "tests/support/image.h"

struct XServer {
    pid_t pid = -1;
    std::string display; // ":N"
    void *connection = nullptr;
};

// Starts Xvfb on a free display number with one screen of the given
// geometry (WIDTHxHEIGHTxDEPTH); its only mode is that size.
bool StartXServer(XServer &server, const std::string &screen);
void StopXServer(XServer &server);

// All windows (any depth below the root) whose name equals name, mapped or not.
std::vector<unsigned long> FindWindows(XServer &server, const std::string &name);
// The first viewable window named name, waiting up to timeoutMs; 0 if none.
// classed 1 takes only windows with a WM_CLASS (SDL's windows), 0 only those
// without (its message boxes), -1 either.
unsigned long WaitForWindow(XServer &server, const std::string &name, int timeoutMs,
                            int classed = -1);

struct WindowGeometry {
    int x = 0; // of the window's top-left corner on the root window
    int y = 0;
    int width = 0;
    int height = 0;
    bool viewable = false;
};
bool GetWindowGeometry(XServer &server, unsigned long window, WindowGeometry &geometry);

// The close command as a window manager sends it: WM_PROTOCOLS/WM_DELETE_WINDOW.
bool SendDeleteWindow(XServer &server, unsigned long window);

// One window's part of the screen (rows top first).
Image CaptureWindow(XServer &server, unsigned long window);

// True when the pointer's cursor is fully transparent (hidden) at (x, y).
bool CursorHiddenAt(XServer &server, int x, int y);

// Runs a command with DISPLAY set to the server; returns its exit status.
int RunWithDisplay(XServer &server, const std::string &command);
