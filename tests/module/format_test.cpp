// The load-bearing properties of the module: header, structure, order list,
// effects, and the rows on which instruments 2 and 6 sound.
#include "module_fixture.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>

namespace {

// Effect numbers as libxmp keeps them for XM (the XM letters, B = 0x0b).
constexpr int FX_JUMP = 0x0b;
constexpr int FX_BREAK = 0x0d;
constexpr int FX_EXTENDED = 0x0e;
constexpr int FX_SPEED = 0x0f;
constexpr int EX_PATTERN_LOOP = 0x6;
constexpr int EX_PATTERN_DELAY = 0xe;

const std::vector<int> ORDERS = {0, 1, 0, 2, 3, 4, 9, 10, 9, 10, 13, 14, 15, 14};
constexpr int PLAYED_ORDERS = 12; // orders 12 and 13 are never reached

bool Printable(const std::string &s) {
    for (char c : s) {
        if (!std::isprint(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

std::string Field(const std::vector<uint8_t> &b, size_t at, size_t size) {
    std::string s(reinterpret_cast<const char *>(b.data() + at), size);
    return s.substr(0, s.find('\0'));
}

const xmp_event &Event(const xmp_module *mod, int pattern, int row, int channel) {
    int track = mod->xxp[pattern]->index[channel];
    return mod->xxt[track]->event[row];
}

bool IsNote(const xmp_event &e) {
    return e.note > 0 && e.note <= XMP_MAX_KEYS;
}

TEST(ModuleFormat, SongHeaderFieldsAreTheOnesThePlayerReliesOn) {
    const std::vector<uint8_t> &b = Generated().bytes;
    ASSERT_GT(b.size(), 336u);
    EXPECT_EQ(Field(b, 0, 17), "Extended Module: ");
    EXPECT_EQ(b[37], 0x1a);
    EXPECT_EQ(Raw16(b, 58), 0x0104u);
    EXPECT_EQ(Raw32(b, 60), 276u);
    EXPECT_EQ(Raw16(b, 64), 14u); // song length
    EXPECT_EQ(Raw16(b, 66), 0u);  // restart position
    EXPECT_EQ(Raw16(b, 68), 14u); // channels
    EXPECT_EQ(Raw16(b, 70), 16u); // patterns
    EXPECT_EQ(Raw16(b, 72), 25u); // instruments
    EXPECT_EQ(Raw16(b, 74), 1u);  // linear frequency table
    EXPECT_EQ(Raw16(b, 76), 3u);  // speed
    EXPECT_EQ(Raw16(b, 78), 155u);
    for (size_t i = 0; i < 256; i++) {
        EXPECT_EQ(b[80 + i], i < ORDERS.size() ? ORDERS[i] : 0) << "order " << i;
    }
    std::string title = Field(b, 17, 20), tracker = Field(b, 38, 20);
    EXPECT_FALSE(title.empty());
    EXPECT_TRUE(Printable(title)) << title;
    EXPECT_TRUE(Printable(tracker)) << tracker;
}

// Walks patterns and instruments by their own size fields: every instrument
// header is 263 bytes with one 40-byte sample header, and the walk ends
// exactly at the end of the file.
TEST(ModuleFormat, LayoutWalksToTheEndOfTheFileAndStaysCompact) {
    const std::vector<uint8_t> &b = Generated().bytes;
    EXPECT_LT(b.size(), 1000000u);
    size_t at = 60 + Raw32(b, 60);
    for (int p = 0; p < 16; p++) {
        ASSERT_EQ(Raw32(b, at), 9u) << "pattern " << p;
        EXPECT_EQ(b[at + 4], 0) << "packing type";
        EXPECT_EQ(Raw16(b, at + 5), 64u) << "rows of pattern " << p;
        at += 9 + Raw16(b, at + 7);
    }
    for (int i = 0; i < 25; i++) {
        ASSERT_EQ(Raw32(b, at), 263u) << "instrument " << i + 1;
        EXPECT_EQ(Raw16(b, at + 27), 1u) << "samples of instrument " << i + 1;
        EXPECT_EQ(Raw32(b, at + 29), 40u);
        std::string name = Field(b, at + 4, 22);
        EXPECT_FALSE(name.empty());
        EXPECT_TRUE(Printable(name)) << name;
        size_t sample = at + 263;
        std::string sampleName = Field(b, sample + 18, 22);
        EXPECT_TRUE(Printable(sampleName)) << sampleName;
        EXPECT_EQ(b[sample + 17], 0) << "delta-encoded, not packed";
        at = sample + 40 + Raw32(b, sample);
    }
    EXPECT_EQ(at, b.size());
}

TEST(ModuleFormat, LibxmpSeesTheSameStructure) {
    const xmp_module *mod = Generated().info.mod;
    ASSERT_NE(mod, nullptr);
    EXPECT_EQ(mod->chn, 14);
    // libxmp appends one blank pattern of its own to XM songs.
    EXPECT_GE(mod->pat, 16);
    EXPECT_EQ(mod->ins, 25);
    EXPECT_EQ(mod->smp, 25);
    EXPECT_EQ(mod->spd, 3);
    EXPECT_EQ(mod->bpm, 155);
    EXPECT_EQ(mod->len, 14);
    EXPECT_EQ(mod->rst, 0);
    for (int i = 0; i < mod->len; i++) {
        EXPECT_EQ(mod->xxo[i], ORDERS[static_cast<size_t>(i)]);
    }
    for (int p = 0; p < 16; p++) {
        EXPECT_EQ(mod->xxp[p]->rows, 64) << "pattern " << p;
    }
    for (int i = 0; i < mod->ins; i++) {
        EXPECT_EQ(mod->xxi[i].nsm, 1) << "instrument " << i + 1;
        EXPECT_GT(mod->xxs[i].len, 0) << "sample " << i;
    }
}

// Nothing changes speed or tempo, breaks, delays or loops a pattern; the one
// jump is B04 on the last row of pattern 14.
TEST(ModuleFormat, OnlyJumpIsBackToOrderFourAtTheEndOfPatternFourteen) {
    const xmp_module *mod = Generated().info.mod;
    ASSERT_NE(mod, nullptr);
    int jumps = 0;
    for (int p = 0; p < mod->pat; p++) {
        for (int r = 0; r < 64; r++) {
            for (int c = 0; c < mod->chn; c++) {
                const xmp_event &e = Event(mod, p, r, c);
                for (auto [type, param] : {std::pair{e.fxt, e.fxp}, std::pair{e.f2t, e.f2p}}) {
                    SCOPED_TRACE(testing::Message()
                                 << "pattern " << p << " row " << r << " channel " << c);
                    EXPECT_NE(type, FX_SPEED);
                    EXPECT_NE(type, FX_BREAK);
                    if (type == FX_EXTENDED) {
                        EXPECT_NE(param >> 4, EX_PATTERN_LOOP);
                        EXPECT_NE(param >> 4, EX_PATTERN_DELAY);
                    }
                    if (type == FX_JUMP) {
                        jumps++;
                        EXPECT_EQ(p, 14);
                        EXPECT_EQ(r, 63);
                        EXPECT_EQ(param, 4);
                    }
                }
            }
        }
    }
    EXPECT_EQ(jumps, 1);
}

// Which instrument each note plays, row by row, with the channel's last
// instrument standing in for a note without one. Key: row; value: channels.
std::map<int, int> Triggers(const xmp_module *mod, int pattern, int instrument) {
    std::map<int, int> rows;
    std::vector<int> current(static_cast<size_t>(mod->chn), 0);
    for (int r = 0; r < 64; r++) {
        for (int c = 0; c < mod->chn; c++) {
            const xmp_event &e = Event(mod, pattern, r, c);
            current[static_cast<size_t>(c)] = e.ins ? e.ins : current[static_cast<size_t>(c)];
            if (IsNote(e) && current[static_cast<size_t>(c)] == instrument) {
                rows[r]++;
            }
        }
    }
    return rows;
}

std::map<int, int> Rows(std::initializer_list<int> rows, int channels) {
    std::map<int, int> m;
    for (int r : rows) {
        m[r] = channels;
    }
    return m;
}

TEST(ModuleFormat, KickSoundsOnItsRowsOnly) {
    const xmp_module *mod = Generated().info.mod;
    ASSERT_NE(mod, nullptr);
    const auto straight = Rows({0, 8, 16, 24, 32, 40, 48, 56}, 2);
    const auto broken = Rows({0, 12, 20, 24, 32, 44, 52, 56}, 1);
    for (int p : {0, 1, 2, 9, 10, 13, 14, 15}) {
        EXPECT_EQ(Triggers(mod, p, 2), straight) << "pattern " << p;
    }
    for (int p : {3, 4}) {
        EXPECT_EQ(Triggers(mod, p, 2), broken) << "pattern " << p;
    }
}

TEST(ModuleFormat, SnareSoundsOnTheBackbeatAndTheFillOnly) {
    const xmp_module *mod = Generated().info.mod;
    ASSERT_NE(mod, nullptr);
    std::set<int> played(ORDERS.begin(), ORDERS.begin() + PLAYED_ORDERS);
    for (int p : played) {
        auto expected =
            p == 4 ? Rows({8, 24, 40, 50, 52, 56, 60, 62}, 1) : Rows({8, 24, 40, 56}, 1);
        EXPECT_EQ(Triggers(mod, p, 6), expected) << "pattern " << p;
    }
}

// A sync fires on the note, so the drum cells must be plain notes: never an
// instrument number alone, never an effect that delays or retriggers them.
TEST(ModuleFormat, DrumCellsArePlainNotes) {
    const xmp_module *mod = Generated().info.mod;
    ASSERT_NE(mod, nullptr);
    for (int p = 0; p < mod->pat; p++) {
        for (int r = 0; r < 64; r++) {
            for (int c = 0; c < mod->chn; c++) {
                const xmp_event &e = Event(mod, p, r, c);
                if (e.ins == 2 || e.ins == 6) {
                    EXPECT_TRUE(IsNote(e)) << "pattern " << p << " row " << r;
                    EXPECT_EQ(e.fxt | e.fxp | e.f2t | e.f2p, 0) << "pattern " << p << " row " << r;
                }
            }
        }
    }
}

} // namespace
