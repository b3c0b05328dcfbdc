// Play, pause, the loop option and the other calls on a loaded song, offline.
#include "tests/player/player_test_util.h"

namespace {

class PlaybackTest : public PlayerTest {};

// Paused, the song is silent and keeps its place; played on, it goes on from
// there, and a MusicPlay while it plays does not restart it.
TEST_F(PlaybackTest, PauseHoldsThePositionAndPlayResumesThere) {
    auto module = WriteXm(DemoLikeSong());
    LoadOffline(module);
    BASSMOD_MusicPlay();
    auto whole = Render(300000, 1000);
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, MUSIC_LOOP), 1);
    ASSERT_EQ(BASSMOD_MusicPlay(), 1);
    auto heard = Render(123457, 1000);
    int32_t position = BASSMOD_MusicGetPosition();
    ASSERT_EQ(BASSMOD_MusicPause(), 1);
    EXPECT_EQ(BASSMOD_MusicIsActive(), 3);
    EXPECT_EQ(Render(50000, 1000), std::vector<int16_t>(100000, 0));
    EXPECT_EQ(BASSMOD_MusicGetPosition(), position);
    for (uint64_t frames : {100000, 300000 - 223457}) {
        ASSERT_EQ(BASSMOD_MusicPlay(), 1);
        auto more = Render(frames, 1000);
        heard.insert(heard.end(), more.begin(), more.end());
    }
    EXPECT_TRUE(heard == whole);
    EXPECT_NE(whole, std::vector<int16_t>(whole.size(), 0));
}

TEST_F(PlaybackTest, PositionReportsOrderAndRowBeingHeard) {
    LoadOffline(WriteXm(DemoLikeSong()));
    BASSMOD_MusicPlay();
    Render(130 * ROW_FRAMES + 1, 1);
    EXPECT_EQ(BASSMOD_MusicGetPosition(), static_cast<int32_t>(MakeParam(2, 2)));
    ASSERT_EQ(BASSMOD_MusicSetPositionScaler(3), 1);
    Render(TICK_FRAMES, 1);
    EXPECT_EQ(BASSMOD_MusicGetPosition(), static_cast<int32_t>(MakeParam(2, 2 * 3 + 1)));
}

// With the loop option the jump back to order 4 keeps the song going; without
// it the song ends there, silent, and plays again from the top.
TEST_F(PlaybackTest, TheLoopOptionDecidesWhetherTheJumpBackEndsTheSong) {
    for (uint32_t flags : {MUSIC_LOOP, 0u}) {
        SetUp();
        LoadOffline(WriteXm(DemoLikeSong()), flags);
        BASSMOD_MusicSetSync(SYNC_POSITION, MakeParam(4, 0), RecordSync, 1);
        BASSMOD_MusicPlay();
        auto out = Render(17 * PATTERN_FRAMES, 8192);
        auto tail = std::vector<int16_t>(out.end() - 20000, out.end());
        EXPECT_EQ(tail == std::vector<int16_t>(20000, 0), flags == 0);
        EXPECT_EQ(FiredWithUser(1).size(), flags ? 4u : 1u); // patterns 4, 8, 12, 16
        EXPECT_EQ(BASSMOD_MusicIsActive(), flags ? 1 : 0);
        ASSERT_EQ(BASSMOD_MusicPlay(), 1);
        Render(1, 1);
        EXPECT_EQ(BASSMOD_MusicGetPosition() == 0, flags == 0);
        BASSMOD_Free();
    }
}

TEST_F(PlaybackTest, SetPositionJumpsThere) {
    LoadOffline(WriteXm(DemoLikeSong()));
    BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, MakeParam(3, 10), RecordSync, 1);
    ASSERT_EQ(BASSMOD_MusicSetPosition(MakeParam(3, 8)), 1);
    BASSMOD_MusicPlay();
    Render(3 * ROW_FRAMES, 1);
    EXPECT_EQ(FiredSamples(1), std::vector<uint64_t>{2 * ROW_FRAMES});
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
    ASSERT_EQ(BASSMOD_SetVolume(50), 1);
    EXPECT_EQ(BASSMOD_GetVolume(), 50);
    ASSERT_EQ(BASSMOD_MusicFree(), 1);
    EXPECT_EQ(BASSMOD_MusicGetName(), nullptr);
}

// Each refused call gives its result and leaves its code, for the calling
// thread alone.
void Refused(int64_t result, int64_t expected, int32_t code) {
    EXPECT_EQ(result, expected);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), code);
}

TEST_F(PlaybackTest, CallsFailWithTheirCodes) {
    Refused(BASSMOD_MusicPlay(), 0, PLAYER_ERROR_INIT);
    Refused(BASSMOD_Free(), 0, PLAYER_ERROR_INIT);
    Refused(BASSMOD_RenderFrames(nullptr, 1), 0, PLAYER_ERROR_INIT);
    ASSERT_EQ(BASSMOD_InitOffline(44100, 0), 1);
    Refused(BASSMOD_InitOffline(44100, 0), 0, PLAYER_ERROR_ALREADY);
    Refused(BASSMOD_Init(-1, 44100, 0), 0, PLAYER_ERROR_ALREADY);
    Refused(BASSMOD_MusicPlay(), 0, PLAYER_ERROR_NOMUSIC);
    Refused(BASSMOD_MusicSetSync(SYNC_POSITION, 0, RecordSync, 0), 0, PLAYER_ERROR_NOMUSIC);
    Refused(BASSMOD_MusicGetName() == nullptr, 1, PLAYER_ERROR_NOMUSIC);
    auto module = WriteXm(DemoLikeSong());
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, 0), 1);
    Refused(BASSMOD_MusicSetSync(7, 0, RecordSync, 0), 0, PLAYER_ERROR_ILLTYPE);
    Refused(BASSMOD_MusicSetSync(SYNC_POSITION, 0, nullptr, 0), 0, PLAYER_ERROR_ILLPARAM);
    Refused(BASSMOD_MusicRemoveSync(12345), 0, PLAYER_ERROR_HANDLE);
    Refused(BASSMOD_MusicSetPosition(MakeParam(8, 0)), 0, PLAYER_ERROR_POSITION);
    Refused(BASSMOD_MusicSetPosition(MakeParam(1, 64)), 0, PLAYER_ERROR_POSITION);
    Refused(BASSMOD_MusicSetPositionScaler(0), 0, PLAYER_ERROR_ILLPARAM);
    Refused(BASSMOD_SetVolume(101), -1, PLAYER_ERROR_ILLPARAM);
    Refused(BASSMOD_MusicPause(), 0, PLAYER_ERROR_NOPLAY);
    std::thread([] { EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_OK); }).join();
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_NOPLAY);
    ASSERT_EQ(BASSMOD_Free(), 1);
    Refused(BASSMOD_Init(-1, 1000, 0), 0, PLAYER_ERROR_ILLPARAM);
    Refused(BASSMOD_Init(-2, 44100, 0), 0, PLAYER_ERROR_DEVICE);
}

} // namespace
