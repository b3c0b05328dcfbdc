// The make_images command: writes exactly the painted block, and fails
// with a message and a non-zero exit when it cannot.
#include "tests/images/image_views.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int RunMakeImages(const std::string &arguments) {
    std::string command = std::string(MAKE_IMAGES_PATH) + " " + arguments + " 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TempPath(const std::string &name) {
    return testing::TempDir() + "images_" + std::to_string(getpid()) + "_" + name;
}

TEST(MakeImages, WritesThePaintedBlock) {
    std::string path = TempPath("block.bin");
    ASSERT_EQ(RunMakeImages(path), 0);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(written == Block());
    std::remove(path.c_str());
}

TEST(MakeImages, WritesOnePreviewPerImage) {
    std::string dir = TempPath("previews");
    ASSERT_EQ(system(("mkdir -p " + dir).c_str()), 0);
    ASSERT_EQ(RunMakeImages(TempPath("block2.bin") + " --png-dir " + dir + " --zoom 2"), 0);
    for (const char *name : {"font", "ring", "panel", "title1", "title2", "picture"}) {
        std::ifstream png(dir + "/" + name + ".png", std::ios::binary);
        char magic[4] = {};
        png.read(magic, 4);
        EXPECT_EQ(std::string(magic + 1, 3), "PNG") << name;
    }
    std::remove(TempPath("block2.bin").c_str());
    EXPECT_EQ(system(("rm -r " + dir).c_str()), 0);
}

TEST(MakeImages, FailsWhenItCannotWrite) {
    EXPECT_EQ(RunMakeImages("/nonexistent-dir/block.bin"), 1);
    EXPECT_EQ(RunMakeImages(TempPath("block3.bin") + " --png-dir /nonexistent-dir"), 1);
    std::remove(TempPath("block3.bin").c_str());
}

TEST(MakeImages, RefusesBadArguments) {
    EXPECT_EQ(RunMakeImages(""), 2);
    EXPECT_EQ(RunMakeImages("a.bin b.bin"), 2);
    EXPECT_EQ(RunMakeImages("a.bin --zoom 0"), 2);
    EXPECT_EQ(RunMakeImages("a.bin --bogus"), 2);
}

} // namespace
