// Numbered output files in a scratch directory of the test's own.
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
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
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string Path(const std::string &name) {
        return directory + "/" + name;
    }
    std::string directory;
};

// Reopening a number closes its old file; writes go to the newest file; a
// number beyond the first ten works; the runtime's end closes what is open.
TEST_F(OutputFiles, WritesGoToTheLatestFileWhichReplacesAnOldOne) {
    std::ofstream(Path("a.bin")) << "an older and longer content";
    ASSERT_NE(CreateOutputFile(0, Path("a.bin")), 0);
    EXPECT_EQ(WriteBytes("a", 1), 1);
    EXPECT_EQ(WriteBytes("x", 0) + WriteBytes(nullptr, 5), 0);
    ASSERT_NE(CreateOutputFile(0, Path("b.bin")), 0);
    EXPECT_EQ(WriteBytes("b", 1), 1);
    ASSERT_NE(CreateOutputFile(25, Path("c.bin")), 0);
    EXPECT_EQ(WriteBytes("c", 1), 1);
    RuntimeEnd();
    EXPECT_EQ(Read("a.bin") + Read("b.bin") + Read("c.bin"), "abc");
    EXPECT_EQ(WriteBytes("x", 1), 0);
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

// A refused open leaves no current file, and the slot keeps what it held.
TEST_F(OutputFiles, ARefusedOpenYieldsZero) {
    std::ofstream(Path("target.txt")) << "keep";
    fs::create_symlink(Path("target.txt"), Path("link.bin"));
    ASSERT_NE(CreateOutputFile(1, Path("good.bin")), 0);
    EXPECT_EQ(CreateOutputFile(1, Path("link.bin")), 0);
    EXPECT_EQ(CreateOutputFile(1, Path("missing-dir/out.bin")), 0);
    EXPECT_EQ(CreateOutputFile(-1, Path("negative.bin")), 0);
    EXPECT_EQ(WriteBytes("oops", 4), 0);
    EXPECT_EQ(Read("target.txt"), "keep");
    EXPECT_FALSE(fs::exists(Path("negative.bin")));
    CloseOutputFile(7); // empty slots are left alone
    CloseOutputFile(1000);
    EXPECT_EQ(RemoveFile(Path("good.bin")), 1);
    EXPECT_EQ(RemoveFile(Path("good.bin")), 0);
}

// Descriptor 0 is a valid descriptor, but 0 means failure.
TEST_F(OutputFiles, AFileOnDescriptorZeroStillGivesANonZeroHandle) {
    int savedInput = dup(0);
    close(0);
    intptr_t handle = CreateOutputFile(0, Path("zero.bin"));
    CloseOutputFile(0);
    dup2(savedInput, 0); // the process's input as it was
    close(savedInput);
    EXPECT_NE(handle, 0);
}
} // namespace
