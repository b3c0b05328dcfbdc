// Measures of a stereo rendering beyond its level: how much of its power
// lies in the low end, and how wide it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Share (0..1) of the power of both channels of the interleaved `pcm` frames
// [from, to) that lies below `hz`, from Hann-windowed spectra of 8192 frames.
double LowShare(const std::vector<int16_t> &pcm, size_t from, size_t to, double hz);

struct Width {
    double correlation; // of left and right: 1 mono, 0 unrelated, -1 opposed
    double sideDb;      // level of (L - R) / 2 relative to (L + R) / 2
};
Width MeasureWidth(const std::vector<int16_t> &pcm, size_t from, size_t to);
