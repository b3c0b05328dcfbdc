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
#include <sys/wait.h>
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

// Another run in a child process: installed (its directory locked) and then
// waiting to be killed. Returns its pid, and the directory it made in dir.
pid_t StartInstalledRun(const std::string &dir, std::string &made) {
    std::vector<std::string> before = Entries(dir);
    int ready[2];
    if (pipe(ready) != 0)
        return -1;
    pid_t child = fork();
    if (child == 0) {
        InstallSoundLibrary();
        char byte = 1;
        if (write(ready[1], &byte, 1) == 1)
            while (true)
                pause();
        _exit(1);
    }
    char byte = 0;
    if (child < 0 || read(ready[0], &byte, 1) != 1)
        child = -1;
    close(ready[0]);
    close(ready[1]);
    for (const std::string &name : Entries(dir))
        if (std::find(before.begin(), before.end(), name) == before.end())
            made = name;
    return child;
}

void Kill(pid_t pid) {
    if (pid <= 0)
        return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// A directory with the library file in it.
void MakeDirectoryWithLibrary(const std::string &path, fs::perms mode) {
    fs::create_directory(path);
    std::ofstream(path + "/bassmod.dll") << "x";
    fs::permissions(path, mode);
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
        for (pid_t child : children)
            Kill(child);
        UninstallSoundLibrary();
        unsetenv("TMPDIR");
        fs::permissions(scratch, fs::perms::owner_all);
        fs::remove_all(scratch);
    }
    std::string scratch;
    std::vector<pid_t> children; // other runs, killed at the end
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

// At start-up, of the directories beside ours only what a killed run left is
// removed. A live run's stays, as do look-alikes: another user's, a link, one
// of another mode, one with more than the library in it, another name.
TEST_F(Installation, RemovesOnlyTheLeftOversOfRunsThatAreGone) {
    std::string live, killed;
    children.push_back(StartInstalledRun(scratch, live));
    ASSERT_GT(children.back(), 0);
    pid_t killedRun = StartInstalledRun(scratch, killed); // its start spares the live one
    ASSERT_GT(killedRun, 0);
    Kill(killedRun);
    ASSERT_NE(killed, "");
    const fs::perms PRIVATE = fs::perms::owner_all, OPEN = PRIVATE | fs::perms::group_read |
                                                           fs::perms::group_exec |
                                                           fs::perms::others_read;
    std::vector<std::string> kept = {live,
                                     "brumlakor-link01",
                                     "brumlakor-mode01",
                                     "brumlakor-more01",
                                     "brumlakor-test-a1b2c3",
                                     "target"};
    MakeDirectoryWithLibrary(scratch + "/target", PRIVATE);
    fs::create_directory_symlink(scratch + "/target", scratch + "/brumlakor-link01");
    MakeDirectoryWithLibrary(scratch + "/brumlakor-mode01", OPEN);
    MakeDirectoryWithLibrary(scratch + "/brumlakor-more01", PRIVATE);
    std::ofstream(scratch + "/brumlakor-more01/notes") << "theirs";
    MakeDirectoryWithLibrary(scratch + "/brumlakor-test-a1b2c3", PRIVATE);
    if (geteuid() == 0) { // only root can plant a directory of another user's
        MakeDirectoryWithLibrary(scratch + "/brumlakor-other1", PRIVATE);
        ASSERT_EQ(chown((scratch + "/brumlakor-other1").c_str(), 65534, 65534), 0);
        kept.push_back("brumlakor-other1");
    } else {
        std::printf("not root: the look-alike of another user is not planted\n");
    }
    InstallSoundLibrary();
    kept.push_back(fs::path(TempDir()).parent_path().filename());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(Entries(scratch), kept);
    for (const std::string &name : kept)
        EXPECT_TRUE(name == "brumlakor-more01" || fs::exists(scratch + "/" + name + "/bassmod.dll"))
            << name;
    EXPECT_EQ(ReadFile(scratch + "/brumlakor-more01/notes"), "theirs");
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
