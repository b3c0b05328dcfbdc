// Starting the demo binary against a test X server and watching it end.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "tests/support/process.h" // NowMs
#include "tests/support/xserver.h"

struct DemoProcess {
    pid_t pid = -1;
    std::string tempDir;   // TMPDIR of the run: empty again after a clean end
    std::string errorFile; // its stderr
};

bool DemoBinaryBuilt();
// Starts the demo with DISPLAY set to the server (or unset when server is
// null) and extra environment entries ("NAME=value").
bool StartDemo(DemoProcess &demo, XServer *server, const std::vector<std::string> &extra = {});
// Waits up to timeoutMs for the demo to end; its exit code, -1 on timeout,
// 128 + signal when killed. Measures the wait in elapsedMs when given.
int WaitForExit(DemoProcess &demo, int timeoutMs, double *elapsedMs = nullptr);
// Kills a demo that is still running and removes its temp dir.
void CleanUp(DemoProcess &demo);
std::string ReadErrors(const DemoProcess &demo);
bool TempDirEmpty(const DemoProcess &demo);
// Processes still running the demo's executable (a dialog's helper too).
int RunningDemoProcesses();
// xdotool key --window ID key
bool SendKey(XServer &server, unsigned long window, const std::string &key);
double MillisecondsSince(double startMs);
