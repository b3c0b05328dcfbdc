// The painted block as make_images wrote it at build time, and views of its
// images for the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

const std::vector<uint8_t> &Block();

struct View {
    const uint8_t *bytes;
    int width, height, channels;
    int At(int x, int y, int c = 0) const {
        return bytes[(static_cast<size_t>(y) * width + x) * channels + c];
    }
    // Texels with any channel above 0 in columns x0..x1 of rows y0..y1.
    int Ink(int x0, int x1, int y0, int y1) const;
};
// Image `index` (0 font ... 5 picture) within the block.
View ImageView(int index);
