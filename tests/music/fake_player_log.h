// The test side of the stand-in player: a log of the calls it received (and of
// its unloading), scripted results, and the message dialogs, which the tests
// capture instead of showing. The fixture loads the stand-in into the sound
// slot through Init and empties the log.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "music/music.h"
#include "runtime/runtime.h"

// Paths of the two builds: "a" exports every name, "b" lacks MusicPlay and
// ErrorGetCode and its calls are logged with a "b:" in front.
std::string FakePlayerPath(char tag);

// Clears the log and the dialogs; every call then returns 1, except
// ErrorGetCode, which returns 0.
void FakePlayerReset();
void FakePlayerSetResult(const std::string &name, int64_t result);
// "name(arguments)" for each logged call, the unloads included.
std::vector<std::string> FakePlayerCallTexts();
// "caption|text|flags" of each dialog.
std::vector<std::string> CapturedDialogs();

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
