// Plays a module through libxmp the way the demo's player does (44100 Hz,
// stereo, 16-bit, spline interpolation, default amplification) and keeps the
// sound and the song position of every player frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int RENDER_RATE = 44100;

struct RenderTick {
    int order;     // order position
    int row;       // row in the pattern
    int loopCount; // how many times the song has jumped back so far
    size_t start;  // index of its first stereo frame in `pcm`
};

struct Rendering {
    std::vector<int16_t> pcm; // interleaved left, right
    std::vector<RenderTick> ticks;
};

// Renders `seconds` of sound, or, if `seconds` <= 0, up to the moment the
// song loops for the first time. Returns false with `error` set when libxmp
// refuses the module.
// `solo` >= 0 mutes every channel but that one.
bool RenderModule(const std::vector<uint8_t> &module, double seconds, Rendering &out,
                  std::string &error, int solo = -1);

// Level of a stretch of `pcm` frames [from, to) in dB relative to full scale.
struct Level {
    double peakDb;
    double rmsDb;
};
Level MeasureLevel(const std::vector<int16_t> &pcm, size_t from, size_t to);
