#include "tools/module/synth.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

double NoteHz(int note) {
    return 440.0 * std::pow(2.0, (note - 57) / 12.0);
}

uint32_t Noise::Bits() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

float Noise::Next() {
    return static_cast<float>(Bits() >> 8) / 8388608.0f - 1.0f;
}

void Biquad::Set(Kind kind, double hz, double q, double rate) {
    double w = 2.0 * PI * std::min(hz, rate * 0.45) / rate;
    double alpha = std::sin(w) / (2.0 * q);
    double c = std::cos(w);
    double a0 = 1.0 + alpha;
    switch (kind) {
    case LOWPASS:
        b0 = (1.0 - c) / 2.0;
        b1 = 1.0 - c;
        b2 = b0;
        break;
    case HIGHPASS:
        b0 = (1.0 + c) / 2.0;
        b1 = -(1.0 + c);
        b2 = b0;
        break;
    case BANDPASS:
        b0 = alpha;
        b1 = 0.0;
        b2 = -alpha;
        break;
    }
    b0 /= a0;
    b1 /= a0;
    b2 /= a0;
    a1 = -2.0 * c / a0;
    a2 = (1.0 - alpha) / a0;
}

float Biquad::Run(float x) {
    double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return static_cast<float>(y);
}

Signal RenderPartials(const std::vector<Partial> &partials, int loopLength, int prefix,
                      const PartialShape &shape) {
    constexpr int BLOCK = 32;
    std::vector<double> table(static_cast<size_t>(loopLength));
    for (int i = 0; i < loopLength; i++)
        table[static_cast<size_t>(i)] = std::sin(2.0 * PI * i / loopLength);
    int length = prefix + loopLength;
    std::vector<double> sum(static_cast<size_t>(length), 0.0);
    for (const Partial &p : partials) {
        double gain = p.amp;
        for (int n = 0; n < length; n++) {
            if (n % BLOCK == 0 && n <= prefix && shape)
                gain = p.amp * shape(p, std::min(n, prefix));
            if (n == prefix && shape)
                gain = p.amp * shape(p, prefix);
            int64_t index = (p.cycles * n + p.phase) % loopLength;
            sum[static_cast<size_t>(n)] += gain * table[static_cast<size_t>(index)];
        }
    }
    return Signal(sum.begin(), sum.end());
}

namespace {

int64_t RandomPhase(Noise *noise, int loopLength) {
    return noise ? static_cast<int64_t>(noise->Bits() % static_cast<uint32_t>(loopLength)) : 0;
}

} // namespace

void AddSaw(std::vector<Partial> &out, int64_t cycles, int loopLength, double rate, double maxHz,
            double gain, Noise *randomPhase) {
    double baseHz = static_cast<double>(cycles) * rate / loopLength;
    for (int64_t h = 1; h * baseHz < maxHz && 2 * h * cycles < loopLength; h++) {
        out.push_back({h * cycles, gain / static_cast<double>(h),
                       RandomPhase(randomPhase, loopLength), static_cast<double>(h) * baseHz});
    }
}

void AddPulse(std::vector<Partial> &out, int64_t cycles, int loopLength, double rate, double maxHz,
              double gain, double width, Noise *randomPhase) {
    double baseHz = static_cast<double>(cycles) * rate / loopLength;
    for (int64_t h = 1; h * baseHz < maxHz && 2 * h * cycles < loopLength; h++) {
        double amp = std::sin(PI * static_cast<double>(h) * width) / static_cast<double>(h);
        if (std::fabs(amp) > 1e-9) {
            out.push_back({h * cycles, gain * amp, RandomPhase(randomPhase, loopLength),
                           static_cast<double>(h) * baseHz});
        }
    }
}

double LowpassGain(double hz, double cutoff, double q) {
    double r = hz / cutoff;
    double re = 1.0 - r * r;
    double im = r / q;
    return 1.0 / std::sqrt(re * re + im * im);
}

void Fade(Signal &s, int in, int out) {
    int n = static_cast<int>(s.size());
    for (int i = 0; i < in && i < n; i++)
        s[static_cast<size_t>(i)] *= static_cast<float>(i) / static_cast<float>(in);
    for (int i = 0; i < out && i < n; i++)
        s[static_cast<size_t>(n - 1 - i)] *= static_cast<float>(i) / static_cast<float>(out);
}

void Saturate(Signal &s, float drive) {
    for (float &x : s)
        x = std::tanh(drive * x) / drive;
}

void SetSample(XmSample &sample, const Signal &s, double rate, int designNote, float peak,
               int loopStart, int loopLength) {
    float top = 0.0f;
    for (float x : s)
        top = std::max(top, std::fabs(x));
    if (top <= 0.0f)
        throw std::logic_error("silent sample " + sample.name);
    float scale = peak * 32767.0f / top;
    sample.frames.resize(s.size());
    for (size_t i = 0; i < s.size(); i++)
        sample.frames[i] = static_cast<int16_t>(std::lround(s[i] * scale));
    if (sample.eightBit) {
        // Round to the stored high byte instead of truncating towards -inf.
        for (int16_t &f : sample.frames)
            f = static_cast<int16_t>(std::clamp(std::lround(f / 256.0), -128L, 127L) * 256);
    }
    // Linear table: C-4 with relative note r and finetune f plays at
    // 8363 * 2^((r + f/128) / 12) Hz; the player halves the finetune.
    double semis = 12.0 * std::log2(rate / 8363.0) + C4 - designNote;
    long relative = std::lround(semis);
    long fine = 2 * std::lround((semis - static_cast<double>(relative)) * 64.0);
    sample.relativeNote = static_cast<int8_t>(relative);
    sample.finetune = static_cast<int8_t>(std::clamp(fine, -128L, 126L));
    sample.loopStart = loopStart;
    sample.loopLength = loopLength;
}

PartialShape SweptLowpass(double rate, double floorHz, double rangeHz, double seconds, double q) {
    return [=](const Partial &p, int n) {
        double cutoff = floorHz + rangeHz * std::exp(-n / rate / seconds);
        return LowpassGain(p.hz, cutoff, q);
    };
}
