// Numbered output files in a scratch directory of the test's own.
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "runtime/runtime.h"
#include "tests/support/process.h"

namespace {
namespace fs = std::filesystem;

class OutputFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        RuntimeStart();
    }
    void TearDown() override {
        RuntimeEnd();
        fs::remove_all(directory);
    }
    std::string Read(const std::string &name) {
        return ReadFile(directory + name);
    }
    std::string directory = MakeTempDir("runtime-files") + "/"; // a fresh one for each test
};

// Reopening a number closes its old file; writes go to the newest file; a
// number beyond the first ten works; the runtime's end closes what is open.
// A refused open (a link, a negative number) leaves no current file.
TEST_F(OutputFiles, WritesGoToTheLatestFileWhichReplacesAnOldOne) {
    std::ofstream(directory + "a.bin") << "an older and longer content";
    fs::create_symlink(directory + "a.bin", directory + "link.bin");
    ASSERT_NE(CreateOutputFile(0, directory + "a.bin"), 0);
    EXPECT_EQ(WriteBytes("a", 1), 1);
    EXPECT_EQ(WriteBytes("x", 0) + WriteBytes(nullptr, 5), 0);
    ASSERT_NE(CreateOutputFile(0, directory + "b.bin"), 0);
    EXPECT_EQ(WriteBytes("b", 1), 1);
    ASSERT_NE(CreateOutputFile(25, directory + "c.bin"), 0);
    EXPECT_EQ(WriteBytes("c", 1), 1);
    RuntimeEnd();
    EXPECT_EQ(Read("a.bin") + Read("b.bin") + Read("c.bin"), "abc");
    EXPECT_EQ(WriteBytes("x", 1), 0);
    EXPECT_EQ(CreateOutputFile(1, directory + "link.bin"), 0);
    EXPECT_EQ(CreateOutputFile(-1, directory + "negative.bin"), 0);
    EXPECT_EQ(WriteBytes("oops", 4), 0);
    EXPECT_EQ(Read("a.bin") + std::to_string(fs::exists(directory + "negative.bin")), "a0");
    EXPECT_EQ(RemoveFile(directory + "a.bin"), 1);
    EXPECT_EQ(RemoveFile(directory + "a.bin"), 0);
}

// A closed descriptor number is reused by the next open; a write after the
// close must fail rather than land in that other file. Descriptor 0 is a
// valid descriptor, but 0 means failure.
TEST_F(OutputFiles, WritesAfterCloseGoNowhereAndDescriptorZeroIsNotZero) {
    ASSERT_NE(CreateOutputFile(3, directory + "first.bin"), 0);
    CloseOutputFile(3);
    int reused = open((directory + "victim.txt").c_str(), O_WRONLY | O_CREAT, 0600);
    EXPECT_EQ(WriteBytes("stray", 5), 0);
    close(reused);
    EXPECT_EQ(Read("victim.txt"), "");
    int savedInput = dup(0);
    close(0);
    intptr_t handle = CreateOutputFile(0, directory + "zero.bin");
    CloseOutputFile(0);
    dup2(savedInput, 0); // the process's input as it was
    close(savedInput);
    EXPECT_NE(handle, 0);
}
} // namespace
