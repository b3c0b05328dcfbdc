// The painted texture images, checked byte by byte for everything the
// effects rely on: sizes and order, value ranges, empty areas, the font's
// cells and marks, the seam of the ring pattern, where the title words
// differ, and the black ground of the pictures.
#include "assets/assets.h"
#include "tests/images/image_views.h"
#include "tools/images/images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace {

TEST(ImageBlock, LayoutMatchesTheEmbeddedOffsets) {
    const size_t offsets[IMAGE_COUNT] = {FONT_IMAGE_OFFSET,   RING_IMAGE_OFFSET,
                                         PANEL_IMAGE_OFFSET,  TITLE1_IMAGE_OFFSET,
                                         TITLE2_IMAGE_OFFSET, PICTURE_IMAGE_OFFSET};
    size_t offset = 0;
    for (int i = 0; i < IMAGE_COUNT; ++i) {
        EXPECT_EQ(offsets[i], offset) << IMAGE_INFO[i].name;
        offset += IMAGE_INFO[i].Size();
    }
    EXPECT_EQ(offset, TEXTURE_BLOCK_SIZE);
    EXPECT_EQ(Block().size(), TEXTURE_BLOCK_SIZE);
}

TEST(ImageBlock, PaintingIsDeterministicAndAsWritten) {
    EXPECT_TRUE(PaintImageBlock() == Block());
}

TEST(ImageBlock, UnknownImageIsRefused) {
    EXPECT_THROW(PaintImage(IMAGE_COUNT), std::out_of_range);
    EXPECT_THROW(PaintImage(-1), std::out_of_range);
}

// ---- Font ----

TEST(Font, OnlyFullInkOrNothing) {
    View font = ImageView(0);
    for (int y = 0; y < font.height; ++y) {
        for (int x = 0; x < font.width; ++x) {
            ASSERT_TRUE(font.At(x, y) == 0 || font.At(x, y) == 255) << x << "," << y;
        }
    }
}

TEST(Font, ColumnsPastTheGlyphsAreEmptyButTwoTexelsOfTheNumberSign) {
    View font = ImageView(0);
    EXPECT_EQ(InkInColumns(font, 433, 511), 0);
    EXPECT_EQ(InkInColumns(font, 432, 432), 2);
}

TEST(Font, EveryGlyphCellHasInk) {
    View font = ImageView(0);
    for (int cell = 0; cell < FONT_GLYPH_COUNT; ++cell) {
        EXPECT_GT(InkInColumns(font, cell * 12, cell * 12 + 11), 8) << "cell " << cell;
    }
}

TEST(Font, LettersFillTheCellHeightAndMostOfItsWidth) {
    View font = ImageView(0);
    int wide = 0;
    for (int cell = 0; cell < 26; ++cell) {
        std::set<int> rows = InkRows(font, cell);
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(*rows.begin(), 0) << char('A' + cell);
        EXPECT_EQ(*rows.rbegin(), 15) << char('A' + cell);
        wide += InkColumnCount(font, cell) >= 10;
    }
    EXPECT_GE(wide, 20);
}

TEST(Font, StrokesAreMostlyTwoTexelsThick) {
    View font = ImageView(0);
    std::map<int, int> across, down;
    for (int cell = 0; cell < 26; ++cell) {
        CountRuns(font, cell, across, down);
    }
    auto mode = [](const std::map<int, int> &runs) {
        return std::max_element(runs.begin(), runs.end(),
                                [](auto a, auto b) { return a.second < b.second; })
            ->first;
    };
    EXPECT_EQ(mode(across), 2);
    EXPECT_EQ(mode(down), 2);
}

std::set<int> RowRange(int first, int last) {
    std::set<int> rows;
    for (int r = first; r <= last; ++r) {
        rows.insert(r);
    }
    return rows;
}

TEST(Font, MarksStandInTheirRows) {
    View font = ImageView(0);
    std::set<int> bottom = RowRange(12, 15);
    EXPECT_EQ(InkRows(font, 26), bottom) << "full stop";
    EXPECT_EQ(InkRows(font, 27), bottom) << "comma";
    std::set<int> colon = RowRange(6, 9);
    colon.merge(RowRange(12, 15));
    EXPECT_EQ(InkRows(font, 29), colon);
    std::set<int> exclamation = RowRange(0, 9);
    exclamation.merge(RowRange(12, 15));
    EXPECT_EQ(InkRows(font, 34), exclamation);
    EXPECT_EQ(InkRows(font, 32), RowRange(7, 8)) << "hyphen";
}

TEST(Font, SlashesRunCornerToCorner) {
    View font = ImageView(0);
    // Backslash: ink at the top left and the bottom right; slash the other way.
    EXPECT_TRUE(font.At(30 * 12 + 1, 0) && font.At(30 * 12 + 10, 15));
    EXPECT_TRUE(font.At(31 * 12 + 10, 0) && font.At(31 * 12 + 1, 15));
}

// ---- Ring pattern ----

TEST(Ring, NoDarkAreas) {
    const std::vector<uint8_t> &ring = ImageBytes(1);
    EXPECT_GE(*std::min_element(ring.begin(), ring.end()), 69);
}

TEST(Ring, LeftAndRightEdgesJoinLikeNeighbouringColumns) {
    View ring = ImageView(1);
    double seam = ColumnStep(ring, ring.width - 1, 0);
    std::vector<double> inner;
    for (int x = 0; x + 1 < ring.width; ++x) {
        inner.push_back(ColumnStep(ring, x, x + 1));
    }
    std::sort(inner.begin(), inner.end());
    double median = inner[inner.size() / 2];
    EXPECT_GT(median, 1.0) << "the pattern should not be flat";
    EXPECT_LT(seam, 2.0 * median);
}

// The tunnel mirrors the pattern on every second facet: strokes must lean
// both ways alike, or the facets read as chevrons. Gradients along a one-way
// diagonal correlate strongly (a signed sum of gx * gy); a weave's cancel out.
TEST(Ring, StrokesLeanBothWaysAlike) {
    View ring = ImageView(1);
    auto sum = [&](int x, int y) {
        x = (x + ring.width) % ring.width, y = (y + ring.height) % ring.height;
        return ring.At(x, y, 0) + ring.At(x, y, 1) + ring.At(x, y, 2);
    };
    double cross = 0, energy = 0;
    for (int y = 0; y < ring.height; ++y) {
        for (int x = 0; x < ring.width; ++x) {
            double gx = sum(x + 1, y) - sum(x - 1, y), gy = sum(x, y + 1) - sum(x, y - 1);
            cross += gx * gy;
            energy += gx * gx + gy * gy;
        }
    }
    EXPECT_LT(std::abs(2 * cross / energy), 0.12);
}

TEST(Ring, StrokesInManyHues) {
    EXPECT_GE(HueFamilies(ImageView(1), 0.01), 5);
}

// ---- Panel ----

TEST(Panel, AboutThirtyGreyLevelsUpTo239) {
    std::set<int> values = DistinctValues(ImageBytes(2));
    EXPECT_EQ(*values.begin(), 0);
    EXPECT_LE(*values.rbegin(), 239);
    EXPECT_GE(values.size(), 24u);
    EXPECT_LE(values.size(), 32u);
}

double MeanInk(const View &v, int firstRow, int lastRow) {
    double sum = 0;
    int count = 0;
    for (int y = firstRow; y <= lastRow; ++y) {
        for (int x = 0; x < v.width; ++x) {
            sum += v.At(x, y);
            count += v.At(x, y) > 0;
        }
    }
    return count ? sum / count : 0.0;
}

// The figure is bright overall; the forearm reaches the bottom edge but
// dissolves there instead of ending in a cut.
TEST(Panel, BrightFigureWithinItsColumnsFadingDownToTheBottomEdge) {
    View panel = ImageView(2);
    EXPECT_EQ(InkInColumns(panel, 0, 63), 0);
    EXPECT_EQ(InkInColumns(panel, 195, 255), 0);
    EXPECT_GT(RowWidth(panel, panel.height - 1), 40);
    EXPECT_NEAR(MeanInk(panel, 0, panel.height - 1), 180.0, 10.0);
    double arm = MeanInk(panel, 180, 200), bottom = MeanInk(panel, 255, 255);
    EXPECT_LT(bottom, 0.25 * arm);
    EXPECT_GT(bottom, 0.08 * arm);
}

TEST(Panel, FistAtTheTopIsWiderThanTheForearm) {
    View panel = ImageView(2);
    int fist = 0;
    for (int y = 0; y < 128; ++y) {
        fist = std::max(fist, RowWidth(panel, y));
    }
    EXPECT_GT(RowWidth(panel, 30), 0);
    EXPECT_GT(fist, RowWidth(panel, 230) + 30);
}

// ---- Title words ----

TEST(Title, WordsInAboutThirtyTwoGreyLevelsWithinTheirArea) {
    for (int index : {3, 4}) {
        View title = ImageView(index);
        std::set<int> values = DistinctValues(ImageBytes(index));
        EXPECT_TRUE(values.count(0) && values.count(255));
        EXPECT_GE(values.size(), 24u);
        EXPECT_LE(values.size(), 32u);
        EXPECT_EQ(InkInColumns(title, 0, 30), 0);
        EXPECT_EQ(InkInColumns(title, 459, 511), 0);
        EXPECT_EQ(InkInRows(title, 61, 63), 0);
        EXPECT_GT(InkInColumns(title, 31, 60), 0) << "the word starts at the left";
        EXPECT_GT(InkInColumns(title, 430, 458), 0) << "and ends at the right";
    }
}

TEST(Title, SecondWordDiffersOnlyInTheMiddle) {
    View first = ImageView(3), second = ImageView(4);
    int inside = 0;
    for (int y = 0; y < first.height; ++y) {
        for (int x = 0; x < first.width; ++x) {
            bool middle = x >= TITLE_CHANGE_FIRST && x <= TITLE_CHANGE_LAST;
            if (!middle) {
                ASSERT_EQ(first.At(x, y), second.At(x, y)) << x << "," << y;
            } else {
                inside += first.At(x, y) != second.At(x, y);
            }
        }
    }
    EXPECT_GT(inside, 500) << "the middle letters change";
}

TEST(Title, MiddleLettersStopShortOfTheBandEdges) {
    // A middle letter reaching the band's edge columns would be cut there.
    View first = ImageView(3), second = ImageView(4);
    for (int y = 0; y < first.height; ++y) {
        for (int x : {TITLE_CHANGE_FIRST, TITLE_CHANGE_LAST}) {
            EXPECT_EQ(first.At(x, y), second.At(x, y)) << x << "," << y;
        }
    }
}

// ---- Picture ----

TEST(Picture, FigureOnPureBlackWithinItsArea) {
    View picture = ImageView(5);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            bool inArea = x >= 1 && x <= 253 && y <= 488;
            if (!inArea) {
                for (int c = 0; c < 3; ++c) {
                    ASSERT_EQ(picture.At(x, y, c), 0) << x << "," << y;
                }
            }
        }
    }
    // The ground inside the area is black too: the corners are not figure.
    EXPECT_EQ(picture.At(2, 2, 0) + picture.At(2, 2, 1) + picture.At(2, 2, 2), 0);
    EXPECT_EQ(picture.At(2, 480, 0) + picture.At(2, 480, 1) + picture.At(2, 480, 2), 0);
}

TEST(Picture, GreyFaceAtTheTopBrownBoxBelow) {
    View picture = ImageView(5);
    EXPECT_GT(RowWidth(picture, 10), 100) << "the head box reaches the top";
    EXPECT_GT(CountTexels(picture, 0, 140, IsGrey), 2000) << "the grey face";
    EXPECT_GT(CountTexels(picture, 170, 330, IsBrown), 15000) << "the cardboard body";
    EXPECT_GT(RowWidth(picture, 484), 40) << "shoes near the bottom";
}

} // namespace
