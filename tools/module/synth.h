// Sound synthesis for the module's samples: deterministic noise, filters,
// periodic additive tones whose loops close without a seam, and the turning
// of float signals into XM samples.
#pragma once

#include "tools/module/xm_writer.h"

#include <cstdint>
#include <functional>
#include <vector>

using Signal = std::vector<float>;

constexpr double PI = 3.14159265358979323846;
constexpr double DRUM_RATE = 44100.0;
constexpr int C4 = 48; // zero-based note number of C-4

// Frequency in Hz of a zero-based note (A-4 = 57 = 440 Hz).
double NoteHz(int note);

// xorshift32: the same noise on every run and every machine.
struct Noise {
    uint32_t state;
    float Next(); // uniform in [-1, 1)
    uint32_t Bits();
};

// RBJ biquad; parameters may change per sample for sweeps.
struct Biquad {
    enum Kind { LOWPASS, HIGHPASS, BANDPASS };
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    void Set(Kind kind, double hz, double q, double rate);
    float Run(float x);
};

// A partial of a periodic tone: `cycles` whole periods in the loop length,
// phase as an offset in loop samples, so every loop closes exactly.
struct Partial {
    int64_t cycles;
    double amp;
    int64_t phase;
    double hz; // its frequency at the design rate, for shaping
};

// Gain of a partial at sample n (only called for n before the loop starts;
// from there on the gain of the loop start holds).
using PartialShape = std::function<double(const Partial &, int n)>;

// Renders `prefix` samples of attack followed by one loop of `loopLength`
// samples. Gains are evaluated every 32 samples during the attack.
Signal RenderPartials(const std::vector<Partial> &partials, int loopLength, int prefix,
                      const PartialShape &shape);

// Band-limited saw partials of one voice with `cycles` periods per loop;
// harmonics stop below `maxHz` (at design rate `rate`).
void AddSaw(std::vector<Partial> &out, int64_t cycles, int loopLength, double rate, double maxHz,
            double gain, Noise *randomPhase);
// Same for a pulse of duty `width` (0.5 is a square).
void AddPulse(std::vector<Partial> &out, int64_t cycles, int loopLength, double rate, double maxHz,
              double gain, double width, Noise *randomPhase);

// Magnitude of a resonant two-pole lowpass at `hz`.
double LowpassGain(double hz, double cutoff, double q);

// A lowpass that opens to floorHz + rangeHz at the attack and closes towards
// floorHz with time constant `seconds`: the sweep of plucked and stabbed sounds.
PartialShape SweptLowpass(double rate, double floorHz, double rangeHz, double seconds, double q);

// Linear fade of the first `in` and last `out` samples.
void Fade(Signal &s, int in, int out);
// Soft saturation that keeps small signals linear.
void Saturate(Signal &s, float drive);

// Fills sample frames (scaled so the peak is `peak` of full scale), tuning
// so that `designNote` plays the signal at `rate` Hz, and the loop.
void SetSample(XmSample &sample, const Signal &s, double rate, int designNote, float peak,
               int loopStart, int loopLength);
