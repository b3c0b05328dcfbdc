// make_icon DIR SIZE...
// The application icon: the box robot's head and shoulders, cut square from
// the sliding picture and resampled to each SIZE, written as DIR/SIZE.png.
#include "tools/images/images.h"
#include "tools/images/png_write.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The square of the picture (256 x 512) that holds the robot's head.
constexpr int CROP_X = 28;
constexpr int CROP_Y = 0;
constexpr int CROP_SIZE = 200;
constexpr int PICTURE_WIDTH = 256;
// Samples per output pixel along each axis: enough to average away the
// texels a pixel covers when scaling down, and to smooth when scaling up.
constexpr int SAMPLES = 4;

// Bilinear reading of channel c at crop coordinates (x, y), texel centres at .5.
float Sample(const std::vector<uint8_t> &picture, float x, float y, int c) {
    float fx = std::clamp(x - 0.5f, 0.0f, float(CROP_SIZE - 1));
    float fy = std::clamp(y - 0.5f, 0.0f, float(CROP_SIZE - 1));
    int x0 = int(fx), y0 = int(fy);
    int x1 = std::min(x0 + 1, CROP_SIZE - 1), y1 = std::min(y0 + 1, CROP_SIZE - 1);
    auto at = [&](int px, int py) {
        return float(picture[size_t((CROP_Y + py) * PICTURE_WIDTH + CROP_X + px) * 3 + c]);
    };
    float ax = fx - float(x0), ay = fy - float(y0);
    float top = at(x0, y0) + (at(x1, y0) - at(x0, y0)) * ax;
    float bottom = at(x0, y1) + (at(x1, y1) - at(x0, y1)) * ax;
    return top + (bottom - top) * ay;
}

std::vector<uint8_t> Resample(const std::vector<uint8_t> &picture, int size) {
    std::vector<uint8_t> icon(size_t(size) * size * 3);
    float step = float(CROP_SIZE) / float(size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            for (int c = 0; c < 3; ++c) {
                float sum = 0;
                for (int sy = 0; sy < SAMPLES; ++sy)
                    for (int sx = 0; sx < SAMPLES; ++sx)
                        sum += Sample(picture, (float(x) + (float(sx) + 0.5f) / SAMPLES) * step,
                                      (float(y) + (float(sy) + 0.5f) / SAMPLES) * step, c);
                icon[(size_t(y) * size + x) * 3 + c] =
                    uint8_t(std::clamp(sum / (SAMPLES * SAMPLES) + 0.5f, 0.0f, 255.0f));
            }
    return icon;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_icon DIR SIZE...\n");
        return 2;
    }
    std::vector<uint8_t> picture = PaintPicture();
    for (int i = 2; i < argc; ++i) {
        int size = std::atoi(argv[i]);
        if (size < 16 || size > 1024) {
            std::fprintf(stderr, "make_icon: %s: not a size from 16 to 1024\n", argv[i]);
            return 2;
        }
        std::string path = std::string(argv[1]) + "/" + argv[i] + ".png";
        if (!WritePng(path, Resample(picture, size), size, size, 3, 1)) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
