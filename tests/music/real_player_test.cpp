// The music start with the real player and the real module, rendered offline
// (deterministic, no device): the syncs registered by StartMusic move the
// scene timeline at the rows where the song reaches orders 2, 4 and 6, the
// beat comes from instrument 6 and, after order 6, from instrument 2 as well,
// and the one-time syncs stay gone when the song jumps back to order 4.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "driver/timeline.h"
#include "fake_player_log.h"
#include "music/music.h"
#include "runtime/runtime.h"

namespace {

constexpr uint32_t RATE = 44100;
constexpr uint32_t CHUNK = RATE / 50; // one frame's worth of sound
// One row: 3 ticks of 2.5 / 155 s.
constexpr double ROW_FRAMES = 3.0 * 2.5 / 155.0 * RATE;

struct Chunk {
    int32_t mask;
    bool beat;
};

// Renders the song in frame-sized chunks, noting the mask after each chunk and
// whether a beat (pulse set to its peak) arrived in it.
std::vector<Chunk> Render(double seconds) {
    std::vector<int16_t> sound(2 * CHUNK);
    std::vector<Chunk> chunks;
    for (uint32_t n = 0; n < seconds * 50; n++) {
        pulse.store(0.0f);
        CallLibraryFunction<uint32_t>(SOUND_SLOT, "BASSMOD_RenderFrames", sound.data(), CHUNK);
        chunks.push_back({sceneMask.load(), pulse.load() == 0.3f});
    }
    return chunks;
}

size_t ChunkOfRow(double row) {
    return static_cast<size_t>(std::floor(row * ROW_FRAMES / CHUNK));
}

// The player may round a tick to whole samples: a row's start is allowed to
// fall into a neighbouring chunk.
bool BeatNearRow(const std::vector<Chunk> &chunks, double row) {
    size_t at = ChunkOfRow(row);
    return chunks[at - 1].beat || chunks[at].beat || chunks[at + 1].beat;
}

class RealPlayer : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/brumlakor-player-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
        setenv("TMPDIR", scratch.c_str(), 1);
        RuntimeStart();
        FakePlayerReset();
        InitSceneVariables();
        UseOfflinePlayer();
        InstallSoundLibrary();
        ASSERT_NE(LibrarySlotHandle(SOUND_SLOT), nullptr) << LibrarySlotError();
    }
    void TearDown() override {
        UninstallSoundLibrary();
        std::filesystem::remove_all(scratch);
    }
    std::string scratch;
};

TEST_F(RealPlayer, TheSongDrivesTheScenes) {
    StartMusic();
    EXPECT_TRUE(CapturedDialogs().empty()); // module loaded, four syncs accepted
    // Paused: nothing moves, however long the start-up takes.
    sceneMask.store(SCENE_PANELS);
    std::vector<Chunk> paused = Render(1.0);
    EXPECT_EQ(paused.back().mask, SCENE_PANELS);
    for (const Chunk &chunk : paused)
        EXPECT_FALSE(chunk.beat);

    MusicPlay(SOUND_SLOT);
    std::vector<Chunk> chunks = Render(45.0); // past the jump from order 11 to 4
    std::map<int32_t, size_t> firstChunk;
    for (size_t n = 0; n < chunks.size(); n++)
        firstChunk.emplace(chunks[n].mask, n);
    EXPECT_NEAR(firstChunk[SCENE_SLIDE], ChunkOfRow(128), 1);
    EXPECT_NEAR(firstChunk[SCENE_OBJECT], ChunkOfRow(256), 1);
    EXPECT_NEAR(firstChunk[SCENE_OBJECT | SCENE_TUNNEL], ChunkOfRow(384), 1);
    // Order 4 comes round again after order 11: the one-time syncs are gone.
    EXPECT_EQ(chunks.back().mask, SCENE_OBJECT | SCENE_TUNNEL);

    // Instrument 6 beats on rows 8, 24, 40 and 56 from the start; instrument 2
    // (row 16 of orders 6 and 2 alike) only once order 6 has registered it.
    EXPECT_TRUE(BeatNearRow(chunks, 8));
    EXPECT_TRUE(BeatNearRow(chunks, 24));
    EXPECT_FALSE(BeatNearRow(chunks, 16));
    EXPECT_FALSE(BeatNearRow(chunks, 2 * 64 + 16));
    EXPECT_TRUE(BeatNearRow(chunks, 6 * 64 + 16));
    EXPECT_TRUE(BeatNearRow(chunks, 7 * 64 + 16));
    EXPECT_TRUE(CapturedDialogs().empty());
}

} // namespace
