// The capture's pictures: one frame as a PNG file.
#pragma once

#include <cstdint>
#include <string>

// One RGB frame (rows top first, no padding) as an 8-bit RGB PNG; on failure
// error is a one-line reason that names the file.
bool WritePng(const std::string &path, const uint8_t *rgb, int width, int height,
              std::string &error);
