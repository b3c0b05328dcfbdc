#include "tests/images/image_views.h"

#include "tools/images/images.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::vector<uint8_t> ReadBlock() {
    std::ifstream in(IMAGE_BLOCK_PATH, std::ios::binary);
    std::vector<uint8_t> block{std::istreambuf_iterator<char>(in), {}};
    if (block.size() != IMAGE_BLOCK_SIZE) {
        std::fprintf(stderr, "cannot read the painted block %s\n", IMAGE_BLOCK_PATH);
        std::abort();
    }
    return block;
}

} // namespace

const std::vector<uint8_t> &Block() {
    static const std::vector<uint8_t> block = ReadBlock();
    return block;
}

namespace {

size_t Offset(int index) {
    size_t offset = 0;
    for (int i = 0; i < index; ++i) {
        offset += IMAGE_INFO[i].Size();
    }
    return offset;
}

} // namespace

std::vector<uint8_t> ImageBytes(int index) {
    auto first = Block().begin() + static_cast<long>(Offset(index));
    return {first, first + static_cast<long>(IMAGE_INFO[index].Size())};
}

View ImageView(int index) {
    const ImageInfo &info = IMAGE_INFO[index];
    return {Block().data() + Offset(index), info.width, info.height, info.channels};
}

bool View::Ink(int x, int y) const {
    for (int c = 0; c < channels; ++c) {
        if (At(x, y, c)) {
            return true;
        }
    }
    return false;
}

int InkInColumns(const View &v, int first, int last) {
    int n = 0;
    for (int y = 0; y < v.height; ++y) {
        for (int x = first; x <= last; ++x) {
            n += v.Ink(x, y);
        }
    }
    return n;
}

int InkInRows(const View &v, int first, int last) {
    int n = 0;
    for (int y = first; y <= last; ++y) {
        n += RowWidth(v, y);
    }
    return n;
}

int RowWidth(const View &v, int y) {
    int n = 0;
    for (int x = 0; x < v.width; ++x) {
        n += v.Ink(x, y);
    }
    return n;
}

std::set<int> InkRows(const View &font, int cell) {
    std::set<int> rows;
    for (int y = 0; y < font.height; ++y) {
        for (int x = cell * 12; x < cell * 12 + 12; ++x) {
            if (font.Ink(x, y)) {
                rows.insert(y);
            }
        }
    }
    return rows;
}

int InkColumnCount(const View &font, int cell) {
    int n = 0;
    for (int x = cell * 12; x < cell * 12 + 12; ++x) {
        bool any = false;
        for (int y = 0; y < font.height; ++y) {
            any = any || font.Ink(x, y);
        }
        n += any;
    }
    return n;
}

void CountRuns(const View &font, int cell, std::map<int, int> &across, std::map<int, int> &down) {
    const int left = cell * 12;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0, run = 0; x <= 12; ++x) {
            if (x < 12 && font.Ink(left + x, y)) {
                ++run;
            } else if (run) {
                ++across[run];
                run = 0;
            }
        }
    }
    for (int x = 0; x < 12; ++x) {
        for (int y = 0, run = 0; y <= 16; ++y) {
            if (y < 16 && font.Ink(left + x, y)) {
                ++run;
            } else if (run) {
                ++down[run];
                run = 0;
            }
        }
    }
}

double ColumnStep(const View &v, int x1, int x2) {
    long sum = 0;
    for (int y = 0; y < v.height; ++y) {
        for (int c = 0; c < v.channels; ++c) {
            sum += std::abs(v.At(x1, y, c) - v.At(x2, y, c));
        }
    }
    return static_cast<double>(sum) / (v.height * v.channels);
}

int HueFamilies(const View &rgb, double share) {
    int counts[6] = {};
    for (int y = 0; y < rgb.height; ++y) {
        for (int x = 0; x < rgb.width; ++x) {
            int r = rgb.At(x, y, 0), g = rgb.At(x, y, 1), b = rgb.At(x, y, 2);
            int hi = std::max({r, g, b}), lo = std::min({r, g, b});
            if (hi - lo < 30) {
                continue; // too grey to have a hue
            }
            double h;
            if (hi == r) {
                h = (g - b) / double(hi - lo);
            } else if (hi == g) {
                h = 2.0 + (b - r) / double(hi - lo);
            } else {
                h = 4.0 + (r - g) / double(hi - lo);
            }
            int sector = (static_cast<int>(std::floor(h + 6.5)) % 6);
            ++counts[sector];
        }
    }
    int families = 0;
    for (int n : counts) {
        families += n >= share * rgb.width * rgb.height;
    }
    return families;
}

std::set<int> DistinctValues(const std::vector<uint8_t> &bytes) {
    return {bytes.begin(), bytes.end()};
}

bool IsGrey(int r, int g, int b) {
    int hi = std::max({r, g, b}), lo = std::min({r, g, b});
    return hi - lo < 14 && lo > 70;
}

bool IsBrown(int r, int g, int b) {
    return r > g && g > b && r - b > 40 && r < 230;
}

int CountTexels(const View &rgb, int firstRow, int lastRow, TexelTest test) {
    int n = 0;
    for (int y = firstRow; y <= lastRow; ++y) {
        for (int x = 0; x < rgb.width; ++x) {
            n += test(rgb.At(x, y, 0), rgb.At(x, y, 1), rgb.At(x, y, 2));
        }
    }
    return n;
}
