// Progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

struct Progress {
    bool enabled = false;
    int64_t total = 0; // frames to simulate, written or not
    std::chrono::steady_clock::time_point started;
    std::chrono::steady_clock::time_point lastDrawn;
};

void ProgressStart(Progress &progress, int64_t total, bool enabled);
// Redraws at most five times a second (and always for the last frame).
void ProgressUpdate(Progress &progress, int64_t done);
// Clears the bar's line.
void ProgressEnd(Progress &progress);
// The bar's text: frames done, speed as a multiple of real time, time left.
std::string ProgressText(int64_t done, int64_t total, double wallSeconds);
