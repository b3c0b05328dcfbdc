// The supershape: the grid against the figures the solid is known by, and the
// display list as the generator emits it.
#include <cmath>
#include <gtest/gtest.h>

#include "effects/effects.h"
#include "effects/mesh_internal.h"
#include "gl_harness.h"

namespace {

constexpr float TOL = 1e-4f;

ShapeGrid FixedGrid() {
    return FillShapeGrid(SHAPE_LON_START, SHAPE_LON_END, SHAPE_LON, SHAPE_LAT_START, SHAPE_LAT_END,
                         SHAPE_LAT);
}

TEST(ShapeGrid, MatchesTheKnownFigures) {
    ShapeGrid grid = FixedGrid();
    ASSERT_EQ(grid.rows, 23); // -90 .. 86: a span off the 8-degree step stops below its end
    ASSERT_EQ(grid.cols, 46); // -180 .. 180: a span on the step includes it
    const struct {
        int row, col;
        ShapePoint want;
    } samples[] = {{11, 22, {0.9734f, -0.0681f, -0.0341f}},
                   {11, 23, {0.9734f, 0.0681f, -0.0341f}},
                   {12, 22, {0.9189f, -0.0643f, 0.0969f}},
                   {0, 17, {0, 0, -0.9728f}}}; // the pole: one point
    for (const auto &s : samples) {
        EXPECT_NEAR(grid.At(s.row, s.col).x, s.want.x, TOL);
        EXPECT_NEAR(grid.At(s.row, s.col).y, s.want.y, TOL);
        EXPECT_NEAR(grid.At(s.row, s.col).z, s.want.z, TOL);
    }
    // The last row is a small open ring at z = 0.9225.
    EXPECT_NEAR(std::hypot(grid.At(22, 0).x, grid.At(22, 0).y), 0.0459f, TOL);
    EXPECT_NEAR(grid.At(22, 9).z, 0.9225f, TOL);
    for (int r = 0; r < grid.rows; r++) // the seam: column 45 lies on column 0
        EXPECT_EQ(grid.At(r, 45).z, grid.At(r, 0).z);
}

// What CompileShapeList sends into the list: 22 strips of 92 normal and
// vertex pairs in the order P(r, 0), P(r + 1, 0), P(r, 1), ..., nothing else.
TEST(ShapeList, HoldsTheStripsWithOutwardNormals) {
    ASSERT_TRUE(OpenEffectsDisplay());
    std::vector<RecordedCall> calls = Recorded(CompileShapeList);
    ASSERT_EQ(calls.size(), 22u * (2u + 92u * 2u));
    ShapeGrid grid = FixedGrid();
    ShapePoint centre{};
    for (const ShapePoint &p : grid.points)
        centre = {centre.x + p.x / 1058, centre.y + p.y / 1058, centre.z + p.z / 1058};
    auto normalAt = [&](int strip, int k) { return calls[size_t(1 + strip * 186 + k * 2)].args; };
    for (int r = 0; r < 22; r++) {
        const RecordedCall *strip = &calls[static_cast<size_t>(r) * 186];
        EXPECT_EQ(strip[0].args, (std::vector<double>{GL_TRIANGLE_STRIP}));
        for (int k = 0; k < 92; k++) {
            const ShapePoint &p = grid.At(r + k % 2, k / 2);
            ASSERT_EQ(strip[2 + 2 * k].args, (std::vector<double>{p.x, p.y, p.z}));
            const std::vector<double> &n = strip[1 + 2 * k].args;
            // Every computed normal is of unit length and points out of the solid
            // (one formed with column 45, on top of column 0, would not).
            double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            if (length == 0)
                continue;
            EXPECT_NEAR(length, 1.0, 1e-5);
            EXPECT_GT(n[0] * (p.x - centre.x) + n[1] * (p.y - centre.y) + n[2] * (p.z - centre.z),
                      0.0)
                << "strip " << r << " vertex " << k;
        }
    }
    // Where no normal is computed the one before is carried over: the first
    // vertex has (0, 0, 0), and strips 19 to 21 repeat it in each pair.
    EXPECT_EQ(normalAt(0, 0), (std::vector<double>{0, 0, 0}));
    EXPECT_EQ(normalAt(21, 45), normalAt(21, 44));
}

} // namespace
