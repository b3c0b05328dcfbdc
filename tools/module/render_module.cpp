// render_module [--seconds S] [--solo CHANNEL] IN.xm OUT.wav: renders a module with libxmp as
// the demo plays it and writes a 16-bit stereo WAV file. Without --seconds it
// renders the intro and one pass of the loop. Prints the level of every order
// position played, then of each section of the soundtrack and of the whole
// rendering with its share of power below 100 Hz and its width. --solo plays
// one channel (counted from 0) alone.
#include "tools/module/measure.h"
#include "tools/module/render.h"

#include <getopt.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

void Put32(std::ofstream &out, uint32_t v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    out.write(b, 4);
}

void Put16(std::ofstream &out, uint16_t v) {
    const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    out.write(b, 2);
}

bool WriteWav(const char *path, const std::vector<int16_t> &pcm) {
    std::ofstream out(path, std::ios::binary);
    uint32_t bytes = static_cast<uint32_t>(pcm.size() * 2);
    out.write("RIFF", 4);
    Put32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 2);
    Put32(out, RENDER_RATE);
    Put32(out, RENDER_RATE * 4);
    Put16(out, 4);
    Put16(out, 16);
    out.write("data", 4);
    Put32(out, bytes);
    for (int16_t s : pcm)
        Put16(out, static_cast<uint16_t>(s));
    return static_cast<bool>(out);
}

// Frames [from, to) of the first pass through order positions first..last.
struct Span {
    size_t from = SIZE_MAX, to = 0;
};

Span OrdersSpan(const Rendering &r, int first, int last) {
    Span s;
    for (size_t i = 0; i < r.ticks.size(); i++) {
        const RenderTick &t = r.ticks[i];
        if (t.loopCount == 0 && t.order >= first && t.order <= last) {
            s.from = std::min(s.from, t.start);
            s.to = i + 1 < r.ticks.size() ? r.ticks[i + 1].start : r.pcm.size() / 2;
        }
    }
    return s;
}

void PrintSpan(const char *name, const Rendering &r, Span s) {
    if (s.from >= s.to)
        return;
    Level l = MeasureLevel(r.pcm, s.from, s.to);
    Width w = MeasureWidth(r.pcm, s.from, s.to);
    std::printf("%-9s peak %6.2f dBFS  rms %6.2f dBFS  below 100 Hz %4.1f %%  L/R correlation %5.2f"
                "  side %5.1f dB under mid\n",
                name, l.peakDb, l.rmsDb, 100.0 * LowShare(r.pcm, s.from, s.to, 100.0),
                w.correlation, -w.sideDb);
}

void PrintLevels(const Rendering &r) {
    size_t begin = 0;
    for (size_t i = 1; i <= r.ticks.size(); i++) {
        bool end = i == r.ticks.size() || r.ticks[i].order != r.ticks[begin].order ||
                   r.ticks[i].loopCount != r.ticks[begin].loopCount;
        if (!end)
            continue;
        size_t to = i == r.ticks.size() ? r.pcm.size() / 2 : r.ticks[i].start;
        Level l = MeasureLevel(r.pcm, r.ticks[begin].start, to);
        std::printf("order %2d  peak %6.2f dBFS  rms %6.2f dBFS\n", r.ticks[begin].order, l.peakDb,
                    l.rmsDb);
        begin = i;
    }
    // The soundtrack's sections by order position: the intro, the broken
    // build-up, the groove (patterns 9 and 10 twice), the climax; and the loop.
    const struct {
        const char *name;
        int first, last;
    } SECTIONS[] = {
        {"intro", 0, 3}, {"build", 4, 5}, {"groove", 6, 9}, {"climax", 10, 11}, {"loop", 4, 11}};
    for (const auto &section : SECTIONS)
        PrintSpan(section.name, r, OrdersSpan(r, section.first, section.last));
    PrintSpan("all", r, {0, r.pcm.size() / 2});
    std::printf("length    %.1f s\n", static_cast<double>(r.pcm.size() / 2) / RENDER_RATE);
}

} // namespace

int main(int argc, char **argv) {
    double seconds = 0.0;
    int solo = -1;
    const option options[] = {{"seconds", required_argument, nullptr, 's'},
                              {"solo", required_argument, nullptr, 'c'},
                              {}};
    for (int c; (c = getopt_long(argc, argv, "s:c:", options, nullptr)) != -1;)
        if (c == 's')
            seconds = std::atof(optarg);
        else if (c == 'c')
            solo = std::atoi(optarg);
        else
            return 2;
    if (argc - optind != 2) {
        std::fprintf(stderr, "usage: render_module [--seconds S] [--solo CHANNEL] IN.xm OUT.wav\n");
        return 2;
    }
    std::ifstream in(argv[optind], std::ios::binary);
    std::vector<uint8_t> module((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
    Rendering r;
    std::string error;
    if (!in || !RenderModule(module, seconds, r, error, solo)) {
        std::fprintf(stderr, "render_module: %s: %s\n", argv[optind],
                     error.empty() ? "cannot read" : error.c_str());
        return 1;
    }
    PrintLevels(r);
    if (!WriteWav(argv[optind + 1], r.pcm)) {
        std::fprintf(stderr, "render_module: cannot write %s\n", argv[optind + 1]);
        return 1;
    }
    return 0;
}
