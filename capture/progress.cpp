// Progress bar: frames done, speed as a multiple of real time, time left.
#include "capture/progress.h"

#include "capture/options.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr int BAR_WIDTH = 30;

double Seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

} // namespace

std::string ProgressText(int64_t done, int64_t total, double wallSeconds) {
    int filled = total > 0 ? static_cast<int>(done * BAR_WIDTH / total) : BAR_WIDTH;
    filled = std::clamp(filled, 0, BAR_WIDTH);
    // Filled in place: one string of fixed length, no concatenation (GCC 12
    // at -O3 warns falsely about overlapping copies in chains of operator+).
    std::string bar(BAR_WIDTH + 2, ' ');
    bar.front() = '[';
    bar.replace(1, static_cast<size_t>(filled), static_cast<size_t>(filled), '#');
    bar.back() = ']';
    double speed = wallSeconds > 0 ? done / double(CAPTURE_FPS) / wallSeconds : 0;
    char text[160];
    if (done == 0 || speed <= 0) {
        snprintf(text, sizeof text, "%s %lld/%lld frames", bar.c_str(), (long long)done,
                 (long long)total);
        return text;
    }
    double left = (total - done) / double(CAPTURE_FPS) / speed;
    long long leftSeconds = std::llround(left);
    snprintf(text, sizeof text, "%s %lld/%lld frames  %.2fx real time  %lld:%02lld left",
             bar.c_str(), (long long)done, (long long)total, speed, leftSeconds / 60,
             leftSeconds % 60);
    return text;
}

void ProgressStart(Progress &progress, int64_t total, bool enabled) {
    progress.enabled = enabled;
    progress.total = total;
    progress.started = std::chrono::steady_clock::now();
    progress.lastDrawn = progress.started;
}

void ProgressUpdate(Progress &progress, int64_t done) {
    if (!progress.enabled)
        return;
    auto now = std::chrono::steady_clock::now();
    if (done < progress.total && Seconds(now - progress.lastDrawn) < 0.2)
        return;
    progress.lastDrawn = now;
    std::string text = ProgressText(done, progress.total, Seconds(now - progress.started));
    fprintf(stderr, "\r%s\033[K", text.c_str());
}

void ProgressEnd(Progress &progress) {
    if (progress.enabled)
        fputs("\r\033[K", stderr);
}
