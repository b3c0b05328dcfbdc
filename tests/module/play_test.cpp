// The module played by libxmp as the demo plays it: the song positions the
// scene syncs wait for, the loop, and the level of the sound.
#include "module_fixture.h"

#include "tools/module/measure.h"
#include "tools/module/render.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr double ROW_SECONDS = 3 * 2.5 / 155;
constexpr size_t PATTERN_FRAMES = static_cast<size_t>(64 * ROW_SECONDS * RENDER_RATE);

// Every row played, in order, with the frame at which it begins.
struct PlayedRow {
    int order, row, loopCount;
    size_t start;
};

std::vector<PlayedRow> PlayedRows(const Rendering &r) {
    std::vector<PlayedRow> rows;
    for (const RenderTick &t : r.ticks) {
        if (rows.empty() || rows.back().order != t.order || rows.back().row != t.row ||
            rows.back().loopCount != t.loopCount) {
            rows.push_back({t.order, t.row, t.loopCount, t.start});
        }
    }
    return rows;
}

const Rendering &Played(double seconds) {
    static Rendering forty{}, pass{};
    Rendering &r = seconds > 0 ? forty : pass;
    if (r.ticks.empty()) {
        std::string error;
        EXPECT_TRUE(RenderModule(Generated().bytes, seconds, r, error)) << error;
    }
    return r;
}

size_t FirstRowOfOrder(const std::vector<PlayedRow> &rows, int order) {
    for (size_t i = 0; i < rows.size(); i++) {
        if (rows[i].order == order) {
            return i;
        }
    }
    return SIZE_MAX;
}

TEST(ModulePlay, SyncOrdersAreReachedAfter128And256And384Rows) {
    std::vector<PlayedRow> rows = PlayedRows(Played(42.0));
    for (auto [order, index] : {std::pair{2, 128u}, {4, 256u}, {6, 384u}}) {
        size_t at = FirstRowOfOrder(rows, order);
        ASSERT_EQ(at, index) << "order " << order;
        EXPECT_EQ(rows[at].row, 0);
        double seconds = static_cast<double>(rows[at].start) / RENDER_RATE;
        EXPECT_NEAR(seconds, static_cast<double>(index) * ROW_SECONDS, 0.03) << "order " << order;
    }
}

// Every row follows its predecessor, except the one jump from the last row
// of order 11 back to order 4; orders 12 and 13 never play.
TEST(ModulePlay, LoopReturnsFromOrderElevenToFourAndNeverReachesTwelve) {
    std::vector<PlayedRow> rows = PlayedRows(Played(42.0));
    ASSERT_GT(rows.size(), 800u); // 40 s of rows
    int jumps = 0;
    for (size_t i = 1; i < rows.size(); i++) {
        const PlayedRow &a = rows[i - 1], &b = rows[i];
        EXPECT_LT(b.order, 12) << "row " << i;
        bool next = b.order == a.order && b.row == a.row + 1;
        bool nextOrder = a.row == 63 && b.row == 0 && b.order == a.order + 1;
        bool loop = a.order == 11 && a.row == 63 && b.order == 4 && b.row == 0;
        EXPECT_TRUE(next || nextOrder || loop) << "order " << a.order << " row " << a.row
                                               << " -> order " << b.order << " row " << b.row;
        jumps += loop;
    }
    EXPECT_EQ(jumps, 1);
    EXPECT_EQ(FirstRowOfOrder(rows, 4), 256u);
}

TEST(ModulePlay, OnePassStaysBelowFullScale) {
    const Rendering &r = Played(0.0);
    ASSERT_FALSE(r.ticks.empty());
    EXPECT_EQ(r.ticks.back().order, 11);
    Level all = MeasureLevel(r.pcm, 0, r.pcm.size() / 2);
    EXPECT_LT(all.peakDb, -1.0);
    EXPECT_GT(all.rmsDb, -24.0);
}

// After the first row no quarter second is silent, and the loop's patterns
// are within a few dB of each other in loudness.
TEST(ModulePlay, SoundIsContinuousAndEvenlyLoud) {
    const Rendering &r = Played(0.0);
    ASSERT_FALSE(r.ticks.empty());
    size_t window = RENDER_RATE / 4;
    size_t from = static_cast<size_t>(ROW_SECONDS * RENDER_RATE);
    for (size_t at = from; at + window <= r.pcm.size() / 2; at += window) {
        EXPECT_GT(MeasureLevel(r.pcm, at, at + window).rmsDb, -40.0)
            << "at " << static_cast<double>(at) / RENDER_RATE << " s";
    }
    std::vector<double> loud;
    std::vector<PlayedRow> rows = PlayedRows(r);
    for (int order = 4; order < 12; order++) {
        size_t begin = rows[FirstRowOfOrder(rows, order)].start;
        loud.push_back(MeasureLevel(r.pcm, begin, begin + PATTERN_FRAMES).rmsDb);
    }
    auto [quiet, loudest] = std::minmax_element(loud.begin(), loud.end());
    EXPECT_LT(*loudest - *quiet, 4.0);
}

// The balance of the mix: the low end no longer dominates, the sound is wide
// yet safe in mono, and the climax (orders 10 and 11) tops the groove.
TEST(ModulePlay, MixBalancesLowEndWidthAndClimax) {
    const Rendering &r = Played(0.0);
    ASSERT_FALSE(r.ticks.empty());
    size_t end = r.pcm.size() / 2;
    EXPECT_NEAR(LowShare(r.pcm, 0, end, 100.0), 0.40, 0.07);
    Width w = MeasureWidth(r.pcm, 0, end);
    EXPECT_GT(w.correlation, 0.6);
    EXPECT_NEAR(-w.sideDb, 10.0, 3.0);
    std::vector<PlayedRow> rows = PlayedRows(r);
    size_t groove = rows[FirstRowOfOrder(rows, 6)].start;
    size_t climax = rows[FirstRowOfOrder(rows, 10)].start;
    double lift =
        MeasureLevel(r.pcm, climax, end).rmsDb - MeasureLevel(r.pcm, groove, climax).rmsDb;
    EXPECT_GT(lift, 0.75);
    EXPECT_LT(lift, 2.5);
}

} // namespace
