// The synthesised samples as libxmp decodes them from the file: the same
// frames the generator made, loops that close without a step, one-shots that
// end in silence, envelopes on everything that is keyed off.
#include "module_fixture.h"

#include "tools/module/instruments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

int Frame(const xmp_sample &s, int i) {
    if (s.flg & XMP_SAMPLE_16BIT) {
        return reinterpret_cast<const int16_t *>(s.data)[i];
    }
    return reinterpret_cast<const int8_t *>(s.data)[i] * 256;
}

const std::vector<XmInstrument> &Made() {
    static const std::vector<XmInstrument> list = MakeInstruments();
    return list;
}

TEST(ModuleSamples, DecodedFramesEqualTheSynthesisedOnes) {
    const xmp_module *mod = Generated().info.mod;
    ASSERT_NE(mod, nullptr);
    ASSERT_EQ(Made().size(), 25u);
    for (int i = 0; i < 25; i++) {
        const XmSample &made = Made()[static_cast<size_t>(i)].sample;
        const xmp_sample &s = mod->xxs[mod->xxi[i].sub[0].sid];
        SCOPED_TRACE(made.name);
        ASSERT_EQ(s.len, static_cast<int>(made.frames.size()));
        EXPECT_EQ((s.flg & XMP_SAMPLE_16BIT) == 0, made.eightBit);
        int mismatches = 0;
        for (int f = 0; f < s.len; f++) {
            mismatches += Frame(s, f) != made.frames[static_cast<size_t>(f)];
        }
        EXPECT_EQ(mismatches, 0);
    }
}

// The step from the last frame of a loop back to its first is no bigger than
// the biggest step inside the loop: the loop has no seam to click on.
TEST(ModuleSamples, LoopsCloseWithoutASeam) {
    const xmp_module *mod = Generated().info.mod;
    ASSERT_NE(mod, nullptr);
    int looped = 0;
    for (int i = 0; i < mod->smp; i++) {
        const xmp_sample &s = mod->xxs[i];
        if (!(s.flg & XMP_SAMPLE_LOOP)) {
            continue;
        }
        looped++;
        SCOPED_TRACE(s.name);
        int biggest = 0;
        for (int f = s.lps + 1; f < s.lpe; f++) {
            biggest = std::max(biggest, std::abs(Frame(s, f) - Frame(s, f - 1)));
        }
        EXPECT_LE(std::abs(Frame(s, s.lps) - Frame(s, s.lpe - 1)), biggest + 256);
        EXPECT_EQ(s.lpe, s.len) << "nothing after the loop";
    }
    EXPECT_GE(looped, 10);
}

TEST(ModuleSamples, OneShotsFadeToSilenceAndLoopedSoundsHaveEnvelopes) {
    const xmp_module *mod = Generated().info.mod;
    ASSERT_NE(mod, nullptr);
    for (int i = 0; i < mod->ins; i++) {
        const xmp_sample &s = mod->xxs[mod->xxi[i].sub[0].sid];
        SCOPED_TRACE(mod->xxi[i].name);
        if (s.flg & XMP_SAMPLE_LOOP) {
            // A looped sound must be ended by its envelope, not cut.
            EXPECT_GE(mod->xxi[i].aei.npt, 2);
            EXPECT_TRUE(mod->xxi[i].aei.flg & XMP_ENVELOPE_ON);
        } else {
            EXPECT_LE(std::abs(Frame(s, s.len - 1)), 256);
        }
    }
}

// The kick is short: from 150 ms on it stays 30 dB under its peak.
TEST(ModuleSamples, KickDiesAwayWithin150Milliseconds) {
    const std::vector<int16_t> &f = Made()[INS_KICK - 1].sample.frames;
    auto peak = [&](size_t from) {
        return std::abs(*std::max_element(f.begin() + static_cast<long>(from), f.end(),
                                          [](int a, int b) { return std::abs(a) < std::abs(b); }));
    };
    EXPECT_LT(20 * std::log10(peak(6615) / static_cast<double>(peak(0))), -30.0); // 44.1 kHz
}

} // namespace
