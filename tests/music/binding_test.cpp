// The binding against the stand-in player, loaded through the real library
// slots: each call looks its name up afresh, Init and Free keep their order
// with the slot, the arguments and clamps, the results and the error reporter.
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_player_fixture.h"
#include "fake_player_log.h"
#include "music/music.h"
#include "runtime/runtime.h"

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

class Binding : public FakePlayerTest {};

TEST_F(Binding, LooksTheFunctionUpAtEachCall) {
    EXPECT_EQ(MusicPlay(SOUND_SLOT), 1);
    // Another library in the slot: the next call reaches it, nothing is cached.
    ASSERT_NE(OpenLibrarySlot(SOUND_SLOT, FakePlayerPath('b').c_str()), nullptr);
    EXPECT_EQ(MusicPause(SOUND_SLOT), 1);
    EXPECT_EQ(MusicPlay(SOUND_SLOT), 0); // that build lacks it: no call at all
    std::vector<std::string> calls;
    for (const FakeCall &call : FakePlayerCalls())
        calls.push_back(call.tag + call.name);
    EXPECT_THAT(calls, ElementsAre("aBASSMOD_MusicPlay", "aunload", "bBASSMOD_MusicPause"));
}

// Slots beyond the first ten, and none below 0; a null path loads nothing;
// the runtime's end unloads every library still open.
TEST_F(Binding, TheRuntimesEndUnloadsEverySlot) {
    ASSERT_NE(OpenLibrarySlot(12, FakePlayerPath('b').c_str()), nullptr);
    EXPECT_EQ(OpenLibrarySlot(1, nullptr), nullptr);
    EXPECT_EQ(CallLibraryFunction<int32_t>(-1, "BASSMOD_MusicPause"), 0);
    EXPECT_EQ(CallLibraryFunction<int32_t>(12, "BASSMOD_MusicPause"), 1);
    RuntimeEnd();
    EXPECT_EQ(LibrarySlotHandle(SOUND_SLOT), nullptr);
    EXPECT_EQ(LibrarySlotHandle(12), nullptr);
    EXPECT_THAT(FakePlayerCallTexts(), ElementsAre("BASSMOD_MusicPause()", "unload()", "unload()"));
}

// Init loads, then calls; a library that cannot be loaded is never called and
// leaves the slot as it was. Free calls the player before unloading it, once.
TEST_F(Binding, InitLoadsBeforeAndFreeUnloadsAfterTheCall) {
    void *held = LibrarySlotHandle(SOUND_SLOT);
    EXPECT_EQ(Init(SOUND_SLOT, "/nonexistent/bassmod.dll", -1, 44100, 0), 0);
    EXPECT_EQ(LibrarySlotHandle(SOUND_SLOT), held);
    FakePlayerSetResult("BASSMOD_Free", 7);
    EXPECT_EQ(Free(SOUND_SLOT), 7);
    EXPECT_EQ(LibrarySlotHandle(SOUND_SLOT), nullptr);
    EXPECT_EQ(Free(SOUND_SLOT), 0);
    FakePlayerSetResult("BASSMOD_Init", 0);
    EXPECT_EQ(Init(SOUND_SLOT, FakePlayerPath('a'), -1, 44100, 0), 0);
    EXPECT_THAT(FakePlayerCallTexts(),
                ElementsAre("BASSMOD_Free()", "unload()", "BASSMOD_Init(-1,44100,0)"));
    EXPECT_TRUE(FakePlayerCalls()[0].slotHeld && FakePlayerCalls()[2].slotHeld);
}

// The library's own order; bounds only from above; the module's address
// whole, above 4 GiB too (never dereferenced by the stand-in).
TEST_F(Binding, PassesArgumentsInTheLibrarysOrder) {
    MusicSetSync(SOUND_SLOT, SYNC_INSTRUMENT, MakeLong(2, -1), nullptr, 4);
    MusicRemoveSync(SOUND_SLOT, 41);
    MusicSetPosition(SOUND_SLOT, 3, 7);
    MusicPlayEx(SOUND_SLOT, -2, 5, 1);
    MusicLoad(SOUND_SLOT, 1, std::to_string(0x7f12345678f0u), 0, 0, MUSIC_LOOP);
    MusicLoad(SOUND_SLOT, 0, "/music/file.xm", 16, 32, 0);
    MusicSetPositionScaler(SOUND_SLOT, 300);
    MusicSetPositionScaler(SOUND_SLOT, 256);
    SetVolume(SOUND_SLOT, 150);
    SetVolume(SOUND_SLOT, -5);
    MusicSetAmplify(SOUND_SLOT, 101);
    MusicSetPanSep(SOUND_SLOT, 1000);
    MusicSetPanSep(SOUND_SLOT, 99);
    EXPECT_THAT(FakePlayerCallTexts(),
                ElementsAre("BASSMOD_MusicSetSync(1,4294901762,(nil),4)",
                            "BASSMOD_MusicRemoveSync(41)", "BASSMOD_MusicSetPosition(458755)",
                            "BASSMOD_MusicPlayEx(-2,5,1)",
                            "BASSMOD_MusicLoad(1,0x7f12345678f0,0,0,4)",
                            "BASSMOD_MusicLoad(0,/music/file.xm,16,32,0)",
                            "BASSMOD_MusicSetPositionScaler(256)",
                            "BASSMOD_MusicSetPositionScaler(256)", "BASSMOD_SetVolume(100)",
                            "BASSMOD_SetVolume(4294967291)", "BASSMOD_MusicSetAmplify(100)",
                            "BASSMOD_MusicSetPanSep(100)", "BASSMOD_MusicSetPanSep(99)"));
}

// Each result as the operation gives it, and whether it meant a failure that
// the reporter shows.
struct Result {
    const char *function;
    int64_t scripted;
    std::function<int64_t()> call;
    int64_t expected;
    bool reported;
};

const Result RESULTS[] = {
    {"BASSMOD_GetCPU", 1234, [] { return GetCPU(SOUND_SLOT); }, 1234, false},
    {"BASSMOD_MusicGetName", 0, [] { return MusicGetName(SOUND_SLOT).size(); }, 0, true},
    {"BASSMOD_GetDeviceDescription", 0, [] { return GetDeviceDescription(0, 1).size(); }, 0, true},
    {"BASSMOD_MusicGetLength", 0x10005, [] { return MusicGetLength(SOUND_SLOT, 0); }, 5, false},
    {"BASSMOD_MusicGetLength", 0xFFFF, [] { return MusicGetLength(SOUND_SLOT, 0); }, -1, true},
    {"BASSMOD_MusicGetPosition", 0x5FFFF, [] { return MusicGetPosition(SOUND_SLOT); }, -1, true},
    {"BASSMOD_MusicGetPosition", 0x5FFFE, [] { return MusicGetPosition(SOUND_SLOT); }, -2, false},
    {"BASSMOD_SetVolume", -1, [] { return SetVolume(SOUND_SLOT, 50); }, -1, true},
    {"BASSMOD_SetVolume", 0, [] { return SetVolume(SOUND_SLOT, 50); }, 0, false},
    {"BASSMOD_MusicLoad", 0, [] { return MusicLoad(SOUND_SLOT, 1, "0", 0, 0, 0); }, 0, true},
    {"BASSMOD_MusicSetSync", 0, [] { return MusicSetSync(0, 1, 6, nullptr, 4); }, 0, true},
};

TEST_F(Binding, ResultsAndTheFailuresThatAreReported) {
    for (const Result &result : RESULTS) {
        FakePlayerReset();
        FakePlayerSetResult("BASSMOD_ErrorGetCode", PLAYER_ERROR_HANDLE);
        FakePlayerSetResult(result.function, result.scripted);
        EXPECT_EQ(result.call(), result.expected) << result.function;
        EXPECT_EQ(CapturedDialogs().size(), result.reported ? 1u : 0u) << result.function;
    }
    FakePlayerSetResult("BASSMOD_GetVersion", 0x00020004);
    EXPECT_EQ(GetVersion(SOUND_SLOT), "4.2");
    EXPECT_EQ(MusicGetName(SOUND_SLOT), "fake text");
}

// The player's error codes and their messages, word for word; codes without
// one show nothing.
TEST_F(Binding, TheReporterShowsThePlayersMessageForItsCode) {
    const int32_t CODES[] = {0, 1, 2, 3, 5, 6, 7, 8, 14, 16, 19, 20, 23, 24, 28, 30, -1};
    const char *MESSAGES[] = {"All is OK",
                              "Memory Error",
                              "Can't Open the File",
                              "Can't Find a Free Sound Driver",
                              "Invalid Handle",
                              "Unsupported Format",
                              "Invalid Playback Position",
                              "BASS_Init Has Not Been Successfully Called",
                              "Already Initialized",
                              "Not Paused",
                              "An Illegal Type Was Specified",
                              "An Illegal Parameter Was Specified",
                              "Illegal Device Number",
                              "Not Playing",
                              "No Music",
                              "No Sync Avaliable",
                              "Some Other Mystery Error"};
    for (int i = 0; i < 17; i++) {
        FakePlayerSetResult("BASSMOD_ErrorGetCode", CODES[i]);
        EXPECT_EQ(ReportSoundError(SOUND_SLOT), MESSAGES[i]);
        ASSERT_EQ(CapturedDialogs().size(), i + 1u);
        const CapturedDialog dialog = CapturedDialogs().back();
        EXPECT_EQ(dialog.caption + "|" + dialog.text,
                  "Error|Error Description:\n" + std::string(MESSAGES[i]));
        EXPECT_EQ(dialog.flags, 16);
    }
    for (int32_t code : {4, 9, 13, 15, 17, 21, 25, 29, 31, -2}) {
        FakePlayerSetResult("BASSMOD_ErrorGetCode", code);
        EXPECT_EQ(ReportSoundError(SOUND_SLOT), "") << code;
    }
    EXPECT_EQ(CapturedDialogs().size(), 17u);
}

TEST(Unreachable, APlayerThatDidNotLoadIsReportedOnStderrNotInABox) {
    RuntimeStart();
    FakePlayerReset();
    ForgetUnreachableReport();
    EXPECT_EQ(Init(SOUND_SLOT, "/nonexistent/bassmod.dll", -1, 44100, 0), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MusicLoad(SOUND_SLOT, 1, "12345", 0, 0, MUSIC_LOOP), 0);
    EXPECT_EQ(MusicSetSync(SOUND_SLOT, SYNC_INSTRUMENT, 6, nullptr, 4), 0u);
    EXPECT_EQ(ReportSoundError(SOUND_SLOT), "");
    std::string lines = testing::internal::GetCapturedStderr();
    // One line for the run, however many calls are refused.
    EXPECT_NE(lines.find("/nonexistent/bassmod.dll"), std::string::npos);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1);
    EXPECT_THAT(CapturedDialogs(), IsEmpty());
    EXPECT_THAT(FakePlayerCalls(), IsEmpty());
    ForgetUnreachableReport();
}

} // namespace
