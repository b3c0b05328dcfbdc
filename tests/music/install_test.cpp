// Installation of the player from the executable's data: a private directory
// per run, the exact image, the stand-in player loaded and initialised from
// there, and nothing left behind on either way out. Ways that end the process
// run in a child (death tests).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "assets/assets.h"
#include "fake_player_log.h"
#include "music/music.h"
#include "runtime/runtime.h"

using testing::ElementsAre;

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Entries(const std::string &directory) {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Each test gets its own TMPDIR, so that what a run leaves is easy to see.
// Children that install under a limit the kernel enforces.
rlimit descriptorLimit;

// Gives the descriptors back before the process ends (the leak checker of
// the sanitizer builds needs some); registered before the installation, so it
// runs after the installation's own end procedure.
void RestoreDescriptorLimit() {
    setrlimit(RLIMIT_NOFILE, &descriptorLimit);
}

void InstallWithoutFreeDescriptors() {
    getrlimit(RLIMIT_NOFILE, &descriptorLimit);
    rlimit limit{3, descriptorLimit.rlim_max};
    setrlimit(RLIMIT_NOFILE, &limit);
    AtRuntimeEnd(RestoreDescriptorLimit);
    InstallSoundLibrary();
}

void InstallWithAFileSizeLimit() {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{100, 100};
    setrlimit(RLIMIT_FSIZE, &limit);
    InstallSoundLibrary();
    std::fprintf(stderr, "installed\n");
}

class Installation : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/brumlakor-install-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch = pattern;
        setenv("TMPDIR", scratch.c_str(), 1);
        RuntimeStart();
        FakePlayerReset();
    }
    void TearDown() override {
        UninstallSoundLibrary();
        unsetenv("TMPDIR");
        fs::permissions(scratch, fs::perms::owner_all);
        fs::remove_all(scratch);
    }
    std::string scratch;
};

TEST_F(Installation, WritesTheImageIntoAPrivateDirectoryAndInitialisesThePlayer) {
    InstallSoundLibrary();
    const std::string &dir = TempDir();
    ASSERT_EQ(dir.substr(0, scratch.size() + 1), scratch + "/");
    ASSERT_EQ(dir.back(), '/');
    struct stat info {};
    ASSERT_EQ(lstat(dir.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    EXPECT_EQ(info.st_uid, geteuid());
    // The file name is appended with no separator of its own.
    const std::string path = dir + "bassmod.dll";
    ASSERT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    const std::string image(reinterpret_cast<const char *>(soundLibraryImage),
                            SoundLibraryImageSize());
    EXPECT_GT(image.size(), 1000u);
    EXPECT_EQ(ReadFile(path), image);
    // The stand-in player is the image: it was loaded from there and initialised.
    EXPECT_THAT(FakePlayerCallTexts(), ElementsAre("BASSMOD_Init(-1,44100,0)"));
    EXPECT_NE(LibrarySlotHandle(SOUND_SLOT), nullptr);
}

TEST_F(Installation, UninstallFreesThePlayerThenRemovesFileAndDirectory) {
    InstallSoundLibrary();
    FakePlayerReset();
    UninstallSoundLibrary();
    EXPECT_THAT(FakePlayerCallTexts(), ElementsAre("BASSMOD_Free()", "unload()"));
    EXPECT_TRUE(Entries(scratch).empty());
    EXPECT_EQ(TempDir(), "");
    UninstallSoundLibrary(); // a second time: nothing to do
    EXPECT_EQ(FakePlayerCalls().size(), 2u);
}

TEST_F(Installation, LeavesWhatLiesInTheSharedDirectoryAlone) {
    // A link planted at the old shared location, and a stale longer file: the
    // run neither writes through the link nor appends to anything there.
    const std::string victim = scratch + "/victim";
    std::ofstream(victim) << "keep me";
    fs::create_symlink(victim, scratch + "/bassmod.dll");
    InstallSoundLibrary();
    EXPECT_EQ(ReadFile(victim), "keep me");
    EXPECT_TRUE(fs::is_symlink(scratch + "/bassmod.dll"));
    EXPECT_EQ(fs::file_size(TempDir() + "bassmod.dll"), SoundLibraryImageSize());
}

TEST_F(Installation, TwoRunsGetTwoDirectories) {
    InstallSoundLibrary();
    const std::string first = TempDir();
    UninstallSoundLibrary();
    fs::create_directory(first); // as if the first run were still there
    InstallSoundLibrary();
    EXPECT_NE(TempDir(), first);
    fs::remove(first);
}

TEST_F(Installation, NothingIsLeftAfterTheNormalShutdown) {
    EXPECT_EXIT(
        {
            FakePlayerEchoCalls(true);
            InstallSoundLibrary();
            // The shutdown's own steps, then the runtime's end.
            Free(SOUND_SLOT);
            RemoveFile(TempDir() + SOUND_LIBRARY_FILE);
            EndProcess();
        },
        testing::ExitedWithCode(0), "BASSMOD_Free\\(\\)\n.*unload");
    EXPECT_TRUE(Entries(scratch).empty());
}

TEST_F(Installation, NothingIsLeftAfterTheEarlyExit) {
    EXPECT_EXIT(
        {
            FakePlayerEchoCalls(true);
            InstallSoundLibrary();
            NoticeDialog("Brumlakor", "Could not create fullscreen");
            EndProcess();
        },
        testing::ExitedWithCode(0), "fullscreen.*\n.*BASSMOD_Free\\(\\)\n.*unload");
    EXPECT_TRUE(Entries(scratch).empty());
}

TEST_F(Installation, TheOfflinePlayerIsInitialisedWithoutADevice) {
    EXPECT_EXIT(
        {
            FakePlayerEchoCalls(true);
            UseOfflinePlayer();
            InstallSoundLibrary();
            EndProcess();
        },
        testing::ExitedWithCode(0),
        "^fake player a: "
        "BASSMOD_InitOffline\\(44100,0\\)\n.*BASSMOD_Free\\(\\)\n.*unload\\(\\)\n$");
    EXPECT_TRUE(Entries(scratch).empty());
}

TEST_F(Installation, ADirectoryThatCannotBeMadeEndsTheRunWithTheNotice) {
    const std::string notADirectory = scratch + "/file";
    std::ofstream(notADirectory) << "x";
    setenv("TMPDIR", notADirectory.c_str(), 1);
    EXPECT_EXIT(InstallSoundLibrary(), testing::ExitedWithCode(0),
                "dialog \\[Brumlakor\\] Failed to install bassmod to UserTempPath \\(flags 0\\)");
    EXPECT_THAT(Entries(scratch), ElementsAre("file"));
}

TEST_F(Installation, AnUnwritableTempDirectoryEndsTheRunWithTheNotice) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    fs::permissions(scratch, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EXIT(InstallSoundLibrary(), testing::ExitedWithCode(0),
                "Failed to install bassmod to UserTempPath");
    EXPECT_TRUE(Entries(scratch).empty());
}

TEST_F(Installation, AFileThatCannotBeCreatedEndsTheRunAndRemovesTheDirectory) {
    // No descriptor left to open: the directory is made, the file is not.
    EXPECT_EXIT(InstallWithoutFreeDescriptors(), testing::ExitedWithCode(0),
                "Failed to install bassmod to UserTempPath");
    EXPECT_TRUE(Entries(scratch).empty());
}

TEST_F(Installation, AShortWriteEndsTheRunInsteadOfLoadingATruncatedLibrary) {
    EXPECT_EXIT(InstallWithAFileSizeLimit(), testing::ExitedWithCode(0),
                "Failed to install bassmod to UserTempPath");
    EXPECT_TRUE(Entries(scratch).empty());
}

} // namespace
