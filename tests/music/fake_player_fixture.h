// The fixture of the binding and music-start tests: the stand-in player
// loaded into the sound slot through Init, with its call log emptied.
#pragma once

#include <gtest/gtest.h>

#include "fake_player_log.h"
#include "music/music.h"
#include "runtime/runtime.h"

class FakePlayerTest : public testing::Test {
  protected:
    void SetUp() override {
        RuntimeStart();
        FakePlayerReset();
        ASSERT_EQ(Init(SOUND_SLOT, FakePlayerPath('a'), -1, 44100, 0), 1);
        FakePlayerReset();
    }
    void TearDown() override {
        CloseLibrarySlot(SOUND_SLOT);
    }
};
