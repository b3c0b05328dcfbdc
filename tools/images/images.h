// The six texture images of the demo, painted from code. Each painter returns
// the raw bytes of one image exactly as the texture bank uploads them: rows
// top first, no padding, RGB as red, green, blue.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct ImageInfo {
    const char *name; // file stem for the PNG previews
    int width;
    int height;
    int channels; // 1 (alpha or luminance) or 3 (RGB)
    size_t Size() const {
        return static_cast<size_t>(width) * height * channels;
    }
};

constexpr int IMAGE_COUNT = 6;
// In the order they lie in the embedded block.
constexpr ImageInfo IMAGE_INFO[IMAGE_COUNT] = {
    {"font", 512, 16, 1},   {"ring", 128, 128, 3},  {"panel", 256, 256, 1},
    {"title1", 512, 64, 1}, {"title2", 512, 64, 1}, {"picture", 256, 512, 3},
};
constexpr size_t IMAGE_BLOCK_SIZE = 581632;

// Font geometry the text drawer relies on.
constexpr int FONT_CELL_WIDTH = 12;
constexpr int FONT_CELL_HEIGHT = 16;
constexpr int FONT_GLYPH_COUNT = 36;

// Columns in which the two title words may differ.
constexpr int TITLE_CHANGE_FIRST = 235;
constexpr int TITLE_CHANGE_LAST = 361;

std::vector<uint8_t> PaintFont();
std::vector<uint8_t> PaintRing();
std::vector<uint8_t> PaintPanel();
// version 1: the opening word; version 2: the same lettering, new middle.
std::vector<uint8_t> PaintTitle(int version);
std::vector<uint8_t> PaintPicture();

// Image `index` of the block (0 = font ... 5 = picture).
std::vector<uint8_t> PaintImage(int index);
// All six images back to back: the embedded texture block.
std::vector<uint8_t> PaintImageBlock();
