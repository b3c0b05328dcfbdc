// Real-time playback: with the machine's default device (on a machine without
// sound, the silent fallback), with no sound at all (device 0) and through
// SDL's callback with its dummy driver. The sync of row 8 arrives on the
// player's own thread, never before its sample can have been heard; paused,
// the song holds its place.
#include "tests/player/player_test_util.h"

#include <chrono>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

class LiveTest : public PlayerTest, public testing::WithParamInterface<const char *> {
  protected:
    void TearDown() override {
        PlayerTest::TearDown();
        unsetenv("SDL_AUDIODRIVER");
    }
};

TEST_P(LiveTest, Row8SyncComesWhenItsRowIsHeardAndPauseHolds) {
    std::string device = GetParam();
    if (device == "dummy")
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(BASSMOD_Init(device == "none" ? 0 : -1, 44100, 0), 1) << BASSMOD_ErrorGetCode();
    auto module = WriteXm(DemoLikeSong());
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, MUSIC_LOOP), 1);
    BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(0, 8), RecordSync, 1);
    auto start = Clock::now();
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    while (FiredWithUser(1).empty() && Clock::now() - start < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    auto elapsed = Clock::now() - start;
    ASSERT_EQ(FiredWithUser(1).size(), 1u) << "no sync within 10 s";
    EXPECT_NE(FiredWithUser(1)[0].thread, std::this_thread::get_id());
    // Row 8 begins 8 * 2133 frames (387 ms) into the song.
    EXPECT_GE(elapsed, std::chrono::milliseconds(8 * ROW_FRAMES * 1000 / 44100));
    ASSERT_EQ(BASSMOD_MusicPause(), 1);
    // What was handed on before the pause may still be heard; then nothing.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int32_t position = BASSMOD_MusicGetPosition();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(BASSMOD_MusicGetPosition(), position);
    EXPECT_EQ(position & 0xffff, 0);
    EXPECT_GE(position >> 16, 8);
}

INSTANTIATE_TEST_SUITE_P(Devices, LiveTest, testing::Values("default", "none", "dummy"));

} // namespace
