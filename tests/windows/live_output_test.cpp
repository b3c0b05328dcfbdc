// Real-time playback through the Windows output, with the default device
// (waveOut, or the silent clock when Wine has no sound server) and with no
// sound: the row-8 sync comes on the player's thread, not before the row
// can be heard and well before 2 s. A numbered device that is not there is
// an error.
#include "tests/player/player_test_util.h"

#include <chrono>

namespace {
using namespace std::chrono_literals;

class WindowsLiveTest : public PlayerTest, public testing::WithParamInterface<int32_t> {};

TEST_P(WindowsLiveTest, Row8SyncComesWhenItsRowIsHeard) {
    EXPECT_EQ(BASSMOD_Init(1000, 44100, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_DEVICE);
    ASSERT_EQ(BASSMOD_Init(GetParam(), 44100, 0), 1) << BASSMOD_ErrorGetCode();
    auto module = WriteXm(DemoLikeSong());
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, MUSIC_LOOP), 1);
    BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(0, 8), RecordSync, 1);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    while (FiredWithUser(1).empty() && std::chrono::steady_clock::now() - start < 2s)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(FiredWithUser(1).size(), 1u) << "no sync within 2 s";
    EXPECT_NE(FiredWithUser(1)[0].thread, std::this_thread::get_id());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 8ms * ROW_FRAMES * 1000 / 44100);
}

INSTANTIATE_TEST_SUITE_P(Devices, WindowsLiveTest, testing::Values(-1, 0));

} // namespace
