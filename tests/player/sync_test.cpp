// Sync points in offline rendering: where they fire, how often, and what a
// sync procedure may do to the sync list while it runs.
#include "tests/player/player_test_util.h"

namespace {

class SyncTest : public PlayerTest {};

// One-time syncs at orders 2, 4 and 6 fire once at the first sample of their
// row (order 2 is the second play of pattern 0, not pattern 2), and never again
// on the later passes after the jump back to order 4; a repeating one at
// order 5 fires on every pass, once a pass.
TEST_F(SyncTest, PositionSyncsFireAtTheFirstSampleOfTheirRow) {
    LoadOffline(WriteXm(DemoLikeSong()));
    for (uint32_t order : {2u, 4u, 6u})
        BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(order, 0), RecordSync, order);
    BASSMOD_MusicSetSync(SYNC_POSITION, MakeParam(5, 0), RecordSync, 5);
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    Render(14 * PATTERN_FRAMES, TICK_FRAMES); // a row starts on a block's first frame
    for (uint32_t order : {2u, 4u, 6u}) {
        EXPECT_EQ(FiredSamples(order), std::vector<uint64_t>{order * PATTERN_FRAMES}) << order;
        EXPECT_EQ(FiredWithUser(order)[0].data, MakeParam(order, 0));
    }
    EXPECT_EQ(FiredSamples(5),
              (std::vector<uint64_t>{5 * PATTERN_FRAMES, 9 * PATTERN_FRAMES, 13 * PATTERN_FRAMES}));
}

// Instrument 1 on rows 0 and 5 (note 50), a note without instrument on row 12
// (the channel's instrument 1 plays it), a note delayed by ED2 on row 8, and
// what must not count: a tone portamento (row 10), a key off (row 14), a note
// delayed past the end of its row (row 16, ED5 at speed 3), and instrument 2.
TEST_F(SyncTest, InstrumentSyncFiresOnEveryRealTriggerAndOnlyThen) {
    XmSong song;
    song.orders = {0};
    song.patterns = {{24,
                      {{0, 0, 49, 1},
                       {5, 0, 50, 1},
                       {8, 1, 49, 1, 0x0e, 0xd2},
                       {10, 0, 61, 1, 3, 8},
                       {12, 0, 49, 0},
                       {14, 0, 97, 1},
                       {16, 1, 49, 1, 0x0e, 0xd5},
                       {20, 2, 49, 2}}}};
    LoadOffline(WriteXm(song), 0);
    BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(1, 0xffff), RecordSync, 1);
    BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(1, 49), RecordSync, 2);
    BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(2, 0xffff), RecordSync, 3);
    BASSMOD_MusicPlay();
    Render(24 * ROW_FRAMES, 1);
    const uint64_t delayed = 8 * ROW_FRAMES + 2 * TICK_FRAMES;
    EXPECT_EQ(FiredSamples(1),
              (std::vector<uint64_t>{0, 5 * ROW_FRAMES, delayed, 12 * ROW_FRAMES}));
    EXPECT_EQ(FiredSamples(2), (std::vector<uint64_t>{0, delayed, 12 * ROW_FRAMES}));
    EXPECT_EQ(FiredWithUser(2)[0].data, 49u);
    EXPECT_EQ(FiredSamples(3), std::vector<uint64_t>{20 * ROW_FRAMES});
}

// Registration and removal from inside a procedure, as the demo does at
// order 6: the firing sync removes itself and another, and adds a sync.
uint32_t selfHandle = 0, victimHandle = 0, addedHandle = 0;

void RemoveSelfAndAdd(uint32_t handle, uint32_t data, uint32_t user) {
    RecordSync(handle, data, user);
    EXPECT_EQ(handle, selfHandle);
    EXPECT_EQ(BASSMOD_MusicRemoveSync(handle) + BASSMOD_MusicRemoveSync(victimHandle), 2);
    addedHandle = BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(2, 0xffff), RecordSync, 4);
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
    // The other sync of the same tick still arrives, every time; the removed
    // one stops before its turn in that very tick; the added one starts with
    // the next note, not the one of its own tick.
    EXPECT_EQ(FiredWithUser(2).size(), 12u * 4);
    EXPECT_EQ(FiredWithUser(3).size(), 8u);
    auto added = FiredWithUser(4);
    ASSERT_EQ(added.size(), 12u * 4 - 9);
    EXPECT_EQ(added[0].sample, (2 * PATTERN_FRAMES + 16 * ROW_FRAMES) / 1000 * 1000);
    EXPECT_EQ(added[0].handle, addedHandle);
}

} // namespace
