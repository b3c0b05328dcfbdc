// Real-time playback: with the machine's default device (on a machine
// without sound, the silent fallback), with no sound at all (device 0) and
// through SDL's callback with its dummy driver. Syncs arrive on the player's
// own thread, never before their sample can have been heard.
#include "tests/player/player_test_util.h"

#include <chrono>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

class LiveTest : public PlayerTest {
  protected:
    void TearDown() override {
        PlayerTest::TearDown();
        unsetenv("SDL_AUDIODRIVER");
    }
    // Plays from the start and waits for the sync at order 0, row 8.
    void PlayAndWaitForRow8(int32_t device) {
        ASSERT_EQ(BASSMOD_Init(device, 44100, 0), 1) << BASSMOD_ErrorGetCode();
        auto module = WriteXm(DemoLikeSong());
        ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, MUSIC_LOOP), 1);
        BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(0, 8), RecordSync, 1);
        auto start = Clock::now();
        ASSERT_EQ(BASSMOD_MusicPlay(), 1);
        while (FiredWithUser(1).empty() && Clock::now() - start < std::chrono::seconds(10)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        auto elapsed = Clock::now() - start;
        auto got = FiredWithUser(1);
        ASSERT_EQ(got.size(), 1u) << "no sync within 10 s";
        EXPECT_NE(got[0].thread, std::this_thread::get_id());
        // Row 8 begins 8 * 2133 frames (387 ms) into the song.
        EXPECT_GE(elapsed, std::chrono::milliseconds(8 * ROW_FRAMES * 1000 / 44100));
        int32_t position = BASSMOD_MusicGetPosition();
        EXPECT_EQ(position & 0xffff, 0);
        EXPECT_GE(position >> 16, 8);
    }
};

TEST_F(LiveTest, DefaultDevicePlaysEvenWithoutSoundHardware) {
    PlayAndWaitForRow8(-1);
}

TEST_F(LiveTest, NoSoundDevicePlaysOnTheClock) {
    PlayAndWaitForRow8(0);
}

TEST_F(LiveTest, SdlCallbackOutputDeliversSyncs) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    PlayAndWaitForRow8(-1);
}

TEST_F(LiveTest, PausedSongStaysWhereItIs) {
    ASSERT_EQ(BASSMOD_Init(0, 44100, 0), 1);
    auto module = WriteXm(DemoLikeSong());
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, MUSIC_LOOP), 1);
    BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(2, 0xffff), RecordSync, 1);
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(900));
    ASSERT_EQ(BASSMOD_MusicPause(), 1);
    // What was handed on before the pause may still be heard; then nothing.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int32_t position = BASSMOD_MusicGetPosition();
    size_t notes = FiredWithUser(1).size();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(BASSMOD_MusicGetPosition(), position);
    EXPECT_EQ(FiredWithUser(1).size(), notes);
    EXPECT_EQ(position & 0xffff, 0);
    EXPECT_GE(position >> 16, 16); // row 16 starts 0.77 s in
    EXPECT_EQ(notes, 2u);          // rows 0 and 16
    // Playing on resumes there: the next note is row 32's.
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    auto start = Clock::now();
    while (FiredWithUser(1).size() < 3 && Clock::now() - start < std::chrono::seconds(10)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(BASSMOD_MusicGetPosition() >> 16, 32);
    EXPECT_LT(BASSMOD_MusicGetPosition() >> 16, 48);
}

// The frame loop's calls racing the player's thread; run under TSan.
void Churn(uint32_t handle, uint32_t data, uint32_t user) {
    RecordSync(handle, data, user);
    uint32_t added = BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(6, 0xffff), RecordSync, 2);
    BASSMOD_MusicRemoveSync(added);
}

TEST_F(LiveTest, ApiCallsFromAnotherThreadDuringPlayback) {
    ASSERT_EQ(BASSMOD_Init(0, 44100, 0), 1);
    auto module = WriteXm(DemoLikeSong());
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, MUSIC_LOOP), 1);
    BASSMOD_MusicSetSync(SYNC_INSTRUMENT, MakeParam(2, 0xffff), Churn, 1);
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    auto start = Clock::now();
    while (FiredWithUser(1).size() < 3 && Clock::now() - start < std::chrono::seconds(10)) {
        BASSMOD_MusicPlay();
        BASSMOD_MusicGetPosition();
        uint32_t h = BASSMOD_MusicSetSync(SYNC_POSITION, MakeParam(1, 0), RecordSync, 3);
        BASSMOD_MusicRemoveSync(h);
        BASSMOD_GetCPU();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_GE(FiredWithUser(1).size(), 3u);
    EXPECT_EQ(BASSMOD_Free(), 1);
}

} // namespace
