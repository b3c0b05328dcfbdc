// Real-time playback through the Windows output: the default device (waveOut,
// or the silent clock when Wine has no sound server) and no sound at all. The
// sync at row 8 arrives on the player's thread, never before the row can have
// been heard, and the song goes on at the pace of real time.
#include "tests/player/player_test_util.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

class WindowsLiveTest : public PlayerTest, public testing::WithParamInterface<int32_t> {};

TEST_P(WindowsLiveTest, Row8SyncComesWhenItsRowIsHeard) {
    ASSERT_EQ(BASSMOD_Init(GetParam(), 44100, 0), 1) << BASSMOD_ErrorGetCode();
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
    // Row 8 begins 8 * 2133 frames (387 ms) into the song; well before 2 s.
    EXPECT_GE(elapsed, std::chrono::milliseconds(8 * ROW_FRAMES * 1000 / 44100));
    EXPECT_LT(elapsed, std::chrono::seconds(2));
    EXPECT_EQ(BASSMOD_Free(), 1);
}

INSTANTIATE_TEST_SUITE_P(Devices, WindowsLiveTest, testing::Values(-1, 0));

TEST_F(PlayerTest, MissingNumberedDeviceIsAnError) {
    EXPECT_EQ(BASSMOD_Init(1000, 44100, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_DEVICE);
    EXPECT_EQ(BASSMOD_GetDeviceDescription(1000), nullptr);
    EXPECT_STREQ(BASSMOD_GetDeviceDescription(0), "No sound");
}

} // namespace
