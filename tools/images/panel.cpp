// The panel picture: a raised clenched fist on its forearm, seen from the
// front, knuckles up, thumb folded across the fingers. Each part is a
// signed-distance shape shaded as a soft cushion lit from the upper left;
// parts in front get a dark rim where they overlap the ones behind, which
// is what makes the silhouette read as a fist when drawn small and red.
// The result is printed in 30 grey levels from 0 to 239.
#include "tools/images/canvas.h"
#include "tools/images/images.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr int SIZE = 256;
constexpr int GREY_LEVELS = 30;
constexpr int BRIGHTEST = 239;
constexpr int FIRST_COLUMN = 64;
constexpr int LAST_COLUMN = 194;
constexpr int SUPERSAMPLE = 3;

using Shape = std::function<float(float, float)>;

struct Part {
    Shape sd;       // signed distance, texels
    float albedo;   // brightness of the skin of this part
    float depth;    // how far the cushion bulges, texels
    float rimWidth; // dark outline over the parts behind
};

float Forearm(float x, float y) {
    // Tapers from the elbow (bottom edge, beyond the image) to the wrist.
    float t = Clamp01((y - 150.0f) / 110.0f);
    float half = 30.0f + 10.0f * t;
    float centre = 130.0f - 2.0f * t;
    float side = std::fabs(x - centre) - half;
    return std::max(side, 150.0f - y);
}

float Palm(float x, float y) {
    float box = SdBox(x, y, 128.0f, 134.0f, 56.0f, 38.0f, 26.0f);
    float wrist = SdBox(x, y, 130.0f, 170.0f, 34.0f, 20.0f, 8.0f);
    return std::min(box, wrist);
}

Shape Finger(float cx, float top, float bottom, float half) {
    return [=](float x, float y) {
        float mid = 0.5f * (top + bottom);
        return SdBox(x, y, cx, mid, half, 0.5f * (bottom - top), half * 0.95f);
    };
}

float Thumb(float x, float y) {
    // From the heel of the hand up across the index and middle fingers.
    float base = SdCircle(x, y, 86.0f, 136.0f, 21.0f);
    float shaft = SdSegment(x, y, 86.0f, 130.0f, 140.0f, 112.0f) - 15.0f;
    return std::min(base, shaft);
}

std::vector<Part> FistParts() {
    return {
        {Forearm, 0.74f, 22.0f, 0.0f},
        {Palm, 0.82f, 26.0f, 3.0f},
        {Finger(178.0f, 44.0f, 118.0f, 13.5f), 0.86f, 12.0f, 2.5f},
        {Finger(152.0f, 26.0f, 116.0f, 15.0f), 0.9f, 13.0f, 2.5f},
        {Finger(123.0f, 18.0f, 112.0f, 15.5f), 0.92f, 13.0f, 2.5f},
        {Finger(93.0f, 26.0f, 110.0f, 15.5f), 0.94f, 13.0f, 2.5f},
        {Thumb, 1.0f, 16.0f, 3.0f},
    };
}

// Brightness of a cushion shaped like the part at (x, y): the surface rises
// over `depth` texels from the outline, and light falls from the upper left.
float Shade(const Part &part, float x, float y) {
    auto height = [&](float px, float py) {
        float inside = std::max(0.0f, -part.sd(px, py));
        float k = std::min(inside / part.depth, 1.0f);
        return part.depth * std::sqrt(k * (2.0f - k));
    };
    constexpr float H = 1.5f;
    float gx = (height(x + H, y) - height(x - H, y)) / (2 * H);
    float gy = (height(x, y + H) - height(x, y - H)) / (2 * H);
    float nx = -gx, ny = -gy, nz = 1.0f;
    float len = std::sqrt(nx * nx + ny * ny + nz * nz);
    const float lx = -0.5f, ly = -0.6f, lz = 0.62f;
    float lambert = std::max(0.0f, (nx * lx + ny * ly + nz * lz) / len);
    return part.albedo * (0.18f + 0.9f * lambert);
}

float PaintTexel(const std::vector<Part> &parts, float x, float y) {
    float value = 0.0f;
    for (const Part &part : parts) {
        float d = part.sd(x, y);
        if (d > part.rimWidth) {
            continue;
        }
        float rim = Cover(d - part.rimWidth, 0.6f);
        float body = Cover(d, 0.6f);
        value = value * (1.0f - rim); // the dark crease around the part
        value += body * Shade(part, x, y);
    }
    return value;
}

} // namespace

std::vector<uint8_t> PaintPanel() {
    std::vector<Part> parts = FistParts();
    Canvas canvas(SIZE, SIZE, 1);
    for (int y = 0; y < SIZE; ++y) {
        for (int x = FIRST_COLUMN; x <= LAST_COLUMN; ++x) {
            float sum = 0.0f;
            for (int sy = 0; sy < SUPERSAMPLE; ++sy) {
                for (int sx = 0; sx < SUPERSAMPLE; ++sx) {
                    float px = x + (sx + 0.5f) / SUPERSAMPLE;
                    float py = y + (sy + 0.5f) / SUPERSAMPLE;
                    sum += PaintTexel(parts, px, py);
                }
            }
            canvas.At(x, y) = sum / (SUPERSAMPLE * SUPERSAMPLE);
        }
    }
    return ToBytes(canvas, GREY_LEVELS, BRIGHTEST);
}
