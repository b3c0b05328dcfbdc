// Real-time playback with the machine's default device (without sound, the
// silent fallback), with no sound (device 0) and through SDL's callback with
// its dummy driver: the row-8 sync comes on the player's thread, not before
// its row (8 * 2133 frames, 387 ms) can be heard.
#include "tests/player/player_test_util.h"

#include <chrono>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

class LiveTest : public PlayerTest, public testing::WithParamInterface<const char *> {};

TEST_P(LiveTest, Row8SyncComesWhenItsRowIsHeard) {
    std::string device = GetParam();
    if (device == "dummy")
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    int32_t opened = BASSMOD_Init(device == "none" ? 0 : -1, 44100, 0);
    unsetenv("SDL_AUDIODRIVER");
    ASSERT_EQ(opened, 1) << BASSMOD_ErrorGetCode();
    auto module = WriteXm(DemoLikeSong());
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, MUSIC_LOOP), 1);
    BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(0, 8), RecordSync, 1);
    auto start = Clock::now();
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    while (FiredWithUser(1).empty() && Clock::now() - start < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(8 * ROW_FRAMES * 1000 / 44100));
    ASSERT_EQ(FiredWithUser(1).size(), 1u) << "no sync within 10 s";
    EXPECT_NE(FiredWithUser(1)[0].thread, std::this_thread::get_id());
}

INSTANTIATE_TEST_SUITE_P(Devices, LiveTest, testing::Values("default", "none", "dummy"));

// A library's exit() while the player plays (Xlib's, when the display goes)
// keeps its status instead of ending in std::terminate for a joinable thread.
TEST(LiveExit, ExitWhilePlayingKeepsItsStatus) {
    const std::string style = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((BASSMOD_Init(0, 44100, 0), std::exit(3)), testing::ExitedWithCode(3), "");
    GTEST_FLAG_SET(death_test_style, style);
}

} // namespace
