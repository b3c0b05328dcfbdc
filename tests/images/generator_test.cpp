// The make_images command: writes exactly the painted block, and fails
// with a message and a non-zero exit when it cannot.
#include "tests/images/image_views.h"
#include "tools/images/images.h"

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

// One run (painting takes seconds): the block and a preview of each image.
TEST(MakeImages, WritesThePaintedBlockAndPreviews) {
    std::string path = TempPath("block.bin"), dir = TempPath("previews");
    ASSERT_EQ(system(("mkdir -p " + dir).c_str()), 0);
    ASSERT_EQ(RunMakeImages(path + " --png-dir " + dir + " --zoom 2"), 0);
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_TRUE(written == Block());
    for (const ImageInfo &info : IMAGE_INFO) {
        std::ifstream png(dir + "/" + info.name + ".png", std::ios::binary);
        unsigned char head[24] = {};
        png.read(reinterpret_cast<char *>(head), sizeof head);
        EXPECT_EQ(std::string(reinterpret_cast<char *>(head) + 1, 3), "PNG") << info.name;
        // The header's width and height (big-endian), doubled by --zoom 2.
        auto field = [&](int at) {
            return head[at] << 24 | head[at + 1] << 16 | head[at + 2] << 8 | head[at + 3];
        };
        EXPECT_EQ(field(16), 2 * info.width) << info.name;
        EXPECT_EQ(field(20), 2 * info.height) << info.name;
    }
    std::remove(path.c_str());
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
