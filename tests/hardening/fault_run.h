// One run of the demo binary under a fault: its own temp directory, the frame
// probe preloaded, optional extra environment and a wrapper command (a mount
// namespace that breaks something), and what the probe saw.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

#include "tests/support/xserver.h"

struct FaultRun {
    pid_t pid = -1;
    std::string workDir;   // removed by CleanUpRun
    std::string tempDir;   // TMPDIR of the run (inside workDir unless given)
    std::string errorFile; // its stderr
    std::string probeLog;
};

struct RunSetup {
    std::vector<std::string> environment; // "NAME=value"
    std::vector<std::string> wrapper;     // argv before the binary, e.g. unshare
    std::string tempDir;                  // "" for a fresh one
    long fileSizeLimit = -1;              // RLIMIT_FSIZE in bytes, -1 for none
};

// A fresh directory under /tmp (mkdtemp), "" on failure.
std::string MakeWorkDir(const std::string &tag);
bool StartRun(FaultRun &run, XServer &server, const RunSetup &setup = {});
// Exit code, -1 on timeout, 128 + signal when killed.
int WaitForRunExit(FaultRun &run, int timeoutMs, double *elapsedMs = nullptr);
// Processes still running with the run's TMPDIR (a box's helper too).
std::vector<pid_t> ProcessesOfRun(const FaultRun &run);
// Kills the run and whatever it left running, removes its directory.
void CleanUpRun(FaultRun &run);
std::string RunErrors(const FaultRun &run);
// Names left in a directory.
std::vector<std::string> DirectoryEntries(const std::string &directory);

// What the probe saw: every presented frame of the loop (the swap that
// SetUpDisplay makes before the loop carries sceneMask 0 and is left out;
// frame 1 is the loop's first) and every message box.
struct ProbedFrame {
    int number = 0; // from 1
    double ms = 0;  // monotonic, as NowMs()
    uint32_t sceneMask = 0;
};
struct ProbeRecord {
    std::vector<ProbedFrame> frames;
    std::vector<std::string> boxes; // "caption|text"
};
ProbeRecord ReadProbe(const FaultRun &run);
// The first frame at or after frame `from` whose sceneMask equals mask, or null.
const ProbedFrame *FirstFrameWithMask(const ProbeRecord &record, uint32_t mask, int from = 1);
// Waits until the probe has seen a frame with the mask (or the timeout).
bool WaitForMask(const FaultRun &run, uint32_t mask, int timeoutMs);
bool WaitForFrames(const FaultRun &run, int frames, int timeoutMs);

// The offset of sceneMask in the demo executable (from its symbol table), hex.
std::string SceneMaskOffset();

// Windows named name whose WM_CLASS is set (the demo's own window, not a box).
unsigned long WaitForDemoWindow(XServer &server, int timeoutMs);
// Windows named name with no WM_CLASS (message boxes), viewable.
std::vector<unsigned long> ViewableBoxes(XServer &server, const std::string &name);
// Ends the X server abruptly (SIGKILL), closing this process's connection
// first so that Xlib does not end the test with it.
void KillXServer(XServer &server);
bool PressKey(XServer &server, unsigned long window, const std::string &key);
double NowMilliseconds();
