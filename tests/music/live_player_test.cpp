// The music start with the real player on its own thread (the silent output
// stands in for a device on machines without one): the music waits paused
// until it is resumed, and the order-2 sync then reaches the timeline from the
// player's thread after 128 rows (about 6.19 s).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "driver/timeline.h"
#include "music/music.h"
#include "runtime/runtime.h"

namespace {

constexpr uint32_t ORDER_2_MS = 6194; // 128 rows of 3 ticks at 155 BPM

// Runs in a child; reports what it saw on stderr and ends like the demo.
void PlayUntilTheFirstSceneChange(const std::string &scratch) {
    setenv("TMPDIR", scratch.c_str(), 1);
    RuntimeStart();
    InitSceneVariables();
    InstallSoundLibrary();
    StartMusic();
    sceneMask.store(SCENE_PANELS);
    Delay(1000);
    std::fprintf(stderr, "paused: mask %d\n", sceneMask.load());
    uint32_t start = TickMilliseconds();
    MusicPlay(SOUND_SLOT);
    while (sceneMask.load() == SCENE_PANELS && TickMilliseconds() - start < 12000) {
        MusicPlay(SOUND_SLOT); // as the title picture does: no restart
        Delay(20);
    }
    uint32_t elapsed = TickMilliseconds() - start;
    std::fprintf(stderr, "mask %d after %u ms\n", sceneMask.load(), elapsed);
    if (elapsed + 400 < ORDER_2_MS || elapsed > ORDER_2_MS + 1500)
        std::fprintf(stderr, "off time\n");
    EndProcess();
}

TEST(LivePlayer, TheOrder2SyncArrivesFromThePlayersThread) {
    char pattern[] = "/tmp/brumlakor-live-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    EXPECT_EXIT(PlayUntilTheFirstSceneChange(pattern), testing::ExitedWithCode(0),
                "paused: mask 1\nmask 8 after [0-9]+ ms\n$");
    EXPECT_TRUE(std::filesystem::is_empty(pattern));
    std::filesystem::remove_all(pattern);
}

} // namespace
