// Views of the painted images for the tests, and small measures on them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

// The whole block as make_images wrote it for the tests.
const std::vector<uint8_t> &Block();
// The bytes of image `index` (0 font ... 5 picture) within the block.
std::vector<uint8_t> ImageBytes(int index);

struct View {
    const uint8_t *bytes;
    int width, height, channels;
    int At(int x, int y, int c = 0) const {
        return bytes[(static_cast<size_t>(y) * width + x) * channels + c];
    }
    bool Ink(int x, int y) const; // any channel above 0
};
View ImageView(int index);

int InkInColumns(const View &v, int first, int last);
int InkInRows(const View &v, int first, int last);
// Texels with ink in row y.
int RowWidth(const View &v, int y);

// Font cells (12 columns each).
std::set<int> InkRows(const View &font, int cell);
int InkColumnCount(const View &font, int cell);
// Lengths of the ink runs in the cell along rows (across) and columns (down).
void CountRuns(const View &font, int cell, std::map<int, int> &across, std::map<int, int> &down);

// Mean absolute difference of all channels between two columns.
double ColumnStep(const View &v, int x1, int x2);
// How many of six hue sectors hold at least `share` of the texels.
int HueFamilies(const View &rgb, double share);
std::set<int> DistinctValues(const std::vector<uint8_t> &bytes);

using TexelTest = bool (*)(int r, int g, int b);
bool IsGrey(int r, int g, int b);
bool IsBrown(int r, int g, int b);
int CountTexels(const View &rgb, int firstRow, int lastRow, TexelTest test);
