// Shared helpers of the player's tests: songs built for the tests, a recorder
// of sync events and offline rendering in blocks of a chosen size.
#pragma once

#include "player/player_api.h"
#include "tests/player/xm_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// libxmp 4.5 cuts every tick to a whole number of frames and carries no
// remainder: at 155 BPM a tick is floor(44100 * 2.5 / 155) = 711 frames (not
// 711.29), so a row of speed 3 is 2133 frames and row r starts at 2133 * r.
constexpr uint64_t TICK_FRAMES = 711;
constexpr uint64_t ROW_FRAMES = 3 * TICK_FRAMES;
constexpr uint64_t PATTERN_FRAMES = 64 * ROW_FRAMES;

struct Fired {
    uint64_t sample; // first frame of the render block in which it arrived
    uint32_t handle;
    uint32_t data;
    uint32_t user;
    std::thread::id thread;
};

// Records on the player's thread too: guarded.
void RecordSync(uint32_t handle, uint32_t data, uint32_t user);
std::vector<Fired> FiredWithUser(uint32_t user);
// The first frames of FiredWithUser(user).
std::vector<uint64_t> FiredSamples(uint32_t user);
std::vector<int16_t> Render(uint64_t frames, uint32_t block);

uint32_t MakeParam(uint32_t low, uint32_t high);

// The order list and note layout of the demo's soundtrack, in miniature:
// orders 0,1,0,2,3,4,5,6 with a jump from the end of pattern 6 back to order 4;
// instrument 6 on rows 8, 24, 40, 56 of every pattern, instrument 2 on rows
// 0, 16, 32, 48.
XmSong DemoLikeSong();

class PlayerTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Loads the song offline with the given flags; asserts success.
    void LoadOffline(const std::vector<uint8_t> &module, uint32_t flags = MUSIC_LOOP);
};
