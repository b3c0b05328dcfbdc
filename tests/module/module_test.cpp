// The soundtrack as the build makes it: make_module run once, the file read
// back and loaded into libxmp. Its header, structure, effects and the rows
// the scene syncs hang on; its samples as decoded; the generator's and the
// renderer's command lines.
#include "tests/support/process.h"
#include "tools/module/instruments.h"
#include "tools/module/measure.h"
#include "tools/module/render.h"
#include "tools/module/song.h"

#include <gtest/gtest.h>
#include <xmp.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace {

struct Module {
    std::vector<uint8_t> bytes;
    const xmp_module *mod = nullptr;
};

// The generator's file (make_module writes the same bytes), and libxmp's
// reading of it (kept for the whole run).
const Module &Generated() {
    static const Module module = [] {
        Module m{SerializeXm(ComposeSong())};
        xmp_context context = xmp_create_context();
        xmp_module_info info{};
        if (xmp_load_module_from_memory(context, m.bytes.data(), long(m.bytes.size())) == 0) {
            xmp_get_module_info(context, &info);
            m.mod = info.mod;
        }
        return m;
    }();
    EXPECT_NE(module.mod, nullptr) << "libxmp refuses the generated module";
    return module;
}

// A little-endian field of the file.
uint32_t Raw(size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; i--)
        value = value << 8 | Generated().bytes.at(at + size_t(i));
    return value;
}

const uint8_t ORDERS[] = {0, 1, 0, 2, 3, 4, 9, 10, 9, 10, 13, 14, 15, 14};

TEST(Module, HeaderHoldsWhatThePlayerReliesOn) {
    ASSERT_GT(Generated().bytes.size(), 336u);
    EXPECT_EQ(std::string(Generated().bytes.begin(), Generated().bytes.begin() + 17),
              "Extended Module: ");
    EXPECT_EQ(Raw(37, 1), 0x1au);
    // version, header size (4 bytes), orders, restart, channels, patterns,
    // instruments, linear table, speed, tempo
    const std::pair<size_t, uint32_t> FIELDS[] = {
        {58, 0x0104}, {64, 14}, {66, 0}, {68, 14}, {70, 16}, {72, 25}, {74, 1}, {76, 3}, {78, 155}};
    for (auto [at, value] : FIELDS)
        EXPECT_EQ(Raw(at, 2), value) << "at " << at;
    EXPECT_EQ(Raw(60, 4), 276u);
    for (size_t i = 0; i < 256; i++)
        EXPECT_EQ(Raw(80 + i, 1), i < sizeof ORDERS ? ORDERS[i] : 0u) << "order " << i;
}

const xmp_event &Event(int pattern, int row, int channel) {
    const xmp_module *mod = Generated().mod;
    return mod->xxt[mod->xxp[pattern]->index[channel]]->event[row];
}

// Every cell of the 16 patterns: nothing changes speed or tempo, breaks,
// loops or delays a pattern; the one jump is B04 on the last row of pattern
// 14. Every note is in A minor (with G or G#); the drums (instruments 2 and 6, on which the
// syncs fire) are plain notes, with no instrument-only cell or effect.
TEST(Module, EffectsNotesAndDrumCells) {
    ASSERT_NE(Generated().mod, nullptr);
    const std::set<int> A_MINOR = {9, 11, 0, 2, 4, 5, 7, 8}; // pitch classes, C = 0
    std::vector<std::string> jumps;
    for (int p = 0; p < 16; p++)
        for (int r = 0; r < 64; r++)
            for (int c = 0; c < 14; c++) {
                const xmp_event &e = Event(p, r, c);
                std::string where = std::to_string(p) + "/" + std::to_string(r);
                bool note = e.note > 0 && e.note <= XMP_MAX_KEYS;
                EXPECT_TRUE(!note || A_MINOR.count((e.note - 1) % 12)) << where;
                EXPECT_TRUE((e.ins != 2 && e.ins != 6) ||
                            (note && !(e.fxt | e.fxp | e.f2t | e.f2p)))
                    << where;
                for (auto [type, param] : {std::pair{e.fxt, e.fxp}, {e.f2t, e.f2p}}) {
                    EXPECT_TRUE(type != 0x0f && type != 0x0d) << where;
                    EXPECT_TRUE(type != 0x0e || (param >> 4 != 0x6 && param >> 4 != 0xe)) << where;
                    jumps.push_back(type == 0x0b ? where + " B" + std::to_string(param) : "");
                }
            }
    jumps.erase(std::remove(jumps.begin(), jumps.end(), ""), jumps.end());
    EXPECT_EQ(jumps, std::vector<std::string>{"14/63 B4"});
}

// The rows on which an instrument sounds (a note without an instrument plays
// the channel's last one), with how many channels.
std::map<int, int> Triggers(int pattern, int instrument) {
    std::map<int, int> rows;
    int current[14] = {};
    for (int r = 0; r < 64; r++)
        for (int c = 0; c < 14; c++) {
            const xmp_event &e = Event(pattern, r, c);
            current[c] = e.ins ? e.ins : current[c];
            rows[r] += e.note > 0 && e.note <= XMP_MAX_KEYS && current[c] == instrument;
        }
    std::erase_if(rows, [](auto row) { return row.second == 0; });
    return rows;
}

TEST(Module, SnareAndKickSoundOnTheirRowsOnly) {
    ASSERT_NE(Generated().mod, nullptr);
    const struct {
        int instrument, channels;
        std::vector<int> patterns, rows;
    } CASES[] = {
        {6, 1, {0, 1, 2, 3, 9, 10, 13, 14}, {8, 24, 40, 56}},
        {6, 1, {4}, {8, 24, 40, 50, 52, 56, 60, 62}},
        {2, 2, {0, 1, 2, 9, 10, 13, 14, 15}, {0, 8, 16, 24, 32, 40, 48, 56}},
        {2, 1, {3, 4}, {0, 12, 20, 24, 32, 44, 52, 56}},
    };
    for (const auto &c : CASES) {
        std::map<int, int> expected;
        for (int r : c.rows)
            expected[r] = c.channels;
        for (int p : c.patterns)
            EXPECT_EQ(Triggers(p, c.instrument), expected)
                << "instrument " << c.instrument << ", pattern " << p;
    }
}

// Each instrument's sample as libxmp decodes it: the frames the generator
// made, in 8 or 16 bits as it chose; a loop runs to the end, under an
// envelope that ends the sound.
TEST(Module, SamplesDecodeToTheSynthesisedFrames) {
    const xmp_module *mod = Generated().mod;
    ASSERT_NE(mod, nullptr);
    std::vector<XmInstrument> made = MakeInstruments();
    ASSERT_EQ(made.size(), 25u);
    for (int i = 0; i < 25; i++) {
        const XmSample &m = made[size_t(i)].sample;
        const xmp_sample &s = mod->xxs[mod->xxi[i].sub[0].sid];
        SCOPED_TRACE(m.name);
        ASSERT_EQ(s.len, int(m.frames.size()));
        bool wide = s.flg & XMP_SAMPLE_16BIT;
        EXPECT_EQ(!wide, m.eightBit);
        int mismatches = 0;
        for (int f = 0; f < s.len; f++)
            mismatches +=
                (wide ? reinterpret_cast<const int16_t *>(s.data)[f]
                      : reinterpret_cast<const int8_t *>(s.data)[f] * 256) != m.frames[size_t(f)];
        EXPECT_EQ(mismatches, 0);
        if (s.flg & XMP_SAMPLE_LOOP) {
            EXPECT_EQ(s.lpe, s.len);
            EXPECT_TRUE(mod->xxi[i].aei.flg & XMP_ENVELOPE_ON);
        }
    }
}

constexpr double ROW_SECONDS = 3 * 2.5 / 155;

// One pass (up to the loop back) ends on the last row of order 11; order 6
// (a scene sync) begins on time after 384 rows; below full scale, and never
// silent for a quarter second after the first row.
TEST(ModulePlay, OnePassIsOnTimeAndLoud) {
    Rendering r;
    std::string error;
    ASSERT_TRUE(RenderModule(Generated().bytes, 0.0, r, error)) << error;
    EXPECT_TRUE(r.ticks.back().order == 11 && r.ticks.back().row == 63);
    auto groove = std::find_if(r.ticks.begin(), r.ticks.end(),
                               [](const RenderTick &t) { return t.order == 6; });
    ASSERT_NE(groove, r.ticks.end());
    EXPECT_NEAR(double(groove->start) / RENDER_RATE, 384 * ROW_SECONDS, 0.03);
    size_t end = r.pcm.size() / 2, window = RENDER_RATE / 4;
    EXPECT_LT(MeasureLevel(r.pcm, 0, end).peakDb, -1.0);
    EXPECT_GT(MeasureLevel(r.pcm, 0, end).rmsDb, -24.0);
    for (size_t at = size_t(ROW_SECONDS * RENDER_RATE); at + window <= end; at += window)
        EXPECT_GT(MeasureLevel(r.pcm, at, at + window).rmsDb, -40.0) << at;
}

// make_module writes the generator's bytes, or fails with an exit code.
TEST(ModuleTools, MakeModuleWritesTheFileOrFailsWithAnExitCode) {
    std::string dir = MakeTempDir("module"), make = MAKE_MODULE_PATH " ";
    ASSERT_EQ(ShellStatus(make + dir + "/music.xm"), 0);
    EXPECT_TRUE(ReadFile(dir + "/music.xm") ==
                std::string(Generated().bytes.begin(), Generated().bytes.end()));
    const std::pair<std::string, int> FAILURES[] = {{make, 2},
                                                    {make + dir + "/missing/music.xm", 1}};
    for (const auto &[command, status] : FAILURES)
        EXPECT_EQ(ShellStatus(command), status) << command;
    std::filesystem::remove_all(dir);
}

TEST(ModuleTools, WriterRefusesWhatXmCannotHold) {
    XmModule m = ComposeSong();
    m.instruments[0].name = std::string(23, 'x');
    EXPECT_THROW(SerializeXm(m), std::runtime_error);
}

} // namespace
