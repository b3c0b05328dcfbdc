// The Win32 runtime's files under Wine: a private temp directory, where an
// existing name (a file or a planted link) is replaced and never written
// through.
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include <windows.h>

#include "runtime/private_dir.h"
#include "runtime/runtime.h"

namespace {
namespace fs = std::filesystem;

std::string Read(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Win32Runtime, FreshDirectoryAndFilesThatReplaceWhatIsThere) {
    RuntimeStart();
    std::string directory = MakePrivateTempDirectory("runtime-test");
    ASSERT_EQ(directory.back(), '\\');
    EXPECT_TRUE(fs::is_empty(directory));
    std::ofstream(directory + "target.txt") << "the user's own file";
    std::ofstream(directory + "plain.bin") << "an older and longer content";
    ASSERT_TRUE(CreateSymbolicLinkA((directory + "link.bin").c_str(),
                                    (directory + "target.txt").c_str(), 0));
    for (const char *name : {"plain.bin", "link.bin"}) {
        ASSERT_NE(CreateOutputFile(0, directory + name), 0) << name;
        EXPECT_EQ(WriteBytes("new", 3), 1);
        CloseOutputFile(0);
        EXPECT_EQ(Read(directory + name), "new");
        EXPECT_FALSE(fs::is_symlink(directory + name));
    }
    EXPECT_EQ(Read(directory + "target.txt"), "the user's own file");
    RuntimeEnd();
    fs::remove_all(directory);
}
} // namespace
