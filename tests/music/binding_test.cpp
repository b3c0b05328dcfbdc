// The binding against the stand-in player, loaded through the real library
// slots: each call looks its name up afresh, Init and Free keep their order
// with the slot, the arguments and clamps, the results and the error reporter;
// the installation of the player from the executable's data; and the music
// start: load from memory, the four registrations in order, play and pause.
#include <functional>
#include <gmock/gmock.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

#include "assets/assets.h"
#include "driver/timeline.h"
#include "fake_player_log.h"
#include "music/start.h"
#include "tests/support/process.h"

using testing::ElementsAre;

namespace {

class Binding : public FakePlayerTest {};

// Another library in the slot (the old one unloaded): the next call reaches
// it, nothing is cached; a name it lacks is not called. Slots go beyond the
// first ten, none below 0; the runtime's end unloads every library.
TEST_F(Binding, LooksTheFunctionUpAtEachCallAndTheEndUnloadsEverySlot) {
    EXPECT_EQ(MusicPlay(SOUND_SLOT), 1);
    ASSERT_NE(OpenLibrarySlot(SOUND_SLOT, FakePlayerPath('b').c_str()), nullptr);
    EXPECT_EQ(MusicPause(SOUND_SLOT), 1);
    EXPECT_EQ(MusicPlay(SOUND_SLOT), 0);
    ASSERT_NE(OpenLibrarySlot(12, FakePlayerPath('a').c_str()), nullptr);
    EXPECT_EQ(CallLibraryFunction<int32_t>(-1, "BASSMOD_MusicPause"), 0);
    RuntimeEnd();
    EXPECT_EQ(LibrarySlotHandle(SOUND_SLOT), nullptr);
    EXPECT_EQ(LibrarySlotHandle(12), nullptr);
    EXPECT_THAT(FakePlayerCallTexts(),
                ElementsAre("BASSMOD_MusicPlay()", "unload()", "b:BASSMOD_MusicPause()",
                            "b:unload()", "unload()"));
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
    EXPECT_THAT(FakePlayerCallTexts(), ElementsAre("BASSMOD_Free()", "unload()"));
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
    SetVolume(SOUND_SLOT, 150);
    SetVolume(SOUND_SLOT, -5);
    MusicSetAmplify(SOUND_SLOT, 101);
    MusicSetPanSep(SOUND_SLOT, 1000);
    EXPECT_THAT(FakePlayerCallTexts(),
                ElementsAre("BASSMOD_MusicSetSync(1,4294901762,0,4)", "BASSMOD_MusicRemoveSync(41)",
                            "BASSMOD_MusicSetPosition(458755)", "BASSMOD_MusicPlayEx(-2,5,1)",
                            "BASSMOD_MusicLoad(1,0x7f12345678f0,0,0,4)",
                            "BASSMOD_MusicLoad(0,/music/file.xm,16,32,0)",
                            "BASSMOD_MusicSetPositionScaler(256)", "BASSMOD_SetVolume(100)",
                            "BASSMOD_SetVolume(4294967291)", "BASSMOD_MusicSetAmplify(100)",
                            "BASSMOD_MusicSetPanSep(100)"));
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
    {"BASSMOD_MusicGetLength", 0x10005, [] { return MusicGetLength(SOUND_SLOT, 0); }, 5, false},
    {"BASSMOD_MusicGetLength", 0xFFFF, [] { return MusicGetLength(SOUND_SLOT, 0); }, -1, true},
    {"BASSMOD_MusicGetPosition", 0x5FFFF, [] { return MusicGetPosition(SOUND_SLOT); }, -1, true},
    {"BASSMOD_MusicGetPosition", 0x5FFFE, [] { return MusicGetPosition(SOUND_SLOT); }, -2, false},
    {"BASSMOD_SetVolume", -1, [] { return SetVolume(SOUND_SLOT, 50); }, -1, true},
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
}

// The player's error codes and their messages, word for word, in an error
// box; codes without one show nothing.
TEST_F(Binding, TheReporterShowsThePlayersMessageForItsCode) {
    const std::pair<int32_t, const char *> MESSAGES[] = {
        {0, "All is OK"},
        {1, "Memory Error"},
        {2, "Can't Open the File"},
        {3, "Can't Find a Free Sound Driver"},
        {5, "Invalid Handle"},
        {6, "Unsupported Format"},
        {7, "Invalid Playback Position"},
        {8, "BASS_Init Has Not Been Successfully Called"},
        {14, "Already Initialized"},
        {16, "Not Paused"},
        {19, "An Illegal Type Was Specified"},
        {20, "An Illegal Parameter Was Specified"},
        {23, "Illegal Device Number"},
        {24, "Not Playing"},
        {28, "No Music"},
        {30, "No Sync Avaliable"},
        {-1, "Some Other Mystery Error"},
        {4, ""},
        {31, ""}};
    for (auto [code, message] : MESSAGES) {
        FakePlayerReset();
        FakePlayerSetResult("BASSMOD_ErrorGetCode", code);
        EXPECT_EQ(ReportSoundError(SOUND_SLOT), message);
        std::vector<std::string> box = {"Error|Error Description:\n" + std::string(message) +
                                        "|16"};
        EXPECT_EQ(CapturedDialogs(), *message ? box : std::vector<std::string>{}) << code;
    }
}

// The image goes into a directory of TMPDIR (the file name appended with no
// separator of its own), is loaded and initialised from there, and goes with
// its directory at the end.
TEST(Installation, WritesTheImageIntoAPrivateDirectoryAndRemovesItAtTheEnd) {
    const std::string scratch = MakeTempDir("install-test");
    setenv("TMPDIR", scratch.c_str(), 1);
    RuntimeStart();
    FakePlayerReset();
    InstallSoundLibrary();
    const std::string dir = TempDir();
    EXPECT_EQ(dir.substr(0, scratch.size() + 1) + dir.back(), scratch + "//");
    EXPECT_EQ(std::filesystem::file_size(dir + "bassmod.dll"), SoundLibraryImageSize());
    UninstallSoundLibrary();
    UninstallSoundLibrary(); // a second time: nothing to do
    EXPECT_THAT(FakePlayerCallTexts(),
                ElementsAre("BASSMOD_Init(-1,44100,0)", "BASSMOD_Free()", "unload()"));
    EXPECT_TRUE(std::filesystem::is_empty(scratch));
    unsetenv("TMPDIR");
    std::filesystem::remove_all(scratch);
}

// At start-up, of the directories beside ours only what a killed run left goes.
// A live run's (held locked) stays, as do look-alikes: a link, another mode,
// more than the library inside, a longer name.
TEST(Installation, RemovesOnlyTheLeftOversOfRunsThatAreGone) {
    namespace fs = std::filesystem;
    const fs::path scratch =
        fs::temp_directory_path() / ("brumlakor-sweep-" + std::to_string(getpid()));
    const std::vector<std::string> kept = {"brumlakor-link01",      "brumlakor-live01",
                                           "brumlakor-mode01",      "brumlakor-more01",
                                           "brumlakor-test-a1b2c3", "target"};
    fs::create_directories(scratch);
    for (const std::string &name :
         {kept[1], kept[2], kept[3], kept[4], kept[5], std::string("brumlakor-dead01")}) {
        fs::create_directory(scratch / name);
        fs::permissions(scratch / name, name == kept[2] ? fs::perms(0755) : fs::perms::owner_all);
        std::ofstream(scratch / name / "bassmod.dll") << "x";
    }
    std::ofstream(scratch / kept[3] / "notes") << "theirs";
    fs::create_directory_symlink(scratch / "target", scratch / kept[0]);
    int live = open((scratch / kept[1]).c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(live, LOCK_EX), 0);
    setenv("TMPDIR", scratch.c_str(), 1);
    RuntimeStart();
    InstallSoundLibrary();
    std::vector<std::string> left = DirectoryEntries(scratch);
    std::sort(left.begin(), left.end());
    left.erase(std::find(left.begin(), left.end(), fs::path(TempDir()).parent_path().filename()));
    UninstallSoundLibrary();
    close(live);
    unsetenv("TMPDIR");
    fs::remove_all(scratch);
    EXPECT_EQ(left, kept);
}

TEST_F(Binding, MusicStartLoadsRegistersThenPlaysAndPauses) {
    StartMusic();
    char module[32], sync[32];
    std::snprintf(module, sizeof module, "%p", static_cast<const void *>(musicModule));
    std::snprintf(sync, sizeof sync, "%p", reinterpret_cast<void *>(&OnMusicSync));
    const std::string to = std::string(",") + sync + ",";
    EXPECT_THAT(FakePlayerCallTexts(),
                ElementsAre("BASSMOD_MusicLoad(1," + std::string(module) + ",0,0,4)",
                            "BASSMOD_MusicSetSync(2147483648,2" + to + "1)",
                            "BASSMOD_MusicSetSync(2147483648,4" + to + "2)",
                            "BASSMOD_MusicSetSync(2147483648,6" + to + "3)",
                            "BASSMOD_MusicSetSync(1,4294901766" + to + "4)", "BASSMOD_MusicPlay()",
                            "BASSMOD_MusicPause()"));
    EXPECT_TRUE(CapturedDialogs().empty());
}

// A refused module and each refused registration show their own box; the
// start goes on to the pause.
TEST_F(Binding, MusicStartReportsARefusedModuleAndGoesOn) {
    FakePlayerSetResult("BASSMOD_MusicLoad", 0);
    FakePlayerSetResult("BASSMOD_MusicSetSync", 0);
    FakePlayerSetResult("BASSMOD_ErrorGetCode", PLAYER_ERROR_FORMAT);
    StartMusic();
    ASSERT_EQ(CapturedDialogs().size(), 5u);
    EXPECT_EQ(CapturedDialogs()[0], "Error|Error Description:\nUnsupported Format|16");
    EXPECT_EQ(FakePlayerCallTexts().back(), "BASSMOD_MusicPause()");
}

} // namespace
