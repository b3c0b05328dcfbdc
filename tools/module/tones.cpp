// Pitched instruments: band-limited additive tones whose loop holds a whole
// number of cycles of every partial, so sustained notes loop without a seam.
#include "tools/module/synth.h"
#include "tools/module/voices.h"

#include <cmath>

namespace {

// A tone designed so that `designNote` sounds with `cycles` base cycles per
// loop: the sample rate is derived so the pitch comes out exact.
struct Tone {
    int designNote;
    int loopLength;
    int64_t cycles;
    double rate;
};

Tone MakeTone(int designNote, double nominalRate, double loopSeconds) {
    double hz = NoteHz(designNote);
    int loopLength = static_cast<int>(std::lround(loopSeconds * nominalRate));
    int64_t cycles = std::max<int64_t>(1, std::llround(hz * loopLength / nominalRate));
    if (cycles == 1)
        loopLength = static_cast<int>(std::lround(nominalRate / hz));
    return {designNote, loopLength, cycles, hz * loopLength / static_cast<double>(cycles)};
}

// Highest partial frequency at the design note that stays below 18 kHz when
// played `transpose` semitones higher.
double MaxHz(int transpose, double rate) {
    return std::min(18000.0 / std::pow(2.0, transpose / 12.0), rate * 0.45);
}

XmInstrument Looped(const char *name, const Tone &tone, const Signal &s, int prefix, uint8_t volume,
                    uint8_t pan) {
    XmInstrument ins;
    ins.name = name;
    ins.sample.name = name;
    ins.sample.volume = volume;
    ins.sample.panning = pan;
    SetSample(ins.sample, s, tone.rate, tone.designNote, 0.95f, prefix, tone.loopLength);
    return ins;
}

// Loudest point of the loop-steady part, for balancing partial sums.
int Seconds(double seconds, double rate) {
    return static_cast<int>(seconds * rate);
}

} // namespace

XmInstrument MakeBass() {
    Tone tone = MakeTone(33, 44100.0, 0.0); // A-2, one cycle per loop
    std::vector<Partial> partials;
    AddSaw(partials, tone.cycles, tone.loopLength, tone.rate, MaxHz(17, tone.rate), 1.0, nullptr);
    AddPulse(partials, tone.cycles, tone.loopLength, tone.rate, MaxHz(17, tone.rate), 0.5, 0.5,
             nullptr);
    int prefix = Seconds(0.15, tone.rate);
    // The filter closes quickly after the attack: a plucked, round bass.
    Signal s = RenderPartials(partials, tone.loopLength, prefix,
                              SweptLowpass(tone.rate, 260.0, 2200.0, 0.035, 2.2));
    Fade(s, 160, 0);
    XmInstrument ins = Looped("Bass", tone, s, prefix, 40, 128);
    // The sustain point comes early: a key-off releases within a row
    // instead of running through the rest of the decay first.
    ins.volumeEnvelope.points = {{0, 64}, {2, 50}, {6, 36}, {9, 0}};
    ins.volumeEnvelope.sustain = 2;
    ins.fadeout = 4096;
    return ins;
}

XmInstrument MakeSub() {
    Tone tone = MakeTone(21, 44100.0, 0.0);
    std::vector<Partial> partials = {{tone.cycles, 1.0, 0, NoteHz(21)}};
    int prefix = 256;
    Signal s = RenderPartials(partials, tone.loopLength, prefix, nullptr);
    Fade(s, prefix, 0);
    XmInstrument ins = Looped("Sub", tone, s, prefix, 37, 128);
    ins.volumeEnvelope.points = {{0, 0}, {3, 64}, {9, 0}};
    ins.volumeEnvelope.sustain = 1;
    ins.fadeout = 2048;
    return ins;
}

XmInstrument MakePad() {
    Tone tone = MakeTone(45, 32000.0, 1.0); // A-3, 220 cycles per one-second loop
    Noise phases{0x9ad1};
    std::vector<Partial> partials;
    for (int offset : {0, -3, 3, -2, 2, -1, 1}) {
        double gain = offset == 0 ? 1.0 : 0.65;
        AddSaw(partials, tone.cycles + offset, tone.loopLength, tone.rate, MaxHz(9, tone.rate),
               gain, &phases);
    }
    for (Partial &p : partials)
        p.amp *= LowpassGain(p.hz, 2400.0, 0.8);
    int prefix = 512;
    Signal s = RenderPartials(partials, tone.loopLength, prefix, nullptr);
    Fade(s, prefix, 0);
    XmInstrument ins = Looped("Pad", tone, s, prefix, 31, 128);
    ins.volumeEnvelope.points = {{0, 0}, {10, 64}, {30, 50}, {33, 0}};
    ins.volumeEnvelope.sustain = 2;
    ins.fadeout = 2048;
    return ins;
}

XmInstrument MakeArp() {
    Tone tone = MakeTone(60, 44100.0, 0.0); // C-5
    std::vector<Partial> partials;
    AddPulse(partials, tone.cycles, tone.loopLength, tone.rate, MaxHz(16, tone.rate), 1.0, 0.28,
             nullptr);
    AddSaw(partials, tone.cycles, tone.loopLength, tone.rate, MaxHz(16, tone.rate), 0.4, nullptr);
    int prefix = Seconds(0.08, tone.rate);
    Signal s = RenderPartials(partials, tone.loopLength, prefix,
                              SweptLowpass(tone.rate, 1600.0, 7000.0, 0.02, 1.4));
    Fade(s, 32, 0);
    XmInstrument ins = Looped("Pluck", tone, s, prefix, 20, 90);
    ins.volumeEnvelope.points = {{0, 64}, {3, 38}, {8, 16}, {16, 0}};
    return ins;
}

XmInstrument MakeLead() {
    Tone tone = MakeTone(57, 44100.0, 0.5); // A-4, 220 cycles per half-second loop
    Noise phases{0x1ead};
    std::vector<Partial> partials;
    AddSaw(partials, tone.cycles, tone.loopLength, tone.rate, MaxHz(12, tone.rate), 1.0, &phases);
    AddSaw(partials, tone.cycles + 1, tone.loopLength, tone.rate, MaxHz(12, tone.rate), 0.8,
           &phases);
    AddPulse(partials, tone.cycles / 2, tone.loopLength, tone.rate, 3000.0, 0.4, 0.5, &phases);
    int prefix = Seconds(0.06, tone.rate);
    Signal s = RenderPartials(partials, tone.loopLength, prefix,
                              SweptLowpass(tone.rate, 3200.0, 5000.0, 0.025, 1.2));
    Fade(s, 64, 0);
    XmInstrument ins = Looped("Lead", tone, s, prefix, 56, 104);
    ins.volumeEnvelope.points = {{0, 0}, {1, 64}, {8, 52}, {11, 0}};
    ins.volumeEnvelope.sustain = 2;
    ins.fadeout = 4096;
    ins.vibratoType = 0;
    // About 5 Hz and a few cents, fading in so short notes stay straight.
    ins.vibratoSweep = 30;
    ins.vibratoDepth = 6;
    ins.vibratoRate = 20;
    return ins;
}

XmInstrument MakeBell() {
    Tone tone = MakeTone(60, 32000.0, 0.25); // C-5; 4 Hz grid for the inharmonic partials
    struct Mode {
        double ratio, amp, decay;
    };
    const Mode modes[] = {{1.0, 1.0, 0.9},    {2.0, 0.45, 0.5},   {2.76, 0.4, 0.3},
                          {4.07, 0.25, 0.18}, {5.43, 0.18, 0.11}, {8.93, 0.1, 0.05}};
    std::vector<Partial> partials;
    for (const Mode &m : modes) {
        int64_t cycles = std::llround(m.ratio * static_cast<double>(tone.cycles));
        double hz = static_cast<double>(cycles) * tone.rate / tone.loopLength;
        partials.push_back({cycles, m.amp, 0, hz});
    }
    int prefix = Seconds(0.35, tone.rate);
    double rate = tone.rate;
    int64_t base = tone.cycles;
    Signal s = RenderPartials(partials, tone.loopLength, prefix, [&](const Partial &p, int n) {
        double decay = 0.9;
        for (const Mode &m : modes)
            decay = p.cycles == std::llround(m.ratio * static_cast<double>(base)) ? m.decay : decay;
        return std::exp(-n / rate / decay);
    });
    Fade(s, 16, 0);
    XmInstrument ins = Looped("Bell", tone, s, prefix, 30, 170);
    ins.volumeEnvelope.points = {{0, 64}, {20, 40}, {60, 16}, {110, 0}};
    return ins;
}

XmInstrument MakeStab() {
    Tone tone = MakeTone(45, 32000.0, 0.5);
    Noise phases{0x57ab};
    std::vector<Partial> partials;
    for (int offset : {0, -1, 1}) {
        AddSaw(partials, tone.cycles + offset, tone.loopLength, tone.rate, MaxHz(12, tone.rate),
               1.0, &phases);
    }
    int prefix = Seconds(0.15, tone.rate);
    Signal s = RenderPartials(partials, tone.loopLength, prefix,
                              SweptLowpass(tone.rate, 900.0, 5000.0, 0.05, 1.5));
    Fade(s, 64, 0);
    XmInstrument ins = Looped("Stab", tone, s, prefix, 28, 128);
    ins.volumeEnvelope.points = {{0, 64}, {6, 40}, {16, 20}, {26, 0}};
    return ins;
}

XmInstrument MakeChoir() {
    Tone tone = MakeTone(45, 32000.0, 0.5);
    Noise phases{0xc0a1};
    std::vector<Partial> partials;
    for (int offset : {0, -1, 1}) {
        AddSaw(partials, tone.cycles + offset, tone.loopLength, tone.rate, MaxHz(9, tone.rate), 1.0,
               &phases);
    }
    // An open "ah": three formants over the glottal saw.
    for (Partial &p : partials) {
        double f = LowpassGain(p.hz, 800.0, 6.0) + 0.6 * LowpassGain(p.hz, 1150.0, 8.0) +
                   0.3 * LowpassGain(p.hz, 2900.0, 10.0);
        p.amp *= f * LowpassGain(p.hz, 3500.0, 0.7);
    }
    int prefix = 512;
    Signal s = RenderPartials(partials, tone.loopLength, prefix, nullptr);
    Fade(s, prefix, 0);
    XmInstrument ins = Looped("Choir", tone, s, prefix, 40, 128);
    ins.volumeEnvelope.points = {{0, 0}, {12, 64}, {30, 54}, {33, 0}};
    ins.volumeEnvelope.sustain = 2;
    ins.fadeout = 2048;
    ins.vibratoSweep = 40;
    ins.vibratoDepth = 4;
    ins.vibratoRate = 16;
    return ins;
}

XmInstrument MakeOrgan() {
    Tone tone = MakeTone(48, 44100.0, 0.0); // C-4
    std::vector<Partial> partials;
    const double drawbars[] = {1.0, 0.7, 0.5, 0.35, 0.0, 0.2, 0.0, 0.15};
    for (int h = 1; h <= 8; h++)
        partials.push_back({tone.cycles * h, drawbars[h - 1], 0, NoteHz(48) * h});
    int prefix = 256;
    Signal s = RenderPartials(partials, tone.loopLength, prefix, nullptr);
    Fade(s, prefix, 0);
    XmInstrument ins = Looped("Organ", tone, s, prefix, 24, 128);
    ins.volumeEnvelope.points = {{0, 0}, {2, 64}, {8, 0}};
    ins.volumeEnvelope.sustain = 1;
    ins.fadeout = 2048;
    return ins;
}
