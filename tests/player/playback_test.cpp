// Play, pause, the loop option and the other calls on a loaded song, offline.
#include "tests/player/player_test_util.h"

namespace {

constexpr uint64_t PATTERN_FRAMES = 64 * ROW_FRAMES;

class PlaybackTest : public PlayerTest {};

std::vector<int16_t> Continuous(uint64_t frames) {
    BASSMOD_MusicPlay();
    return Render(frames, 1000);
}

TEST_F(PlaybackTest, PauseHoldsThePositionAndPlayResumesThere) {
    auto module = WriteXm(DemoLikeSong());
    LoadOffline(module);
    auto whole = Continuous(300000);
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, MUSIC_LOOP), 1);

    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    auto first = Render(123457, 1000);
    int32_t position = BASSMOD_MusicGetPosition();
    ASSERT_EQ(BASSMOD_MusicPause(), 1);
    EXPECT_EQ(BASSMOD_MusicIsActive(), 3);
    auto paused = Render(50000, 1000);
    EXPECT_TRUE(std::all_of(paused.begin(), paused.end(), [](int16_t v) { return v == 0; }));
    EXPECT_EQ(BASSMOD_MusicGetPosition(), position);
    EXPECT_EQ(BASSMOD_MusicPause(), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_NOPLAY);
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    auto second = Render(100000, 1000);
    // Playing on: another MusicPlay must not restart the song.
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    auto third = Render(300000 - 223457, 1000);

    first.insert(first.end(), second.begin(), second.end());
    first.insert(first.end(), third.begin(), third.end());
    EXPECT_TRUE(first == whole);
    EXPECT_NE(std::count(whole.begin(), whole.end(), 0), static_cast<long>(whole.size()));
}

TEST_F(PlaybackTest, PositionReportsOrderAndRowBeingHeard) {
    LoadOffline(WriteXm(DemoLikeSong()));
    BASSMOD_MusicPlay();
    Render(130 * ROW_FRAMES + 1, 1);
    EXPECT_EQ(BASSMOD_MusicGetPosition(), static_cast<int32_t>(MakeParam(2, 2)));
    ASSERT_EQ(BASSMOD_MusicSetPositionScaler(3), 1);
    Render(TICK_FRAMES, 1);
    EXPECT_EQ(BASSMOD_MusicGetPosition(), static_cast<int32_t>(MakeParam(2, 2 * 3 + 1)));
    EXPECT_EQ(BASSMOD_MusicSetPositionScaler(0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_ILLPARAM);
}

TEST_F(PlaybackTest, LoopOptionKeepsTheSongGoingAcrossItsJump) {
    LoadOffline(WriteXm(DemoLikeSong()), MUSIC_LOOP);
    BASSMOD_MusicSetSync(SYNC_POSITION, MakeParam(4, 0), RecordSync, 1);
    BASSMOD_MusicPlay();
    auto out = Render(20 * PATTERN_FRAMES, 8192);
    EXPECT_EQ(FiredWithUser(1).size(), 4u); // patterns 4, 8, 12, 16 of the run
    EXPECT_EQ(BASSMOD_MusicIsActive(), 1);
    auto tail = std::vector<int16_t>(out.end() - 20000, out.end());
    EXPECT_NE(std::count(tail.begin(), tail.end(), 0), static_cast<long>(tail.size()));
}

TEST_F(PlaybackTest, WithoutLoopOptionTheSongEndsAtItsJumpBack) {
    LoadOffline(WriteXm(DemoLikeSong()), 0);
    BASSMOD_MusicSetSync(SYNC_POSITION, MakeParam(4, 0), RecordSync, 1);
    BASSMOD_MusicPlay();
    auto out = Render(12 * PATTERN_FRAMES, 8192);
    EXPECT_EQ(FiredWithUser(1).size(), 1u);
    EXPECT_EQ(BASSMOD_MusicIsActive(), 0);
    auto after = std::vector<int16_t>(out.begin() + 2 * (8 * PATTERN_FRAMES), out.end());
    EXPECT_EQ(std::count(after.begin(), after.end(), 0), static_cast<long>(after.size()));
    // Playing again starts from the top.
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    Render(1, 1);
    EXPECT_EQ(BASSMOD_MusicGetPosition(), 0);
}

TEST_F(PlaybackTest, SetPositionJumpsAndRefusesPositionsOutsideTheSong) {
    LoadOffline(WriteXm(DemoLikeSong()));
    BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(3, 10), RecordSync, 1);
    ASSERT_EQ(BASSMOD_MusicSetPosition(MakeParam(3, 8)), 1);
    BASSMOD_MusicPlay();
    Render(3 * ROW_FRAMES, 1);
    ASSERT_EQ(FiredWithUser(1).size(), 1u);
    EXPECT_EQ(FiredWithUser(1)[0].sample, 2 * ROW_FRAMES);
    EXPECT_EQ(BASSMOD_MusicSetPosition(MakeParam(8, 0)), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_POSITION);
    EXPECT_EQ(BASSMOD_MusicSetPosition(MakeParam(1, 64)), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_POSITION);
}

TEST_F(PlaybackTest, VolumeScalesTheOutput) {
    auto module = WriteXm(DemoLikeSong());
    LoadOffline(module);
    auto full = Continuous(20000);
    ASSERT_EQ(BASSMOD_SetVolume(50), 1);
    EXPECT_EQ(BASSMOD_GetVolume(), 50);
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, 0), 1);
    auto half = Continuous(20000);
    for (size_t i = 0; i < full.size(); i++) {
        ASSERT_EQ(half[i], full[i] * 50 / 100) << i;
    }
    EXPECT_EQ(BASSMOD_SetVolume(101), -1);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_ILLPARAM);
}

TEST_F(PlaybackTest, SongFactsAndVersion) {
    LoadOffline(WriteXm(DemoLikeSong()));
    BASSMOD_MusicPlay();
    Render(2 * 44100, 4096);
    EXPECT_GT(BASSMOD_GetCPU(), 0.0f); // decoding time over music time, in percent
    EXPECT_LT(BASSMOD_GetCPU(), 100.0f);
    EXPECT_EQ(BASSMOD_MusicGetLength(0), 8);
    EXPECT_STREQ(BASSMOD_MusicGetName(), "player test");
    EXPECT_EQ(BASSMOD_GetVersion() & 0xffff, 1u);
    EXPECT_STREQ(BASSMOD_GetDeviceDescription(0), "No sound");
    ASSERT_EQ(BASSMOD_MusicFree(), 1);
    EXPECT_EQ(BASSMOD_MusicGetName(), nullptr);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_NOMUSIC);
}

TEST_F(PlaybackTest, CallsFailWithTheirCodes) {
    EXPECT_EQ(BASSMOD_MusicPlay(), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_INIT);
    EXPECT_EQ(BASSMOD_Free(), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_INIT);
    ASSERT_EQ(BASSMOD_InitOffline(44100, 0), 1);
    EXPECT_EQ(BASSMOD_InitOffline(44100, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_ALREADY);
    EXPECT_EQ(BASSMOD_MusicPlay(), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_NOMUSIC);
    EXPECT_EQ(BASSMOD_MusicSetSync(SYNC_POSITION, 0, RecordSync, 0), 0u);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_NOMUSIC);
    auto module = WriteXm(DemoLikeSong());
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, 0), 1);
    EXPECT_EQ(BASSMOD_MusicSetSync(7, 0, RecordSync, 0), 0u);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_ILLTYPE);
    EXPECT_EQ(BASSMOD_MusicSetSync(SYNC_POSITION, 0, nullptr, 0), 0u);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_ILLPARAM);
    EXPECT_EQ(BASSMOD_MusicRemoveSync(12345), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_HANDLE);
    EXPECT_EQ(BASSMOD_MusicPause(), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_NOPLAY);
    // The code belongs to the thread that made the failing call.
    std::thread([] { EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_OK); }).join();
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_NOPLAY);
    EXPECT_EQ(BASSMOD_Init(-1, 44100, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_ALREADY);
    ASSERT_EQ(BASSMOD_Free(), 1);
    EXPECT_EQ(BASSMOD_Init(-1, 1000, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_ILLPARAM);
    EXPECT_EQ(BASSMOD_Init(-2, 44100, 0), 0);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_DEVICE);
    EXPECT_EQ(BASSMOD_RenderFrames(nullptr, 1), 0u);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_INIT);
}

} // namespace
