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
    // Texels in columns x0..x1 of rows y0..y1 that pass test(x, y).
    template <class Test> int Count(int x0, int x1, int y0, int y1, Test test) const {
        int n = 0;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                n += test(x, y) ? 1 : 0;
        return n;
    }
    // Texels with any channel above 0 (the first, middle and last channel
    // are all of one or three).
    int Ink(int x0, int x1, int y0, int y1) const {
        auto inked = [this](int x, int y) {
            return At(x, y, 0) || At(x, y, channels - 1) || At(x, y, channels / 2);
        };
        return Count(x0, x1, y0, y1, inked);
    }
};
// Image `index` (0 font ... 5 picture) within the block.
View ImageView(int index);
