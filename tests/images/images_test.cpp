// The painted texture images, byte by byte, for everything the effects rely
// on; and the make_images command line.
#include "tests/images/image_views.h"
#include "tests/support/process.h"
#include "tools/images/images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

struct ImageCase {
    int index;
    int lowest, highest; // byte values
    size_t minLevels, maxLevels;
    int x0, x1, y0, y1; // the area outside which everything is black
};

const ImageCase IMAGES[] = {
    {0, 0, 255, 2, 2, 0, 432, 0, 15},     // font: full ink or none
    {1, 69, 255, 2, 256, 0, 127, 0, 127}, // ring: no dark areas
    {2, 0, 239, 24, 32, 64, 194, 0, 255}, // panel: about 30 grey levels
    {3, 0, 255, 24, 32, 31, 458, 0, 60},  // first title word
    {4, 0, 255, 24, 32, 31, 458, 0, 60},  // second title word
    {5, 0, 255, 2, 256, 1, 253, 0, 488},  // picture
};

class Images : public testing::TestWithParam<ImageCase> {};

TEST_P(Images, ValuesAndAreaAsTheEffectsExpect) {
    const ImageCase &c = GetParam();
    View v = ImageView(c.index);
    std::set<int> values(v.bytes, v.bytes + IMAGE_INFO[c.index].Size());
    EXPECT_GE(*values.begin(), c.lowest);
    EXPECT_LE(*values.rbegin(), c.highest);
    EXPECT_GE(values.size(), c.minLevels);
    EXPECT_LE(values.size(), c.maxLevels);
    EXPECT_EQ(v.Ink(c.x0, c.x1, c.y0, c.y1), v.Ink(0, v.width - 1, 0, v.height - 1));
    // The figure reaches out to the area's left, right and bottom edges.
    EXPECT_GT(v.Ink(c.x0, c.x0 + 29, c.y0, c.y1), 0);
    EXPECT_GT(v.Ink(c.x1 - 29, c.x1, c.y0, c.y1), 0);
    EXPECT_GT(v.Ink(c.x0, c.x1, c.y1 - 9, c.y1), 0);
}

INSTANTIATE_TEST_SUITE_P(Each, Images, testing::ValuesIn(IMAGES));

// Rows of a font cell that hold ink, bit y for row y.
unsigned InkRows(const View &font, int cell) {
    unsigned rows = 0;
    for (int y = 0; y < 16; ++y)
        rows |= font.Ink(cell * 12, cell * 12 + 11, y, y) ? 1u << y : 0u;
    return rows;
}

TEST(Font, GlyphsStandInTheirCellsAndRows) {
    View font = ImageView(0);
    const struct {
        int cell;
        unsigned rows;
    } MARKS[] = {{26, 0xf000}, {27, 0xf000}, {29, 0xf3c0}, {32, 0x0180}, {34, 0xf3ff}};
    for (const auto &m : MARKS)
        EXPECT_EQ(InkRows(font, m.cell), m.rows) << "cell " << m.cell;
    for (int cell = 0; cell < FONT_GLYPH_COUNT; ++cell) {
        EXPECT_GT(font.Ink(cell * 12, cell * 12 + 11, 0, 15), 8) << "cell " << cell;
        EXPECT_TRUE(cell >= 26 || (InkRows(font, cell) & 0x8001) == 0x8001) << cell;
    }
    EXPECT_EQ(font.Ink(432, 432, 0, 15), 2) << "the number sign's two texels";
    // Backslash from the top left to the bottom right; slash the other way.
    EXPECT_TRUE(font.At(30 * 12 + 1, 0) && font.At(30 * 12 + 10, 15));
    EXPECT_TRUE(font.At(31 * 12 + 10, 0) && font.At(31 * 12 + 1, 15));
}

// The commonest length of the letters' ink runs along their rows.
TEST(Font, StrokesAreMostlyTwoTexelsThick) {
    View font = ImageView(0);
    std::map<int, int> runs;
    for (int y = 0; y < 16; ++y)
        for (int x = 0, run = 0; x <= 26 * 12; ++x)
            if (x < 26 * 12 && font.At(x, y))
                ++run;
            else if (run)
                ++runs[std::exchange(run, 0)];
    EXPECT_EQ(std::max_element(runs.begin(), runs.end(),
                               [](auto a, auto b) { return a.second < b.second; })
                  ->first,
              2);
}

// The pattern wraps round the tunnel: its last column meets its first no
// harder than neighbouring columns meet on average.
TEST(Ring, EdgesJoinLikeNeighbouringColumns) {
    View ring = ImageView(1);
    auto step = [&](int x1, int x2) { // summed over the column's texels and channels
        long sum = 0;
        for (int i = 0; i < ring.height * 3; ++i)
            sum += std::abs(ring.At(x1, i / 3, i % 3) - ring.At(x2, i / 3, i % 3));
        return sum;
    };
    long inner = 0;
    for (int x = 0; x + 1 < ring.width; ++x)
        inner += step(x, x + 1);
    inner /= ring.width - 1;
    EXPECT_GT(inner, ring.height * 3) << "the pattern is not flat";
    EXPECT_LT(step(ring.width - 1, 0), 2 * inner);
}

// The words differ only within the band, and not on its edge columns, where
// a middle letter would be cut.
TEST(Title, SecondWordDiffersOnlyInsideTheMiddleBand) {
    View first = ImageView(3), second = ImageView(4);
    auto differs = [&](int x, int y) { return first.At(x, y) != second.At(x, y); };
    EXPECT_EQ(first.Count(0, 511, 0, 63, differs),
              first.Count(TITLE_CHANGE_FIRST + 1, TITLE_CHANGE_LAST - 1, 0, 63, differs));
    EXPECT_GT(first.Count(0, 511, 0, 63, differs), 500);
}

// Painting is deterministic; the command writes the painted block and the
// previews, or fails with an exit code.
TEST(MakeImages, WritesThePaintedBlockAndZoomedPreviewsOrFails) {
    EXPECT_TRUE(PaintImageBlock() == Block());
    std::string dir = testing::TempDir() + "images_" + std::to_string(getpid());
    auto run = [](const std::string &arguments) {
        return ShellStatus(MAKE_IMAGES_PATH " " + arguments);
    };
    ASSERT_EQ(run("--zoom 2 --png-dir " + dir + " " + dir + ".bin"), 1) << "no such folder";
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    ASSERT_EQ(run(dir + ".bin --png-dir " + dir + " --zoom 2"), 0);
    EXPECT_EQ(std::filesystem::file_size(dir + ".bin"), Block().size());
    EXPECT_TRUE(std::filesystem::exists(dir + "/picture.png"));
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(run("a.bin --zoom 0"), 2);
    EXPECT_THROW(PaintImage(IMAGE_COUNT), std::out_of_range);
    EXPECT_EQ(std::system(("rm -r " + dir + " " + dir + ".bin").c_str()), 0);
}

} // namespace
