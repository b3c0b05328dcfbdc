// Sync points in offline rendering: where they fire, how often, and what a
// sync procedure may do to the sync list while it runs.
#include "tests/player/player_test_util.h"

namespace {

constexpr uint64_t PATTERN_FRAMES = 64 * ROW_FRAMES;

class SyncTest : public PlayerTest {};

TEST_F(SyncTest, PositionSyncsFireOnceAtTheFirstSampleOfTheirRow) {
    LoadOffline(WriteXm(DemoLikeSong()));
    for (uint32_t order : {2u, 4u, 6u}) {
        ASSERT_NE(
            BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(order, 0), RecordSync, order),
            0u);
    }
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    // Frame by frame, so the block a sync arrives in is the sample itself.
    // Order 2 is the second play of pattern 0, 128 rows in, not pattern 2.
    Render(2 * PATTERN_FRAMES + 1, 1);
    auto order2 = FiredWithUser(2);
    ASSERT_EQ(order2.size(), 1u);
    EXPECT_EQ(order2[0].sample, 128 * ROW_FRAMES); // 273024
    EXPECT_EQ(order2[0].data, MakeParam(2, 0));
    // On to well past the jump back to order 4, in 20 ms blocks: orders 4
    // and 6 once each, and never again on the later passes.
    const uint64_t base = renderCursor;
    Render(20 * PATTERN_FRAMES, 882);
    auto order4 = FiredWithUser(4), order6 = FiredWithUser(6);
    ASSERT_EQ(order4.size(), 1u);
    ASSERT_EQ(order6.size(), 1u);
    auto blockOf = [base](uint64_t sample) { return base + (sample - base) / 882 * 882; };
    EXPECT_EQ(order4[0].sample, blockOf(256 * ROW_FRAMES)); // 546048
    EXPECT_EQ(order6[0].sample, blockOf(384 * ROW_FRAMES)); // 819072
    EXPECT_EQ(FiredWithUser(2).size(), 1u);
}

TEST_F(SyncTest, RepeatingPositionSyncFiresOnEveryPassThroughTheLoop) {
    LoadOffline(WriteXm(DemoLikeSong()));
    BASSMOD_MusicSetSync(SYNC_POSITION, MakeParam(5, 0), RecordSync, 1);
    BASSMOD_MusicPlay();
    Render(14 * PATTERN_FRAMES, 4096);
    // Order 5 first at pattern 5 of the list, then every 4 patterns (4..7).
    auto passes = FiredWithUser(1);
    ASSERT_EQ(passes.size(), 3u);
    for (size_t i = 0; i < passes.size(); i++) {
        uint64_t start = (5 + 4 * i) * PATTERN_FRAMES;
        EXPECT_EQ(passes[i].sample, start / 4096 * 4096) << "pass " << i;
    }
}

// Instrument 1 on rows 0 and 5 (note 50), a note without instrument on row 12
// (the channel's instrument 1 plays it), a note delayed by ED2 on row 8, and
// what must not count: a tone portamento (row 10), a key off (row 14), a note
// delayed past the end of its row (row 16, ED5 at speed 3), and instrument 2.
XmSong TriggerSong() {
    XmSong song;
    song.orders = {0};
    XmPattern p;
    p.rows = 24;
    p.cells = {{0, 0, 49, 1},  {5, 0, 50, 1},  {8, 1, 49, 1, 0x0e, 0xd2},  {10, 0, 61, 1, 3, 8},
               {12, 0, 49, 0}, {14, 0, 97, 1}, {16, 1, 49, 1, 0x0e, 0xd5}, {20, 2, 49, 2}};
    song.patterns = {p};
    return song;
}

TEST_F(SyncTest, InstrumentSyncFiresOnEveryRealTriggerAndOnlyThen) {
    LoadOffline(WriteXm(TriggerSong()), 0);
    BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(1, 0xffff), RecordSync, 1);
    BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(1, 49), RecordSync, 2);
    BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(2, 0xffff), RecordSync, 3);
    BASSMOD_MusicPlay();
    Render(24 * ROW_FRAMES, 1);
    std::vector<uint64_t> any, c4;
    for (const Fired &f : FiredWithUser(1)) {
        any.push_back(f.sample);
    }
    for (const Fired &f : FiredWithUser(2)) {
        c4.push_back(f.sample);
        EXPECT_EQ(f.data, 49u);
    }
    EXPECT_EQ(any, (std::vector<uint64_t>{0, 5 * ROW_FRAMES, 8 * ROW_FRAMES + 2 * TICK_FRAMES,
                                          12 * ROW_FRAMES}));
    EXPECT_EQ(c4, (std::vector<uint64_t>{0, 8 * ROW_FRAMES + 2 * TICK_FRAMES, 12 * ROW_FRAMES}));
    ASSERT_EQ(FiredWithUser(3).size(), 1u);
    EXPECT_EQ(FiredWithUser(3)[0].sample, 20 * ROW_FRAMES);
}

// Registration and removal from inside a procedure, as the demo does at
// order 6: the firing sync removes itself and adds an instrument sync.
uint32_t selfHandle = 0;
uint32_t victimHandle = 0;
uint32_t addedHandle = 0;

void RemoveSelfAndAdd(uint32_t handle, uint32_t data, uint32_t user) {
    RecordSync(handle, data, user);
    EXPECT_EQ(handle, selfHandle);
    EXPECT_EQ(BASSMOD_MusicRemoveSync(handle), 1);
    EXPECT_EQ(BASSMOD_MusicRemoveSync(victimHandle), 1);
    addedHandle = BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(2, 0xffff), RecordSync, 4);
    EXPECT_NE(addedHandle, 0u);
}

TEST_F(SyncTest, ProcedureMayRemoveItselfAndOthersAndAddNewSyncs) {
    LoadOffline(WriteXm(DemoLikeSong()));
    // A repeating position sync, so only its own removal keeps it quiet.
    selfHandle = BASSMOD_MusicSetSync(SYNC_POSITION, MakeParam(2, 0), RemoveSelfAndAdd, 1);
    // Instrument 2 plays on row 0 of order 2, in the same tick.
    BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(2, 0xffff), RecordSync, 2);
    victimHandle = BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(2, 0xffff), RecordSync, 3);
    BASSMOD_MusicPlay();
    Render(12 * PATTERN_FRAMES, 1000);

    EXPECT_EQ(FiredWithUser(1).size(), 1u);
    // The other sync of the same tick still arrives, every time.
    auto kept = FiredWithUser(2);
    ASSERT_EQ(kept.size(), 12u * 4);
    EXPECT_EQ(kept[8].sample, 2 * PATTERN_FRAMES / 1000 * 1000);
    // The removed one stops before its turn in that very tick.
    EXPECT_EQ(FiredWithUser(3).size(), 8u);
    // The added one starts with the next note, not the one of its own tick.
    auto added = FiredWithUser(4);
    ASSERT_EQ(added.size(), 12u * 4 - 9);
    EXPECT_EQ(added[0].sample, (2 * PATTERN_FRAMES + 16 * ROW_FRAMES) / 1000 * 1000);
    EXPECT_EQ(added[0].handle, addedHandle);
}

TEST_F(SyncTest, OfflineRenderingIsDeterministicWhateverTheBlockSize) {
    auto module = WriteXm(DemoLikeSong());
    const std::vector<uint32_t> blocks = {1, 711, 882, 65536};
    std::vector<std::vector<int16_t>> outputs;
    std::vector<std::vector<uint64_t>> notes;
    for (uint32_t block : blocks) {
        SetUp();
        LoadOffline(module);
        BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(6, 0xffff), RecordSync, 1);
        BASSMOD_MusicPlay();
        outputs.push_back(Render(3 * PATTERN_FRAMES, block));
        std::vector<uint64_t> samples;
        for (const Fired &f : FiredWithUser(1)) {
            samples.push_back(f.sample);
        }
        notes.push_back(samples);
        BASSMOD_Free();
    }
    ASSERT_EQ(notes[0].size(), 12u);
    EXPECT_EQ(notes[0][0], 8 * ROW_FRAMES);
    for (size_t i = 1; i < blocks.size(); i++) {
        EXPECT_TRUE(outputs[i] == outputs[0]) << "block size " << blocks[i];
        ASSERT_EQ(notes[i].size(), notes[0].size()) << "block size " << blocks[i];
        for (size_t k = 0; k < notes[0].size(); k++) {
            EXPECT_EQ(notes[i][k], notes[0][k] / blocks[i] * blocks[i]) << "block " << blocks[i];
        }
    }
}

} // namespace
