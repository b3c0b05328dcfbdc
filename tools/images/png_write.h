// PNG previews of the painted images, for looking at them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes width x height texels of `channels` bytes (1 grey, 3 RGB), each
// texel repeated zoom x zoom times. Returns false if the file cannot be written.
bool WritePng(const std::string &path, const std::vector<uint8_t> &texels, int width, int height,
              int channels, int zoom);
