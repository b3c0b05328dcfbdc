// Percussion and effect sounds, synthesised sample by sample.
#include "tools/module/synth.h"
#include "tools/module/voices.h"

#include <cmath>

namespace {

int Frames(double seconds, double rate) {
    return static_cast<int>(seconds * rate);
}

// A sample that plays once at its recorded rate on C-4.
XmInstrument OneShot(const char *name, const Signal &s, double rate, uint8_t volume, uint8_t pan,
                     bool eightBit) {
    XmInstrument ins;
    ins.name = name;
    ins.sample.name = name;
    ins.sample.eightBit = eightBit;
    ins.sample.volume = volume;
    ins.sample.panning = pan;
    SetSample(ins.sample, s, rate, C4, 0.95f, 0, 0);
    return ins;
}

// Six detuned square waves: the metallic body of hats and cymbals.
float Metal(double t, double scale) {
    static const double HZ[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    float sum = 0.0f;
    for (double hz : HZ)
        sum += std::fmod(t * hz * scale, 1.0) < 0.5 ? 1.0f : -1.0f;
    return sum / 6.0f;
}

// Noise or metal through a band, shaped by `env`; the common cymbal recipe.
Signal Cymbal(double seconds, double rate, double metalMix, double bandHz, double highHz,
              uint32_t seed, double (*env)(double)) {
    Signal s(static_cast<size_t>(Frames(seconds, rate)));
    Noise noise{seed};
    Biquad band, high;
    band.Set(Biquad::BANDPASS, bandHz, 0.8, rate);
    high.Set(Biquad::HIGHPASS, highHz, 0.7, rate);
    for (size_t i = 0; i < s.size(); i++) {
        double t = static_cast<double>(i) / rate;
        float x = static_cast<float>(metalMix) * Metal(t, 1.9) +
                  static_cast<float>(1.0 - metalMix) * noise.Next();
        s[i] = high.Run(band.Run(x)) * static_cast<float>(env(t));
    }
    Fade(s, Frames(0.0007, rate), Frames(0.01, rate));
    return s;
}

} // namespace

// A short, tight kick: the body sweeps down to about 58 Hz and falls by
// 30 dB within 150 ms, so it punches without covering the sub and the bass.
XmInstrument MakeKick() {
    double rate = DRUM_RATE;
    Signal s(static_cast<size_t>(Frames(0.18, rate)));
    Noise noise{0x6b1c};
    Biquad click;
    click.Set(Biquad::HIGHPASS, 2500.0, 0.7, rate);
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); i++) {
        double t = static_cast<double>(i) / rate;
        double hz = 55.0 + 150.0 * std::exp(-t / 0.018) + 16.0 * std::exp(-t / 0.05);
        phase += hz / rate;
        // Held for 20 ms, then more than 30 dB down by 150 ms.
        double body = std::sin(2.0 * PI * phase) * std::exp(-std::max(0.0, t - 0.02) / 0.031);
        double snap = click.Run(noise.Next()) * std::exp(-t / 0.0025) * 0.5;
        s[i] = static_cast<float>(body + snap);
    }
    Saturate(s, 1.6f);
    Fade(s, 0, Frames(0.02, rate));
    return OneShot("Kick", s, rate, 56, 128, false);
}

XmInstrument MakeSnare() {
    double rate = DRUM_RATE;
    Signal s(static_cast<size_t>(Frames(0.32, rate)));
    Noise noise{0x5a7e};
    Biquad high, low;
    high.Set(Biquad::HIGHPASS, 1100.0, 0.7, rate);
    low.Set(Biquad::LOWPASS, 9000.0, 0.7, rate);
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); i++) {
        double t = static_cast<double>(i) / rate;
        phase += (178.0 + 70.0 * std::exp(-t / 0.012)) / rate;
        double body = std::sin(2.0 * PI * phase) * std::exp(-t / 0.045) * 0.8;
        // Three quick bursts give the clap-like front of the hit.
        double bursts = 0.0;
        for (double at : {0.0, 0.009, 0.019})
            bursts = t >= at ? std::max(bursts, std::exp(-(t - at) / 0.005)) : bursts;
        double env = std::max(bursts, 0.75 * std::exp(-t / 0.085));
        double hiss = low.Run(high.Run(noise.Next())) * env;
        s[i] = static_cast<float>(body + 1.3 * hiss);
    }
    Saturate(s, 1.3f);
    Fade(s, Frames(0.0005, rate), Frames(0.03, rate));
    return OneShot("Snare", s, rate, 50, 124, false);
}

XmInstrument MakeHat(bool open) {
    if (open) {
        Signal s = Cymbal(0.42, DRUM_RATE, 0.6, 9000.0, 6500.0, 0x0fe4,
                          [](double t) { return std::exp(-t / 0.11); });
        return OneShot("Open hat", s, DRUM_RATE, 26, 128, true);
    }
    Signal s = Cymbal(0.09, DRUM_RATE, 0.6, 10000.0, 7000.0, 0xc105,
                      [](double t) { return std::exp(-t / 0.017); });
    return OneShot("Closed hat", s, DRUM_RATE, 30, 128, false);
}

XmInstrument MakeCrash() {
    double rate = 32000.0;
    Signal s = Cymbal(1.1, rate, 0.35, 6000.0, 3000.0, 0xc4a5,
                      [](double t) { return std::exp(-t / 0.38); });
    return OneShot("Crash", s, rate, 30, 110, true);
}

XmInstrument MakeRide() {
    double rate = 32000.0;
    Signal s = Cymbal(0.6, rate, 0.7, 7000.0, 4000.0, 0x71de,
                      [](double t) { return 0.5 + 0.5 * std::exp(-t / 0.02) - 0.5 * t / 0.6; });
    Fade(s, 0, Frames(0.2, rate));
    return OneShot("Ride", s, rate, 18, 100, true);
}

XmInstrument MakeShaker() {
    Signal s = Cymbal(0.12, DRUM_RATE, 0.0, 7000.0, 4500.0, 0x5a4e, [](double t) {
        return std::min(1.0, t / 0.012) * std::exp(-std::max(0.0, t - 0.012) / 0.03);
    });
    return OneShot("Shaker", s, DRUM_RATE, 20, 96, false);
}

XmInstrument MakeTom() {
    double rate = 22050.0;
    Signal s(static_cast<size_t>(Frames(0.4, rate)));
    Noise noise{0x7011};
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); i++) {
        double t = static_cast<double>(i) / rate;
        phase += (98.0 + 70.0 * std::exp(-t / 0.04)) / rate;
        s[i] = static_cast<float>(std::sin(2.0 * PI * phase) * std::exp(-t / 0.13) +
                                  0.15 * noise.Next() * std::exp(-t / 0.01));
    }
    Fade(s, 0, Frames(0.05, rate));
    return OneShot("Tom", s, rate, 40, 128, false);
}

XmInstrument MakeRim() {
    double rate = DRUM_RATE;
    Signal s(static_cast<size_t>(Frames(0.06, rate)));
    Noise noise{0x4141};
    Biquad band;
    band.Set(Biquad::BANDPASS, 1800.0, 3.0, rate);
    for (size_t i = 0; i < s.size(); i++) {
        double t = static_cast<double>(i) / rate;
        double tone = std::sin(2.0 * PI * 520.0 * t) * std::exp(-t / 0.008);
        s[i] = static_cast<float>(tone + 2.0 * band.Run(noise.Next()) * std::exp(-t / 0.006));
    }
    Fade(s, Frames(0.0003, rate), Frames(0.01, rate));
    return OneShot("Rim", s, rate, 26, 80, false);
}

XmInstrument MakeClap() {
    Signal s = Cymbal(0.3, DRUM_RATE, 0.0, 1150.0, 600.0, 0xc1a9, [](double t) {
        double bursts = 0.0;
        for (double at : {0.0, 0.011, 0.022, 0.031})
            bursts = t >= at ? std::max(bursts, std::exp(-(t - at) / 0.004)) : bursts;
        return std::max(bursts, 0.7 * std::exp(-t / 0.07));
    });
    return OneShot("Clap", s, DRUM_RATE, 36, 140, false);
}

XmInstrument MakeCowbell() {
    double rate = DRUM_RATE;
    Signal s(static_cast<size_t>(Frames(0.25, rate)));
    Biquad band;
    band.Set(Biquad::BANDPASS, 800.0, 1.5, rate);
    for (size_t i = 0; i < s.size(); i++) {
        double t = static_cast<double>(i) / rate;
        double sq = (std::fmod(t * 540.0, 1.0) < 0.5 ? 1.0 : -1.0) +
                    (std::fmod(t * 800.0, 1.0) < 0.5 ? 1.0 : -1.0);
        double env = 0.35 * std::exp(-t / 0.06) + 0.65 * std::exp(-t / 0.012);
        s[i] = band.Run(static_cast<float>(sq)) * static_cast<float>(env);
    }
    Fade(s, Frames(0.0005, rate), Frames(0.03, rate));
    return OneShot("Cowbell", s, rate, 22, 170, false);
}

XmInstrument MakeImpact() {
    double rate = 22050.0;
    Signal s(static_cast<size_t>(Frames(0.8, rate)));
    Noise noise{0x1a9c};
    Biquad low;
    low.Set(Biquad::LOWPASS, 300.0, 0.7, rate);
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); i++) {
        double t = static_cast<double>(i) / rate;
        phase += (38.0 + 50.0 * std::exp(-t / 0.06)) / rate;
        double boom = std::sin(2.0 * PI * phase) * std::exp(-t / 0.3);
        s[i] = static_cast<float>(boom + 0.6 * low.Run(noise.Next()) * std::exp(-t / 0.18));
    }
    Saturate(s, 1.4f);
    Fade(s, Frames(0.001, rate), Frames(0.15, rate));
    return OneShot("Impact", s, rate, 44, 128, false);
}

XmInstrument MakeZap() {
    double rate = DRUM_RATE;
    Signal s(static_cast<size_t>(Frames(0.16, rate)));
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); i++) {
        double t = static_cast<double>(i) / rate;
        phase += (90.0 + 2600.0 * std::exp(-t / 0.025)) / rate;
        s[i] = static_cast<float>(std::sin(2.0 * PI * phase) * std::exp(-t / 0.05));
    }
    Fade(s, Frames(0.001, rate), Frames(0.03, rate));
    return OneShot("Zap", s, rate, 22, 160, false);
}

XmInstrument MakeDownlifter() {
    double rate = 22050.0;
    Signal s(static_cast<size_t>(Frames(1.0, rate)));
    Noise noise{0xd0e1};
    Biquad low;
    for (size_t i = 0; i < s.size(); i++) {
        double t = static_cast<double>(i) / rate;
        low.Set(Biquad::LOWPASS, 150.0 + 7000.0 * std::exp(-t / 0.22), 2.0, rate);
        s[i] = low.Run(noise.Next()) * static_cast<float>(std::exp(-t / 0.4));
    }
    Fade(s, Frames(0.002, rate), Frames(0.2, rate));
    return OneShot("Downlifter", s, rate, 28, 128, true);
}

namespace {

// Noise that repeats exactly every loop: random-phase partials on whole
// cycles per loop, so a sustained noise has no seam.
XmInstrument LoopedNoise(const char *name, double rate, int loopLength, double lowHz, double highHz,
                         double (*spectrum)(double), uint32_t seed, uint8_t volume) {
    Noise noise{seed};
    std::vector<Partial> partials;
    for (int64_t k = 1; 2 * k < loopLength; k++) {
        double hz = static_cast<double>(k) * rate / loopLength;
        if (hz >= lowHz && hz <= highHz) {
            partials.push_back(
                {k, spectrum(hz), static_cast<int64_t>(noise.Bits() % loopLength), hz});
        }
    }
    int prefix = 512;
    Signal s = RenderPartials(partials, loopLength, prefix, nullptr);
    Fade(s, prefix, 0);
    XmInstrument ins;
    ins.name = name;
    ins.sample.name = name;
    ins.sample.eightBit = true;
    ins.sample.volume = volume;
    SetSample(ins.sample, s, rate, C4, 0.9f, prefix, loopLength);
    ins.volumeEnvelope.points = {{0, 64}, {2, 64}, {8, 0}};
    ins.volumeEnvelope.sustain = 1;
    ins.fadeout = 1024;
    return ins;
}

} // namespace

XmInstrument MakeRiser() {
    return LoopedNoise(
        "Riser", 32000.0, 8000, 300.0, 9000.0,
        [](double hz) { return LowpassGain(hz, 2200.0, 2.5) / std::sqrt(hz); }, 0x715e, 28);
}

XmInstrument MakeWind() {
    XmInstrument ins = LoopedNoise(
        "Wind", 32000.0, 16000, 150.0, 6000.0,
        [](double hz) {
            double formant = LowpassGain(hz, 700.0, 4.0) + 0.6 * LowpassGain(hz, 1800.0, 5.0);
            return formant / std::sqrt(hz);
        },
        0x3171, 26);
    ins.volumeEnvelope.points = {{0, 0}, {60, 64}, {90, 0}};
    ins.fadeout = 512;
    return ins;
}
