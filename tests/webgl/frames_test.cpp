// The demo drawn through the fixed-function layer on ES 2.0 against the
// desktop OpenGL drawing of the same frames: both capture tools render a frame
// on the virtual clock, and the two pictures must agree to within 4/255 on
// every channel of 99 % of the pixels, with a mean difference of 0.5/255.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "tests/support/image.h"
#include "tests/support/process.h"

namespace {

struct Frame {
    int number;
    const char *shows;
};

const Frame FRAMES[] = {
    {12, "the title fading in"},
    {34, "the title as the wipe starts"},
    {60, "the wipe"},
    {140, "the second word"},
    {260, "the flying panels"},
    {520, "the sliding picture"},
    {850, "the lit object"},
    {1100, "the tunnel with the lit object"},
    {1400, "the tunnel, the scroller's end"},
};

constexpr int TOLERANCE = 4;
constexpr double CLOSE_SHARE = 0.99;
constexpr double MEAN_LIMIT = 0.5;

struct Difference {
    double closeShare = 0; // pixels within TOLERANCE on every channel
    double mean = 0;       // mean absolute difference per channel, in 1/255
};

Difference Compare(const Image &a, const Image &b) {
    size_t pixels = a.rgb.size() / 3, close = 0;
    double sum = 0;
    for (size_t p = 0; p < pixels; p++) {
        int worst = 0;
        for (size_t k = 3 * p; k < 3 * p + 3; k++) {
            int d = std::abs(a.rgb[k] - b.rgb[k]);
            worst = std::max(worst, d);
            sum += d;
        }
        close += worst <= TOLERANCE;
    }
    return {double(close) / double(pixels), sum / double(3 * pixels)};
}

// The frame as the tool draws it, written into a directory of its own.
pid_t StartCapture(const char *tool, int frame, const std::string &directory) {
    return Spawn({tool, "--start", std::to_string(frame), "--frames", "1", directory}, {},
                 directory + ".log");
}

Image Captured(const std::string &directory, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06d.png", frame);
    return ReadPng(directory + name);
}

TEST(WebglFrames, MatchTheDesktopFrames) {
    std::string scratch = MakeTempDir("webgl-frames");
    Difference worst{1.0, 0.0};
    const char *worstShows = "";
    for (const Frame &frame : FRAMES) {
        std::string desktop = scratch + "/desktop-" + std::to_string(frame.number);
        std::string es2 = scratch + "/es2-" + std::to_string(frame.number);
        pid_t a = StartCapture(DESKTOP_CAPTURE, frame.number, desktop);
        pid_t b = StartCapture(ES2_CAPTURE, frame.number, es2);
        ASSERT_EQ(WaitExit(a, 120000), 0) << ReadFile(desktop + ".log");
        ASSERT_EQ(WaitExit(b, 120000), 0) << ReadFile(es2 + ".log");
        Image want = Captured(desktop, frame.number), got = Captured(es2, frame.number);
        ASSERT_TRUE(want.width == got.width && want.height == got.height && want.width > 0)
            << frame.shows;
        Difference d = Compare(want, got);
        std::printf("frame %5d (%s): %.3f %% of pixels within %d/255, mean %.3f/255\n",
                    frame.number, frame.shows, 100 * d.closeShare, TOLERANCE, d.mean);
        EXPECT_GE(d.closeShare, CLOSE_SHARE) << frame.shows << " (frames in " << scratch << ")";
        EXPECT_LE(d.mean, MEAN_LIMIT) << frame.shows << " (frames in " << scratch << ")";
        if (d.closeShare < worst.closeShare ||
            (d.closeShare == worst.closeShare && d.mean > worst.mean))
            worst = d, worstShows = frame.shows;
    }
    if (!HasFailure())
        ShellStatus("rm -rf '" + scratch + "'"); // kept to look at when a frame differs
    std::printf("worst: %s, %.3f %% within %d/255, mean %.3f/255\n", worstShows,
                100 * worst.closeShare, TOLERANCE, worst.mean);
}

} // namespace
