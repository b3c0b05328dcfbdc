// Real-time playback through the platform's sound output, Linux's and
// Windows', with the default device (without a sound server, the silent
// fallback) and with no sound (device 0); on Linux the build runs the default
// case once more through SDL's callback with its dummy driver. The row-8 sync
// comes on the player's thread, not before its row (8 * 2133 frames, 387 ms)
// can be heard. A numbered device that is not there is an error.
#include "tests/player/player_test_util.h"

#include <chrono>

namespace {
using namespace std::chrono_literals;

class LiveTest : public PlayerTest, public testing::WithParamInterface<int32_t> {};

TEST_P(LiveTest, Row8SyncComesWhenItsRowIsHeard) {
    EXPECT_EQ(BASSMOD_Init(1000, 44100, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_DEVICE);
    ASSERT_EQ(BASSMOD_Init(GetParam(), 44100, 0), 1) << BASSMOD_ErrorGetCode();
    auto module = WriteXm(DemoLikeSong());
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, MUSIC_LOOP), 1);
    BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(0, 8), RecordSync, 1);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    while (FiredWithUser(1).empty() && std::chrono::steady_clock::now() - start < 10s)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(FiredWithUser(1).size(), 1u) << "no sync within 10 s";
    EXPECT_NE(FiredWithUser(1)[0].thread, std::this_thread::get_id());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 8ms * ROW_FRAMES * 1000 / 44100);
}

INSTANTIATE_TEST_SUITE_P(Devices, LiveTest, testing::Values(-1, 0));

// A library's exit() while the player plays (Xlib's, when the display goes)
// keeps its status instead of ending in std::terminate for a joinable thread.
TEST(LiveExit, ExitWhilePlayingKeepsItsStatus) {
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((BASSMOD_Init(0, 44100, 0), std::exit(3)), testing::ExitedWithCode(3), "");
    GTEST_FLAG_SET(death_test_style, style);
}

} // namespace
