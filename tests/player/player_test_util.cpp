#include "tests/player/player_test_util.h"

#include <algorithm>

namespace {
std::mutex firedLock;
std::vector<Fired> fired;
uint64_t renderCursor = 0;
} // namespace

void RecordSync(uint32_t handle, uint32_t data, uint32_t user) {
    std::lock_guard lock(firedLock);
    fired.push_back({renderCursor, handle, data, user, std::this_thread::get_id()});
}

std::vector<Fired> FiredWithUser(uint32_t user) {
    std::lock_guard lock(firedLock);
    std::vector<Fired> out = fired;
    std::erase_if(out, [user](const Fired &f) { return f.user != user; });
    return out;
}

std::vector<uint64_t> FiredSamples(uint32_t user) {
    std::vector<uint64_t> samples;
    for (const Fired &f : FiredWithUser(user))
        samples.push_back(f.sample);
    return samples;
}

std::vector<int16_t> Render(uint64_t frames, uint32_t block) {
    std::vector<int16_t> out(2 * frames);
    for (uint64_t done = 0; done < frames;) {
        uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(block, frames - done));
        EXPECT_EQ(BASSMOD_RenderFrames(out.data() + 2 * done, n), n);
        done += n;
        renderCursor += n;
    }
    return out;
}

uint32_t MakeParam(uint32_t low, uint32_t high) {
    return (low & 0xffff) | (high & 0xffff) << 16;
}

XmSong DemoLikeSong() {
    XmSong song;
    song.instruments = 6;
    song.orders = {0, 1, 0, 2, 3, 4, 5, 6};
    song.patterns.resize(7);
    for (SongPattern &pattern : song.patterns)
        for (int row = 0; row < 64; row += 16) {
            pattern.cells.push_back({row + 8, 0, 49, 6});
            pattern.cells.push_back({row, 1, 37, 2});
        }
    song.patterns[6].cells.push_back({63, 3, 0, 0, 0x0b, 4});
    return song;
}

void PlayerTest::SetUp() {
    std::lock_guard lock(firedLock);
    fired.clear();
    renderCursor = 0;
}

void PlayerTest::TearDown() {
    BASSMOD_Free();
}

void PlayerTest::LoadOffline(const std::vector<uint8_t> &module, uint32_t flags) {
    ASSERT_EQ(BASSMOD_InitOffline(44100, 0), 1);
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, flags), 1)
        << "error " << BASSMOD_ErrorGetCode();
}
