// Headless GL for tests: an offscreen OpenGL 1.x context (SDL's offscreen
// video driver, an EGL pbuffer on Mesa llvmpipe), frame read-back, PNG files
// and image comparison. Link the target `test_support`.
//
// Typical use in a test:
//
//     StartHeadlessDisplay(640, 480);         // once per process
//     ResetView();                            // display/display.h
//     DrawSomething();
//     Image frame = ReadBackBuffer();         // what the frame shows, rows top first
//     WritePng("/tmp/frame.png", frame);      // to look at it
//     EXPECT_EQ(CompareImages(frame, expected, 2).differingPixels, 0);
//
// The display stays up until the process ends (or StopHeadlessDisplay).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// RGB image, 3 bytes per pixel, rows top first (as on screen, unlike glReadPixels).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    const uint8_t *Pixel(int x, int y) const {
        return &rgb[(static_cast<size_t>(y) * width + x) * 3];
    }
};

// RuntimeStart, WindowServiceStart, SetUpDisplay(DisplayKind::Offscreen,
// width, height) and SetFixedRenderingState, with lightPosition filled as
// start-up does ((5, 5, 5, 0.5)). The context is current on the calling
// thread. A second call with the display up does nothing but return true.
// Returns false (with a line on stderr) when no GL context could be made.
bool StartHeadlessDisplay(int width = 640, int height = 480);
// Closes the window and the video subsystem (RuntimeEnd).
void StopHeadlessDisplay();

// Reads the back buffer (call it before PresentFrame) at the drawable's size.
Image ReadBackBuffer();

bool WritePng(const std::string &path, const Image &image);
// Reads an 8-bit RGB or RGBA PNG (alpha dropped); an empty Image on failure.
Image ReadPng(const std::string &path);

struct ImageDifference {
    bool sameSize = false;
    int differingPixels = 0;      // pixels with a channel off by more than the tolerance
    int maxChannelDifference = 0; // over all pixels and channels
};
// Compares two images pixel by pixel; tolerance is per channel (0 to 255).
ImageDifference CompareImages(const Image &a, const Image &b, int tolerance);
// Number of pixels whose every channel is at most threshold (black count).
int CountDarkPixels(const Image &image, int threshold);
