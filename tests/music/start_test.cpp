// The music start against the stand-in player: load from memory, the four
// registrations in order, then play and pause.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "assets/assets.h"
#include "driver/timeline.h"
#include "fake_player_fixture.h"
#include "fake_player_log.h"
#include "music/music.h"
#include "runtime/runtime.h"

using testing::ElementsAre;

namespace {

std::string Pointer(const void *address) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", address);
    return text;
}

class MusicStart : public FakePlayerTest {};

TEST_F(MusicStart, LoadsRegistersThenPlaysAndPauses) {
    StartMusic();
    const std::string sync = Pointer(reinterpret_cast<void *>(&OnMusicSync));
    EXPECT_THAT(FakePlayerCallTexts(),
                ElementsAre("BASSMOD_MusicLoad(1," + Pointer(musicModule) + ",0,0,4)",
                            "BASSMOD_MusicSetSync(2147483648,2," + sync + ",1)",
                            "BASSMOD_MusicSetSync(2147483648,4," + sync + ",2)",
                            "BASSMOD_MusicSetSync(2147483648,6," + sync + ",3)",
                            "BASSMOD_MusicSetSync(1,4294901766," + sync + ",4)",
                            "BASSMOD_MusicPlay()", "BASSMOD_MusicPause()"));
    EXPECT_TRUE(CapturedDialogs().empty());
}

TEST_F(MusicStart, AModuleThePlayerRefusesIsReportedAndStartUpGoesOn) {
    FakePlayerSetResult("BASSMOD_MusicLoad", 0);
    FakePlayerSetResult("BASSMOD_MusicSetSync", 0);
    FakePlayerSetResult("BASSMOD_ErrorGetCode", PLAYER_ERROR_FORMAT);
    StartMusic();
    std::vector<CapturedDialog> dialogs = CapturedDialogs();
    ASSERT_EQ(dialogs.size(), 5u);
    EXPECT_EQ(dialogs[0].text, "Error Description:\nUnsupported Format");
    EXPECT_EQ(FakePlayerCallTexts().back(), "BASSMOD_MusicPause()");
}

} // namespace
