// Images for tests: RGB pixels rows top first, PNG files, comparison with a
// tolerance. Part of `test_support` (headless.h), and on its own in
// `test_images` for tests that need no GL.
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

bool WritePng(const std::string &path, const Image &image);
// Reads an 8-bit RGB or RGBA PNG (alpha dropped); an empty Image on failure.
Image ReadPng(const std::string &path);

struct ImageDifference {
    int differingPixels = 0; // pixels with a channel off by more than the tolerance
};
// Compares two images pixel by pixel; tolerance is per channel (0 to 255).
// Images of different sizes differ in every pixel.
ImageDifference CompareImages(const Image &a, const Image &b, int tolerance);
// Number of pixels whose every channel is at most threshold (black count).
int CountDarkPixels(const Image &image, int threshold);
