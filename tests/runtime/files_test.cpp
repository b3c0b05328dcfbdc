// Numbered output files in a scratch directory of the test's own.
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

#include "runtime/runtime.h"

namespace {
namespace fs = std::filesystem;

class OutputFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        RuntimeStart();
        char pattern[] = "/tmp/runtime-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
    }
    void TearDown() override {
        RuntimeEnd();
        fs::remove_all(directory);
    }
    std::string Read(const std::string &name) {
        std::ifstream in(directory + "/" + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string Path(const std::string &name) {
        return directory + "/" + name;
    }
    std::string directory;
};

TEST_F(OutputFiles, ReplacingAnExistingFileKeepsOnlyTheNewBytes) {
    std::ofstream(Path("out.bin")) << "an older and longer content";
    ASSERT_NE(CreateOutputFile(0, Path("out.bin")), 0);
    EXPECT_EQ(WriteBytes("new", 3), 1);
    CloseOutputFile(0);
    EXPECT_EQ(Read("out.bin"), "new");
}

TEST_F(OutputFiles, NothingToWriteYieldsZero) {
    ASSERT_NE(CreateOutputFile(0, Path("out.bin")), 0);
    EXPECT_EQ(WriteBytes("x", 0), 0);
    EXPECT_EQ(WriteBytes(nullptr, 5), 0);
    CloseOutputFile(0);
    EXPECT_EQ(Read("out.bin"), "");
    EXPECT_EQ(WriteBytes("x", 1), 0); // no current file any more
}

// A closed descriptor number is reused by the next open; a write after the
// close must fail rather than land in that other file.
TEST_F(OutputFiles, WritesAfterCloseGoNowhere) {
    ASSERT_NE(CreateOutputFile(3, Path("first.bin")), 0);
    CloseOutputFile(3);
    int reused = open(Path("victim.txt").c_str(), O_WRONLY | O_CREAT, 0600);
    EXPECT_EQ(WriteBytes("stray", 5), 0);
    close(reused);
    EXPECT_EQ(Read("victim.txt"), "");
}

TEST_F(OutputFiles, ASymbolicLinkIsNotFollowed) {
    std::ofstream(Path("target.txt")) << "keep";
    fs::create_symlink(Path("target.txt"), Path("link.bin"));
    ASSERT_NE(CreateOutputFile(1, Path("good.bin")), 0);
    EXPECT_EQ(CreateOutputFile(1, Path("link.bin")), 0);
    EXPECT_EQ(WriteBytes("oops", 4), 0); // the refusal leaves no current file
    EXPECT_EQ(Read("target.txt"), "keep");
    // ...and the slot still holds the file it had: closing it works.
    CloseOutputFile(1);
}

TEST_F(OutputFiles, ReopeningANumberClosesTheOldFileAndSwitchesTheCurrentFile) {
    ASSERT_NE(CreateOutputFile(0, Path("a.bin")), 0);
    EXPECT_EQ(WriteBytes("a", 1), 1);
    ASSERT_NE(CreateOutputFile(0, Path("b.bin")), 0);
    EXPECT_EQ(WriteBytes("b", 1), 1);
    ASSERT_NE(CreateOutputFile(25, Path("c.bin")), 0); // beyond the first ten slots
    EXPECT_EQ(WriteBytes("c", 1), 1);
    RuntimeEnd(); // closes what is still open
    EXPECT_EQ(Read("a.bin"), "a");
    EXPECT_EQ(Read("b.bin"), "b");
    EXPECT_EQ(Read("c.bin"), "c");
    EXPECT_EQ(WriteBytes("x", 1), 0);
}

TEST_F(OutputFiles, FailuresYieldZero) {
    EXPECT_EQ(CreateOutputFile(0, Path("missing-dir/out.bin")), 0);
    EXPECT_EQ(CreateOutputFile(-1, Path("negative.bin")), 0);
    EXPECT_FALSE(fs::exists(Path("negative.bin")));
    EXPECT_EQ(RemoveFile(Path("never-made")), 0);
    std::ofstream(Path("gone.txt")) << "x";
    EXPECT_EQ(RemoveFile(Path("gone.txt")), 1);
    EXPECT_FALSE(fs::exists(Path("gone.txt")));
    CloseOutputFile(7); // empty slot: left alone
    CloseOutputFile(1000);
}
} // namespace
