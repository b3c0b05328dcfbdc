// The refused calls, offline.
#include "tests/player/player_test_util.h"

namespace {

class PlaybackTest : public PlayerTest {};

// Each refused call gives its result and leaves its code, for the calling
// thread alone.
void Refused(int64_t result, int64_t expected, int32_t code) {
    EXPECT_EQ(result, expected);
    EXPECT_EQ(BASSMOD_ErrorGetCode(), code);
}

TEST_F(PlaybackTest, CallsFailWithTheirCodes) {
    Refused(BASSMOD_MusicPlay(), 0, PLAYER_ERROR_INIT);
    ASSERT_EQ(BASSMOD_InitOffline(44100, 0), 1);
    Refused(BASSMOD_InitOffline(44100, 0), 0, PLAYER_ERROR_ALREADY);
    Refused(BASSMOD_MusicPlay(), 0, PLAYER_ERROR_NOMUSIC);
    auto module = WriteXm(DemoLikeSong());
    ASSERT_EQ(BASSMOD_MusicLoad(1, module.data(), 0, 0, 0), 1);
    Refused(BASSMOD_MusicSetSync(7, 0, RecordSync, 0), 0, PLAYER_ERROR_ILLTYPE);
    Refused(BASSMOD_MusicSetPosition(MakeParam(1, 64)), 0, PLAYER_ERROR_POSITION);
    Refused(BASSMOD_SetVolume(101), -1, PLAYER_ERROR_ILLPARAM);
    Refused(BASSMOD_MusicPause(), 0, PLAYER_ERROR_NOPLAY);
    std::thread([] { EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_OK); }).join();
    EXPECT_EQ(BASSMOD_ErrorGetCode(), PLAYER_ERROR_NOPLAY);
}

} // namespace
