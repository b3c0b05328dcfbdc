// Starting ffmpeg with pipes on chosen descriptors, and reading what it says.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

struct ChildDescriptor {
    int parentFd; // the descriptor in this process
    int childFd;  // the number it gets in the child
};

// Runs program (searched in PATH) with arguments, in a process group of its
// own so that the terminal's Ctrl+C reaches only this tool, which then ends
// the child's input cleanly. The child inherits no other descriptor of ours:
// the tool opens every file and pipe close-on-exec.
bool SpawnProgram(const std::string &program, const std::vector<std::string> &arguments,
                  const std::vector<ChildDescriptor> &descriptors, pid_t &pid, std::string &error);
// Waits for the child; "" when it exited with status 0, otherwise why not.
// With cpu, adds the processor time it used (all its threads) there.
std::string WaitProgram(pid_t pid, std::chrono::nanoseconds *cpu = nullptr);
// A pipe whose two ends are close-on-exec and numbered 10 or above (so that
// dup2 onto 0..3 in the child never meets an end already there).
bool MakePipe(int ends[2]);
// Reads what is available on fd into tail (keeping its last 4 KB); false at
// end of file.
bool ReadTail(int fd, std::string &tail);
// The last non-empty line of text.
std::string LastLine(const std::string &text);
