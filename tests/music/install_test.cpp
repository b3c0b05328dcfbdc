// Installation of the player from the executable's data: a private directory
// per run, the exact image, the stand-in player loaded and initialised from
// there, and nothing left behind on any way out. Ways that end the process run
// in a child (death tests).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
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

std::vector<std::string> Entries(const std::string &directory) {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Each test gets its own TMPDIR, so that what a run leaves is easy to see.
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
        fs::remove_all(scratch);
    }
    std::string scratch;
};

TEST_F(Installation, WritesTheImageIntoAPrivateDirectoryAndRemovesItAtTheEnd) {
    InstallSoundLibrary();
    const std::string dir = TempDir();
    ASSERT_EQ(dir.substr(0, scratch.size() + 1) + dir.back(), scratch + "//");
    struct stat info {};
    ASSERT_EQ(lstat(dir.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode) && info.st_uid == geteuid());
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    // The file name is appended with no separator of its own.
    std::ifstream in(dir + "bassmod.dll", std::ios::binary);
    EXPECT_EQ(
        std::string(std::istreambuf_iterator<char>(in), {}),
        std::string(reinterpret_cast<const char *>(soundLibraryImage), SoundLibraryImageSize()));
    // The stand-in player is the image: loaded from there and initialised.
    EXPECT_THAT(FakePlayerCallTexts(), ElementsAre("BASSMOD_Init(-1,44100,0)"));
    FakePlayerReset();
    UninstallSoundLibrary();
    UninstallSoundLibrary(); // a second time: nothing to do
    EXPECT_THAT(FakePlayerCallTexts(), ElementsAre("BASSMOD_Free()", "unload()"));
    EXPECT_TRUE(Entries(scratch).empty());
}

// At start-up, of the directories beside ours only what a killed run left is
// removed. A live run's (held locked) stays, as do look-alikes: a link, one of
// another mode, one with more than the library in it, another name, and (only
// root can plant it) another user's.
TEST_F(Installation, RemovesOnlyTheLeftOversOfRunsThatAreGone) {
    std::vector<std::string> kept = {"brumlakor-link01",      "brumlakor-live01",
                                     "brumlakor-mode01",      "brumlakor-more01",
                                     "brumlakor-test-a1b2c3", "target"};
    for (const std::string &name :
         {kept[1], kept[2], kept[3], kept[4], kept[5], std::string("brumlakor-dead01"),
          std::string("brumlakor-user01")}) {
        fs::create_directory(scratch + "/" + name);
        chmod((scratch + "/" + name).c_str(), name == kept[2] ? 0755 : 0700);
        std::ofstream(scratch + "/" + name + "/bassmod.dll") << "x";
    }
    std::ofstream(scratch + "/brumlakor-more01/notes") << "theirs";
    fs::create_directory_symlink(scratch + "/target", scratch + "/" + kept[0]);
    if (chown((scratch + "/brumlakor-user01").c_str(), 65534, 65534) == 0)
        kept.push_back("brumlakor-user01");
    int live = open((scratch + "/" + kept[1]).c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(live, LOCK_EX), 0);
    InstallSoundLibrary();
    close(live);
    kept.push_back(fs::path(TempDir()).parent_path().filename());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(Entries(scratch), kept);
    for (const std::string &name : kept)
        EXPECT_TRUE(fs::exists(scratch + "/" + name +
                               (name == "brumlakor-more01" ? "/notes" : "/bassmod.dll")))
            << name;
}

// Ways the installation fails: a TMPDIR that is a file, no descriptor left for
// the library file (the directory is made, the file is not), a write cut short
// (a truncated library must not be loaded).
rlimit descriptorLimit;

// Gives the descriptors back before the process ends (the leak checker of the
// sanitizer builds needs some); registered before the installation, so it
// runs after the installation's own end procedure.
void RestoreDescriptorLimit() {
    setrlimit(RLIMIT_NOFILE, &descriptorLimit);
}

void InstallUnder(int way) {
    if (way == 0) {
        setenv("TMPDIR", (std::string(getenv("TMPDIR")) + "/file").c_str(), 1);
    } else if (way == 1) {
        getrlimit(RLIMIT_NOFILE, &descriptorLimit);
        rlimit limit{3, descriptorLimit.rlim_max};
        setrlimit(RLIMIT_NOFILE, &limit);
        AtRuntimeEnd(RestoreDescriptorLimit);
    } else {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    InstallSoundLibrary();
}

TEST_F(Installation, WhatCannotBeInstalledEndsTheRunWithTheNotice) {
    std::ofstream(scratch + "/file") << "x";
    for (int way = 0; way < 3; way++) {
        EXPECT_EXIT(
            InstallUnder(way), testing::ExitedWithCode(0),
            "dialog \\[Brumlakor\\] Failed to install bassmod to UserTempPath \\(flags 0\\)")
            << way;
        EXPECT_THAT(Entries(scratch), ElementsAre("file")) << way;
    }
}

} // namespace
