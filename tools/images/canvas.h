// Painting helpers shared by the image painters: a float canvas, a seeded
// random generator, lattice noise and signed-distance shapes. Everything is
// deterministic: the same build paints the same bytes on every machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
    float r, g, b;
};

Rgb Mix(Rgb a, Rgb b, float t);
Rgb Scale(Rgb a, float k);
Rgb Add(Rgb a, Rgb b);

// A painted image: width x height texels of `channels` floats in 0..1,
// rows top first, as the texture bank stores them.
struct Canvas {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<float> texels;

    Canvas(int w, int h, int c);
    float &At(int x, int y, int c = 0) {
        return texels[(static_cast<size_t>(y) * width + x) * channels + c];
    }
    float At(int x, int y, int c = 0) const {
        return texels[(static_cast<size_t>(y) * width + x) * channels + c];
    }
    void SetRgb(int x, int y, Rgb v);
    Rgb GetRgb(int x, int y) const;
};

// Rounds to bytes; `levels` > 0 quantises to that many evenly spaced values
// from 0 to `top` (so a luminance picture keeps a hand-printed look).
std::vector<uint8_t> ToBytes(const Canvas &canvas, int levels = 0, int top = 255);

// Small, fast generator (SplitMix64): no dependence on the C library's rand().
struct Prng {
    uint64_t state;
    explicit Prng(uint64_t seed) : state(seed) {}
    uint64_t Next();
    float Uniform();                 // [0, 1)
    float Range(float lo, float hi); // [lo, hi)
    int Below(int n);                // 0 .. n-1
};

// Value noise on an integer lattice, smooth, in [0, 1]. A period > 0 wraps
// the lattice in x (and in y if periodY > 0) so tiles join without a seam.
float ValueNoise(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);
// Sum of `octaves` noise layers, each twice as fine and half as strong.
float Fbm(float x, float y, uint32_t seed, int octaves, int periodX = 0, int periodY = 0);

// Signed distances (negative inside), in texels.
float SdCircle(float px, float py, float cx, float cy, float r);
float SdEllipse(float px, float py, float cx, float cy, float rx, float ry);
float SdBox(float px, float py, float cx, float cy, float hx, float hy, float round);
float SdSegment(float px, float py, float ax, float ay, float bx, float by);

float Clamp01(float v);
float SmoothStep(float e0, float e1, float v);
// Coverage of a shape with signed distance d, anti-aliased over about a texel.
float Cover(float d, float softness = 0.5f);
