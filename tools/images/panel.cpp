// The panel picture: a raised clenched fist on its forearm, seen from the
// front, knuckles up, thumb folded across the fingers. Each part is a
// signed-distance shape shaded as a soft cushion lit from the upper left;
// parts in front get a dark rim where they overlap the ones behind, which
// is what makes the silhouette read as a fist when drawn small and red.
// The forearm dissolves towards the bottom edge instead of ending in a cut,
// and the greys are lifted so the panel reads bright when drawn in red. The
// result is printed in 30 grey levels from 0 to 239.
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
// From row FADE_TOP down, the forearm fades to this share of its grey at
// the bottom edge.
constexpr float FADE_TOP = 212.0f;
constexpr float FADE_FLOOR = 0.15f;
// Light on a cushion: this much of the albedo everywhere, plus the diffuse
// share times the cosine to the light. The high ambient share keeps the fist
// bright when drawn in red; the sides facing the light clip at white.
constexpr float AMBIENT = 0.72f;
constexpr float DIFFUSE = 0.6f;

using Shape = std::function<float(float, float)>;

struct Part {
    Shape sd;       // signed distance, texels
    float albedo;   // brightness of the skin of this part
    float depth;    // how far the cushion bulges, texels
    float rimWidth; // dark outline over the parts behind
    Shape detail;   // folds and nails: a factor on the brightness
};

// Blends two distances with a fillet of radius k, so the wrist flows into
// the forearm without a seam.
float SmoothUnion(float a, float b, float k) {
    float h = Clamp01(0.5f + 0.5f * (b - a) / k);
    return b + (a - b) * h - k * h * (1.0f - h);
}

float ForearmCentre(float y) {
    return 129.0f + 3.0f * Clamp01((y - 168.0f) / 90.0f);
}

float ForearmHalf(float y) {
    return 31.0f + 9.0f * Clamp01((y - 168.0f) / 90.0f);
}

float Forearm(float x, float y) {
    // Widens from the wrist toward the elbow, beyond the bottom edge.
    float arm = std::max(std::fabs(x - ForearmCentre(y)) - ForearmHalf(y), 150.0f - y);
    float heel = SdBox(x, y, 128.0f, 128.0f, 58.0f, 36.0f, 28.0f);
    return SmoothUnion(heel, arm, 16.0f);
}

// The forearm is a cylinder: lit on the left, falling off to the right.
float ForearmRound(float x, float y) {
    float t = std::clamp((x - ForearmCentre(y)) / (ForearmHalf(y) + 4.0f), -1.0f, 1.0f);
    float nz = std::sqrt(1.0f - t * t);
    float round = 0.55f + 0.5f * std::max(0.0f, 0.8f * nz - 0.35f * t);
    return 1.0f + (round - 1.0f) * SmoothStep(120.0f, 175.0f, y);
}

Part Finger(float cx, float top, float bottom, float half, float albedo) {
    Shape sd = [=](float x, float y) {
        float mid = 0.5f * (top + bottom);
        // A little wider at the knuckle than at the tip.
        float taper = half - 1.5f * Clamp01((y - top) / (bottom - top));
        return SdBox(x, y, cx, mid, taper, 0.5f * (bottom - top), half * 0.9f);
    };
    // The fold between the middle joint and the fingertip, a shallow arc.
    float crease = top + 0.58f * (bottom - top);
    Shape fold = [=](float x, float y) {
        float u = (x - cx) / half;
        float d = std::fabs(y - crease + 3.0f * (1.0f - u * u)) - 0.8f;
        float reach = SmoothStep(0.95f, 0.6f, std::fabs(u));
        return 1.0f - 0.7f * Cover(d, 0.8f) * reach;
    };
    return {sd, albedo, 11.0f, 2.0f, fold};
}

float Thumb(float x, float y) {
    // From the ball of the thumb low on the left, across the index and
    // middle fingers, its tip resting on the ring finger.
    float ball = SdEllipse(x, y, 87.0f, 140.0f, 20.0f, 24.0f);
    float shaft = SdSegment(x, y, 87.0f, 128.0f, 144.0f, 109.0f) - 14.0f;
    return SmoothUnion(ball, shaft, 8.0f);
}

float ThumbNail(float x, float y) {
    float d = SdEllipse(x, y, 139.0f, 108.0f, 8.5f, 7.0f);
    float outline = Cover(std::fabs(d) - 0.7f, 0.6f);
    return (1.0f + 0.12f * Cover(d, 0.6f)) * (1.0f - 0.5f * outline);
}

std::vector<Part> FistParts() {
    return {
        {Forearm, 0.82f, 12.0f, 0.0f, ForearmRound}, Finger(177.0f, 48.0f, 106.0f, 13.0f, 0.86f),
        Finger(151.0f, 34.0f, 104.0f, 14.5f, 0.9f),  Finger(122.0f, 28.0f, 102.0f, 15.0f, 0.93f),
        Finger(92.0f, 36.0f, 102.0f, 15.0f, 0.96f),  {Thumb, 1.0f, 15.0f, 2.5f, ThumbNail},
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
    return part.albedo * (AMBIENT + DIFFUSE * lambert);
}

float PaintTexel(const std::vector<Part> &parts, float x, float y) {
    float value = 0.0f;
    for (const Part &part : parts) {
        float d = part.sd(x, y);
        if (d > part.rimWidth)
            continue;
        float rim = Cover(d - part.rimWidth, 0.6f);
        float body = Cover(d, 0.6f);
        value = value * (1.0f - rim); // the dark crease around the part
        value += body * Shade(part, x, y) * part.detail(x, y);
    }
    return value;
}

float ArmFade(float y) {
    return 1.0f - (1.0f - FADE_FLOOR) * SmoothStep(FADE_TOP, static_cast<float>(SIZE), y);
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
            canvas.At(x, y) = sum / (SUPERSAMPLE * SUPERSAMPLE) * ArmFade(y + 0.5f);
        }
    }
    return ToBytes(canvas, GREY_LEVELS, BRIGHTEST);
}
