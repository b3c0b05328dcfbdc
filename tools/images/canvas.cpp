#include "tools/images/canvas.h"

#include <algorithm>
#include <cmath>

Rgb Mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(Rgb a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
Rgb Add(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

Canvas::Canvas(int w, int h, int c)
    : width(w), height(h), channels(c), texels(static_cast<size_t>(w) * h * c, 0.0f) {}

void Canvas::SetRgb(int x, int y, Rgb v) {
    At(x, y, 0) = v.r;
    At(x, y, 1) = v.g;
    At(x, y, 2) = v.b;
}

Rgb Canvas::GetRgb(int x, int y) const {
    return {At(x, y, 0), At(x, y, 1), At(x, y, 2)};
}

std::vector<uint8_t> ToBytes(const Canvas &canvas, int levels, int top) {
    std::vector<uint8_t> bytes(canvas.texels.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        float v = Clamp01(canvas.texels[i]);
        if (levels > 1) {
            float step = std::floor(v * static_cast<float>(levels - 1) + 0.5f);
            v = step / static_cast<float>(levels - 1);
        }
        bytes[i] = static_cast<uint8_t>(std::lround(v * static_cast<float>(top)));
    }
    return bytes;
}

uint64_t Prng::Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float Prng::Uniform() {
    return static_cast<float>(Next() >> 40) / 16777216.0f;
}

float Prng::Range(float lo, float hi) {
    return lo + (hi - lo) * Uniform();
}

int Prng::Below(int n) {
    return static_cast<int>(Next() % static_cast<uint64_t>(n));
}

namespace {

float LatticeValue(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^
                 seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return static_cast<float>(h >> 8) / 16777215.0f;
}

int Wrap(int v, int period) {
    if (period <= 0)
        return v;
    int m = v % period;
    return m < 0 ? m + period : m;
}

float Fade(float t) {
    return t * t * (3.0f - 2.0f * t);
}

} // namespace

float ValueNoise(float x, float y, uint32_t seed, int periodX, int periodY) {
    float fx = std::floor(x);
    float fy = std::floor(y);
    int ix = static_cast<int>(fx);
    int iy = static_cast<int>(fy);
    float tx = Fade(x - fx);
    float ty = Fade(y - fy);
    int x0 = Wrap(ix, periodX), x1 = Wrap(ix + 1, periodX);
    int y0 = Wrap(iy, periodY), y1 = Wrap(iy + 1, periodY);
    float a = LatticeValue(x0, y0, seed);
    float b = LatticeValue(x1, y0, seed);
    float c = LatticeValue(x0, y1, seed);
    float d = LatticeValue(x1, y1, seed);
    float top = a + (b - a) * tx;
    float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float Fbm(float x, float y, uint32_t seed, int octaves, int periodX, int periodY) {
    float sum = 0.0f;
    float weight = 0.5f;
    float norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += weight * ValueNoise(x, y, seed + static_cast<uint32_t>(o) * 131u, periodX, periodY);
        norm += weight;
        x *= 2.0f;
        y *= 2.0f;
        periodX *= 2;
        periodY *= 2;
        weight *= 0.5f;
    }
    return sum / norm;
}

float SdCircle(float px, float py, float cx, float cy, float r) {
    return std::hypot(px - cx, py - cy) - r;
}

float SdEllipse(float px, float py, float cx, float cy, float rx, float ry) {
    // A scaled circle: exact on the axes, close enough elsewhere for painting.
    float dx = (px - cx) / rx;
    float dy = (py - cy) / ry;
    float k = std::hypot(dx, dy);
    return (k - 1.0f) * std::min(rx, ry);
}

float SdBox(float px, float py, float cx, float cy, float hx, float hy, float round) {
    float qx = std::fabs(px - cx) - hx + round;
    float qy = std::fabs(py - cy) - hy + round;
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - round;
}

float SdSegment(float px, float py, float ax, float ay, float bx, float by) {
    float vx = bx - ax, vy = by - ay;
    float wx = px - ax, wy = py - ay;
    float len2 = vx * vx + vy * vy;
    float t = len2 > 0.0f ? std::clamp((wx * vx + wy * vy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(wx - vx * t, wy - vy * t);
}

float Clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

float SmoothStep(float e0, float e1, float v) {
    float t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

float Cover(float d, float softness) {
    return Clamp01(0.5f - d / (2.0f * softness));
}
