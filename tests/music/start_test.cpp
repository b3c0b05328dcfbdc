// The music start against the stand-in player: load from memory, the four
// registrations in order, then play and pause.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "assets/assets.h"
#include "driver/timeline.h"
#include "fake_player_fixture.h"

namespace {

class MusicStart : public FakePlayerTest {};

TEST_F(MusicStart, LoadsRegistersThenPlaysAndPauses) {
    StartMusic();
    char module[32], sync[32];
    std::snprintf(module, sizeof module, "%p", static_cast<const void *>(musicModule));
    std::snprintf(sync, sizeof sync, "%p", reinterpret_cast<void *>(&OnMusicSync));
    const std::string to = std::string(",") + sync + ",";
    EXPECT_THAT(FakePlayerCallTexts(),
                testing::ElementsAre("BASSMOD_MusicLoad(1," + std::string(module) + ",0,0,4)",
                                     "BASSMOD_MusicSetSync(2147483648,2" + to + "1)",
                                     "BASSMOD_MusicSetSync(2147483648,4" + to + "2)",
                                     "BASSMOD_MusicSetSync(2147483648,6" + to + "3)",
                                     "BASSMOD_MusicSetSync(1,4294901766" + to + "4)",
                                     "BASSMOD_MusicPlay()", "BASSMOD_MusicPause()"));
    EXPECT_TRUE(CapturedDialogs().empty());
}

// A refused module and each refused registration show their own box; the
// start goes on to the pause.
TEST_F(MusicStart, AModuleThePlayerRefusesIsReportedAndStartUpGoesOn) {
    FakePlayerSetResult("BASSMOD_MusicLoad", 0);
    FakePlayerSetResult("BASSMOD_MusicSetSync", 0);
    FakePlayerSetResult("BASSMOD_ErrorGetCode", PLAYER_ERROR_FORMAT);
    StartMusic();
    ASSERT_EQ(CapturedDialogs().size(), 5u);
    EXPECT_EQ(CapturedDialogs()[0].text, "Error Description:\nUnsupported Format");
    EXPECT_EQ(FakePlayerCallTexts().back(), "BASSMOD_MusicPause()");
}

} // namespace
