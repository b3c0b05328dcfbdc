// The binding against the stand-in player, loaded through the real library
// slots: each call looks its name up afresh, Init and Free keep their order
// with the slot, the clamps, and the error reporter's texts and silence.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fake_player_fixture.h"
#include "fake_player_log.h"
#include "music/music.h"
#include "runtime/runtime.h"

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

namespace {

class Binding : public FakePlayerTest {};

TEST(MakeLong, PacksTwoSixteenBitHalvesLowFirst) {
    EXPECT_EQ(MakeLong(2, -1), 0xFFFF0002u);
    EXPECT_EQ(MakeLong(6, 0), 6u);
    EXPECT_EQ(MakeLong(3, 7), 0x00070003u);
    EXPECT_EQ(MakeLong(0x12345, 0x10001), 0x00012345u);
}

TEST_F(Binding, LooksTheFunctionUpAtEachCall) {
    EXPECT_EQ(MusicPlay(SOUND_SLOT), 1);
    // Another library in the slot: the next call reaches it, nothing is cached.
    ASSERT_NE(OpenLibrarySlot(SOUND_SLOT, FakePlayerPath('b').c_str()), nullptr);
    EXPECT_EQ(MusicPause(SOUND_SLOT), 1);
    // That build lacks MusicPlay: no call at all, and 0.
    EXPECT_EQ(MusicPlay(SOUND_SLOT), 0);
    std::vector<FakeCall> calls = FakePlayerCalls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].tag + calls[0].name, "aBASSMOD_MusicPlay");
    EXPECT_EQ(calls[1].tag + calls[1].name, "aunload");
    EXPECT_EQ(calls[2].tag + calls[2].name, "bBASSMOD_MusicPause");
}

TEST_F(Binding, InitLoadsThenCallsWithItsArguments) {
    CloseLibrarySlot(SOUND_SLOT);
    FakePlayerSetResult("BASSMOD_Init", 0);
    EXPECT_EQ(Init(SOUND_SLOT, FakePlayerPath('a'), -1, 44100, 0), 0);
    EXPECT_THAT(FakePlayerCallTexts(), ElementsAre("unload()", "BASSMOD_Init(-1,44100,0)"));
    EXPECT_TRUE(FakePlayerCalls().back().slotHeld);
}

TEST_F(Binding, InitWithALibraryThatCannotBeLoadedMakesNoCallAndKeepsTheSlot) {
    void *held = LibrarySlotHandle(SOUND_SLOT);
    EXPECT_EQ(Init(SOUND_SLOT, "/nonexistent/bassmod.dll", -1, 44100, 0), 0);
    EXPECT_THAT(FakePlayerCalls(), IsEmpty());
    EXPECT_EQ(LibrarySlotHandle(SOUND_SLOT), held);
}

TEST_F(Binding, FreeCallsThePlayerBeforeUnloadingAndOnlyOnce) {
    FakePlayerSetResult("BASSMOD_Free", 7);
    EXPECT_EQ(Free(SOUND_SLOT), 7);
    EXPECT_EQ(LibrarySlotHandle(SOUND_SLOT), nullptr);
    EXPECT_EQ(Free(SOUND_SLOT), 0);
    std::vector<FakeCall> calls = FakePlayerCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, "BASSMOD_Free");
    EXPECT_TRUE(calls[0].slotHeld);
    EXPECT_EQ(calls[1].name, "unload");
}

TEST_F(Binding, ClampsOnlyFromAbove) {
    MusicSetPositionScaler(SOUND_SLOT, 300);
    MusicSetPositionScaler(SOUND_SLOT, 256);
    SetVolume(SOUND_SLOT, 150);
    SetVolume(SOUND_SLOT, -5);
    MusicSetAmplify(SOUND_SLOT, 101);
    MusicSetPanSep(SOUND_SLOT, 100);
    MusicSetPanSep(SOUND_SLOT, 1000);
    EXPECT_THAT(FakePlayerCallTexts(),
                ElementsAre("BASSMOD_MusicSetPositionScaler(256)",
                            "BASSMOD_MusicSetPositionScaler(256)", "BASSMOD_SetVolume(100)",
                            "BASSMOD_SetVolume(4294967291)", "BASSMOD_MusicSetAmplify(100)",
                            "BASSMOD_MusicSetPanSep(100)", "BASSMOD_MusicSetPanSep(100)"));
}

TEST_F(Binding, PassesArgumentsInTheLibrarysOrder) {
    uint32_t sync = 0;
    FakePlayerSetResult("BASSMOD_MusicSetSync", 41);
    sync = MusicSetSync(SOUND_SLOT, SYNC_INSTRUMENT, MakeLong(2, -1), nullptr, 4);
    MusicRemoveSync(SOUND_SLOT, sync);
    MusicSetPosition(SOUND_SLOT, 3, 7);
    MusicPlayEx(SOUND_SLOT, -2, 5, 1);
    MusicGetLength(SOUND_SLOT, 1);
    GetDeviceDescription(SOUND_SLOT, -1);
    EXPECT_EQ(sync, 41u);
    EXPECT_THAT(FakePlayerCallTexts(),
                ElementsAre("BASSMOD_MusicSetSync(1,4294901762,(nil),4)",
                            "BASSMOD_MusicRemoveSync(41)", "BASSMOD_MusicSetPosition(458755)",
                            "BASSMOD_MusicPlayEx(-2,5,1)", "BASSMOD_MusicGetLength(1)",
                            "BASSMOD_GetDeviceDescription(-1)"));
}

TEST_F(Binding, MusicLoadFromMemoryCarriesAFullWidthAddress) {
    // An address above 4 GiB must arrive whole (never dereferenced by the fake).
    const uintptr_t address = 0x7f12345678f0u;
    MusicLoad(SOUND_SLOT, 1, std::to_string(address), 0, 0, MUSIC_LOOP);
    MusicLoad(SOUND_SLOT, 0, "/music/file.xm", 16, 32, 0);
    EXPECT_THAT(FakePlayerCallTexts(), ElementsAre("BASSMOD_MusicLoad(1,0x7f12345678f0,0,0,4)",
                                                   "BASSMOD_MusicLoad(0,/music/file.xm,16,32,0)"));
}

TEST_F(Binding, ResultConversions) {
    FakePlayerSetResult("BASSMOD_GetVersion", 0x00020004);
    EXPECT_EQ(GetVersion(SOUND_SLOT), "4.2");
    FakePlayerSetResult("BASSMOD_MusicGetLength", 0x10005);
    EXPECT_EQ(MusicGetLength(SOUND_SLOT, 0), 5);
    FakePlayerSetResult("BASSMOD_GetCPU", 1234);
    EXPECT_EQ(GetCPU(SOUND_SLOT), 1234);
    EXPECT_EQ(MusicGetName(SOUND_SLOT), "fake text");
    EXPECT_THAT(CapturedDialogs(), IsEmpty());
}

TEST_F(Binding, FailedResultsReport) {
    FakePlayerSetResult("BASSMOD_ErrorGetCode", PLAYER_ERROR_HANDLE);
    FakePlayerSetResult("BASSMOD_MusicGetPosition", 0x0005FFFF); // cut to -1
    FakePlayerSetResult("BASSMOD_SetVolume", -1);
    FakePlayerSetResult("BASSMOD_MusicGetLength", 0xFFFF);
    FakePlayerSetResult("BASSMOD_MusicGetName", 0);
    FakePlayerSetResult("BASSMOD_MusicLoad", 0);
    FakePlayerSetResult("BASSMOD_MusicSetSync", 0);
    EXPECT_EQ(MusicGetPosition(SOUND_SLOT), -1);
    EXPECT_EQ(SetVolume(SOUND_SLOT, 50), -1);
    EXPECT_EQ(MusicGetLength(SOUND_SLOT, 0), -1);
    EXPECT_EQ(MusicGetName(SOUND_SLOT), "");
    EXPECT_EQ(MusicLoad(SOUND_SLOT, 1, "0", 0, 0, 0), 0);
    EXPECT_EQ(MusicSetSync(SOUND_SLOT, SYNC_INSTRUMENT, 6, nullptr, 4), 0u);
    EXPECT_EQ(CapturedDialogs().size(), 6u);
    // Results that do not mean failure are not reported.
    FakePlayerSetResult("BASSMOD_MusicGetPosition", 0x0005FFFE);
    FakePlayerSetResult("BASSMOD_SetVolume", 0);
    MusicGetPosition(SOUND_SLOT);
    SetVolume(SOUND_SLOT, 50);
    EXPECT_EQ(CapturedDialogs().size(), 6u);
}

TEST_F(Binding, ReporterShowsTheMessageOnALineOfItsOwn) {
    EXPECT_EQ(ReportSoundError(SOUND_SLOT), "All is OK");
    FakePlayerSetResult("BASSMOD_ErrorGetCode", PLAYER_ERROR_NOSYNC);
    EXPECT_EQ(ReportSoundError(SOUND_SLOT), "No Sync Avaliable");
    FakePlayerSetResult("BASSMOD_ErrorGetCode", PLAYER_ERROR_UNKNOWN);
    EXPECT_EQ(ReportSoundError(SOUND_SLOT), "Some Other Mystery Error");
    std::vector<CapturedDialog> dialogs = CapturedDialogs();
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(dialogs[0].caption, "Error");
    EXPECT_EQ(dialogs[0].text, "Error Description:\nAll is OK");
    EXPECT_EQ(dialogs[0].flags, 16);
    EXPECT_EQ(dialogs[1].text, "Error Description:\nNo Sync Avaliable");
    EXPECT_EQ(dialogs[2].text, "Error Description:\nSome Other Mystery Error");
}

TEST_F(Binding, ReporterIsSilentForCodesWithoutAMessage) {
    for (int32_t code : {4, 9, 13, 15, 17, 21, 25, 29, 31, -2}) {
        FakePlayerSetResult("BASSMOD_ErrorGetCode", code);
        EXPECT_EQ(ReportSoundError(SOUND_SLOT), "") << code;
    }
    EXPECT_THAT(CapturedDialogs(), IsEmpty());
}

TEST(SoundErrorMessage, CoversThePlayersCodes) {
    EXPECT_EQ(SoundErrorMessage(8), "BASS_Init Has Not Been Successfully Called");
    EXPECT_EQ(SoundErrorMessage(3), "Can't Find a Free Sound Driver");
    EXPECT_EQ(SoundErrorMessage(28), "No Music");
    int withText = 0;
    for (int32_t code = -5; code <= 40; code++)
        withText += SoundErrorMessage(code).empty() ? 0 : 1;
    EXPECT_EQ(withText, 17);
}

TEST(Unreachable, APlayerThatDidNotLoadIsReportedOnStderrNotInABox) {
    RuntimeStart();
    FakePlayerReset();
    ForgetUnreachableReport();
    EXPECT_EQ(Init(SOUND_SLOT, "/nonexistent/bassmod.dll", -1, 44100, 0), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MusicLoad(SOUND_SLOT, 1, "12345", 0, 0, MUSIC_LOOP), 0);
    EXPECT_EQ(MusicSetSync(SOUND_SLOT, SYNC_INSTRUMENT, 6, nullptr, 4), 0u);
    std::string lines = testing::internal::GetCapturedStderr();
    EXPECT_THAT(CapturedDialogs(), IsEmpty());
    EXPECT_THAT(lines, HasSubstr("/nonexistent/bassmod.dll"));
    // One line for the run, however many calls are refused.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1);
    EXPECT_EQ(ReportSoundError(SOUND_SLOT), "");
    EXPECT_THAT(FakePlayerCalls(), IsEmpty());
    ForgetUnreachableReport();
}

} // namespace
