// Images for tests: RGB pixels rows top first, read from PNG files. Part of
// `test_support` (headless.h), and on its own in `test_images` for tests
// that need no GL.
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

// Reads an 8-bit RGB or RGBA PNG (alpha dropped); an empty Image on failure.
Image ReadPng(const std::string &path);
