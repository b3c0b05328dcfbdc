// The Win32 runtime services under Wine: output files in a private temp
// directory, where an existing name (a file or a planted link) is replaced
// and never written through, and library slots with GetProcAddress per call.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include <windows.h>

#include "runtime/runtime.h"

namespace {
namespace fs = std::filesystem;

class Win32Runtime : public ::testing::Test {
  protected:
    void SetUp() override {
        RuntimeStart();
        directory = MakePrivateTempDirectory("runtime-test");
        ASSERT_FALSE(directory.empty());
    }
    void TearDown() override {
        RuntimeEnd();
        fs::remove_all(directory);
    }
    std::string Read(const std::string &name) {
        std::ifstream in(directory + name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string directory;
};

TEST_F(Win32Runtime, FreshDirectoryAndFilesThatReplaceWhatIsThere) {
    std::string second = MakePrivateTempDirectory("runtime-test");
    EXPECT_NE(second, directory);
    EXPECT_EQ(directory.back(), '\\');
    EXPECT_TRUE(fs::is_empty(directory));
    fs::remove(second);
    std::ofstream(directory + "target.txt") << "the user's own file";
    std::ofstream(directory + "plain.bin") << "an older and longer content";
    ASSERT_TRUE(CreateSymbolicLinkA((directory + "link.bin").c_str(),
                                    (directory + "target.txt").c_str(), 0));
    for (const char *name : {"plain.bin", "link.bin"}) {
        ASSERT_NE(CreateOutputFile(0, directory + name), 0) << name;
        EXPECT_EQ(WriteBytes("new", 3), 1);
        CloseOutputFile(0);
        EXPECT_EQ(Read(name), "new");
        EXPECT_FALSE(fs::is_symlink(directory + name));
    }
    EXPECT_EQ(Read("target.txt"), "the user's own file");
}

TEST_F(Win32Runtime, FilesFailWithZero) {
    EXPECT_EQ(CreateOutputFile(0, directory + "missing\\out.bin"), 0);
    EXPECT_EQ(WriteBytes("x", 1), 0);
    ASSERT_NE(CreateOutputFile(12, directory + "out.bin"), 0); // beyond the first ten
    EXPECT_EQ(WriteBytes("x", 0), 0);
    CloseOutputFile(12);
    EXPECT_EQ(WriteBytes("x", 1), 0); // closed: no current file
    EXPECT_EQ(RemoveFile(directory + "out.bin"), 1);
    EXPECT_EQ(RemoveFile(directory + "out.bin"), 0);
}

TEST_F(Win32Runtime, LibrarySlotsLoadLookUpAndFree) {
    EXPECT_EQ(OpenLibrarySlot(0, (directory + "none.dll").c_str()), nullptr);
    EXPECT_NE(LibrarySlotError(), "");
    ASSERT_NE(OpenLibrarySlot(0, "kernel32.dll"), nullptr);
    EXPECT_EQ(OpenLibrarySlot(0, (directory + "none.dll").c_str()), nullptr);
    EXPECT_NE(LibrarySlotHandle(0), nullptr) << "a failed load keeps the slot";
    EXPECT_NE(CallLibraryFunction<uint32_t>(0, "GetCurrentProcessId"), 0u);
    EXPECT_EQ(CallLibraryFunction<uint32_t>(0, "NoSuchFunction"), 0u);
    CloseLibrarySlot(0);
    EXPECT_EQ(CallLibraryFunction<uint32_t>(0, "GetCurrentProcessId"), 0u);
}
} // namespace
