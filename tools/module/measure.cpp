#include "tools/module/measure.h"

#include "tools/module/render.h"

#include <cmath>
#include <complex>

namespace {

constexpr size_t WINDOW = 8192; // 5.4 Hz per bin at the rendering rate

// In-place iterative radix-2 transform; `x.size()` is a power of two.
void Fft(std::vector<std::complex<double>> &x) {
    size_t n = x.size();
    for (size_t i = 1, j = 0; i < n; i++) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        std::complex<double> step = std::polar(1.0, -2.0 * M_PI / static_cast<double>(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1.0;
            for (size_t k = 0; k < len / 2; k++, w *= step) {
                std::complex<double> a = x[i + k], b = x[i + k + len / 2] * w;
                x[i + k] = a + b;
                x[i + k + len / 2] = a - b;
            }
        }
    }
}

double Db(double ratio) {
    return ratio > 0 ? 10.0 * std::log10(ratio) : -200.0;
}

} // namespace

double LowShare(const std::vector<int16_t> &pcm, size_t from, size_t to, double hz) {
    to = std::min(to, pcm.size() / 2);
    size_t edge = static_cast<size_t>(std::ceil(hz * WINDOW / RENDER_RATE));
    double low = 0.0, all = 0.0;
    std::vector<std::complex<double>> x(WINDOW);
    std::vector<double> hann(WINDOW);
    for (size_t i = 0; i < WINDOW; i++)
        hann[i] = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / WINDOW);
    // Half-overlapping windows; the Hann windows then weigh every frame alike.
    for (size_t at = from; at + WINDOW <= to; at += WINDOW / 2) {
        for (int ch = 0; ch < 2; ch++) {
            for (size_t i = 0; i < WINDOW; i++)
                x[i] = hann[i] * pcm[2 * (at + i) + static_cast<size_t>(ch)];
            Fft(x);
            for (size_t k = 0; k <= WINDOW / 2; k++) {
                double power = std::norm(x[k]);
                all += power;
                low += k < edge ? power : 0.0;
            }
        }
    }
    return all > 0 ? low / all : 0.0;
}

Width MeasureWidth(const std::vector<int16_t> &pcm, size_t from, size_t to) {
    double ll = 0, rr = 0, lr = 0;
    for (size_t i = from; i < to && 2 * i + 1 < pcm.size(); i++) {
        double l = pcm[2 * i], r = pcm[2 * i + 1];
        ll += l * l;
        rr += r * r;
        lr += l * r;
    }
    // mid = (l + r) / 2, side = (l - r) / 2; their powers need no extra pass.
    double mid = ll + rr + 2 * lr, side = ll + rr - 2 * lr;
    double correlation = ll > 0 && rr > 0 ? lr / std::sqrt(ll * rr) : 0.0;
    return {correlation, Db(side) - Db(mid)};
}
