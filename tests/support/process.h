// Child processes and scratch files for tests that run the real programs:
// start one with its own environment and stderr file, wait for its end with a
// timeout, and read what it left behind. Part of `test_process`.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

double NowMs(); // monotonic
// A fresh directory /tmp/brumlakor-TAG-XXXXXX; the program aborts when none can be made.
std::string MakeTempDir(const std::string &tag);
std::string ReadFile(const std::string &path);
// Names in a directory (none when it does not exist).
std::vector<std::string> DirectoryEntries(const std::string &directory);

// Runs command under sh with stderr discarded: its exit status, -1 when it did not exit.
int ShellStatus(const std::string &command);
// Runs argv (argv[0] looked up in PATH) with the changes to the environment
// given as "NAME=value" (set) or "NAME" (unset); stderr goes to errorPath,
// stdout nowhere. The child dies with the test. Returns its pid, -1 on failure.
pid_t Spawn(const std::vector<std::string> &argv, const std::vector<std::string> &environment,
            const std::string &errorPath);
// Waits up to timeoutMs: the exit code, 128 + signal when killed, -1 on
// timeout (the process then still runs). elapsedMs gets the wait's length.
int WaitExit(pid_t pid, int timeoutMs, double *elapsedMs = nullptr);
// Live processes whose environment holds the entry (e.g. "TMPDIR=/tmp/x").
std::vector<pid_t> ProcessesWith(const std::string &entry);
