// The supershape: the grid's values against the figures the solid is known
// by, and the display list's contents as the generator emits them.
#include <GL/gl.h>
#include <algorithm>
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

void ExpectPoint(const ShapePoint &p, float x, float y, float z) {
    EXPECT_NEAR(p.x, x, TOL);
    EXPECT_NEAR(p.y, y, TOL);
    EXPECT_NEAR(p.z, z, TOL);
}

TEST(ShapeGrid, SizeFollowsTheEightDegreeSteps) {
    ShapeGrid grid = FixedGrid();
    EXPECT_EQ(grid.rows, 23);
    EXPECT_EQ(grid.cols, 46);
    EXPECT_EQ(grid.points.size(), 1058u);
    // A span that is a multiple of 8 includes its end, one that is not stops
    // below it.
    ShapeGrid small = FillShapeGrid(0, 16, SHAPE_LON, 0, 15, SHAPE_LAT);
    EXPECT_EQ(small.cols, 3);
    EXPECT_EQ(small.rows, 2);
}

TEST(ShapeGrid, PoleSeamAndLastRing) {
    ShapeGrid grid = FixedGrid();
    for (int c = 0; c < grid.cols; c++) {
        EXPECT_LT(std::fabs(grid.At(0, c).x), 1e-7f);
        EXPECT_LT(std::fabs(grid.At(0, c).y), 1e-7f);
        EXPECT_NEAR(grid.At(0, c).z, -0.9728f, TOL);
    }
    for (int r = 0; r < grid.rows; r++) {
        EXPECT_EQ(grid.At(r, 45).x, grid.At(r, 0).x);
        EXPECT_EQ(grid.At(r, 45).z, grid.At(r, 0).z);
        EXPECT_LT(std::fabs(grid.At(r, 45).y + grid.At(r, 0).y), 1e-7f);
    }
    float nearest = 1, farthest = 0;
    for (int c = 0; c < grid.cols; c++) {
        const ShapePoint &p = grid.At(22, c);
        EXPECT_NEAR(p.z, 0.9225f, TOL);
        float distance = std::hypot(p.x, p.y);
        nearest = std::min(nearest, distance);
        farthest = std::max(farthest, distance);
    }
    EXPECT_NEAR(nearest, 0.0459f, TOL);
    EXPECT_NEAR(farthest, 0.0644f, TOL);
}

TEST(ShapeGrid, BoundingBoxAndSamples) {
    ShapeGrid grid = FixedGrid();
    ShapePoint lo = grid.points[0], hi = grid.points[0];
    for (const ShapePoint &p : grid.points) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    ExpectPoint(lo, -0.7643f, -0.9267f, -1.0905f);
    ExpectPoint(hi, 1.0649f, 0.9267f, 1.0836f);
    ExpectPoint(grid.At(11, 22), 0.9734f, -0.0681f, -0.0341f);
    ExpectPoint(grid.At(11, 23), 0.9734f, 0.0681f, -0.0341f);
    ExpectPoint(grid.At(12, 22), 0.9189f, -0.0643f, 0.0969f);
    ExpectPoint(VertexNormal(grid, 11, 23), 0.8960f, -0.4385f, -0.0702f);
}

TEST(ShapeGrid, RadiiOfTheTwoCurves) {
    auto r1 = [](float degrees) { return Superformula(DegToRad(degrees), SHAPE_LON); };
    auto r2 = [](float degrees) { return Superformula(DegToRad(degrees), SHAPE_LAT); };
    EXPECT_NEAR(r1(0), 1.0f, TOL);
    EXPECT_NEAR(r1(90), 0.8602f, TOL);
    EXPECT_NEAR(r1(-90), 0.8602f, TOL);
    EXPECT_NEAR(r1(180), 0.7121f, TOL);
    EXPECT_NEAR(r1(-180), 0.7121f, TOL);
    EXPECT_NEAR(r2(0), 1.0f, TOL);
    EXPECT_NEAR(r2(6), 0.9272f, TOL);
    EXPECT_NEAR(r2(-42), 1.0486f, TOL);
    EXPECT_NEAR(r2(-90), 0.9728f, TOL);
    EXPECT_EQ(DegToRad(180.0f), 3.14159274f);
}

TEST(FaceNormal, DegenerateFacesGiveZeroWithoutDividing) {
    ShapePoint p = {0.3f, -0.2f, 0.9f};
    ShapePoint zero = FaceNormal(p, p, p);
    EXPECT_EQ(zero.x, 0.0f);
    EXPECT_EQ(zero.y, 0.0f);
    EXPECT_EQ(zero.z, 0.0f);
    // So small that the squares underflow: still no infinity or NaN.
    ShapePoint tiny = FaceNormal({0, 0, 0}, {1e-22f, 0, 0}, {0, 1e-22f, 0});
    EXPECT_EQ(tiny.x, 0.0f);
    EXPECT_EQ(tiny.y, 0.0f);
    EXPECT_EQ(tiny.z, 0.0f);
    // A face in the xy plane: the zero components stay exactly 0.
    ShapePoint flat = FaceNormal({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    EXPECT_EQ(flat.x, 0.0f);
    EXPECT_EQ(flat.y, 0.0f);
    EXPECT_EQ(flat.z, 1.0f);
}

class ShapeList : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenEffectsDisplay());
    }
};

// What CompileShapeList sends into the list, read through the recorder.
TEST_F(ShapeList, HoldsTwentyTwoStripsOfNormalVertexPairsOnly) {
    StartRecording();
    CompileShapeList();
    std::vector<RecordedCall> calls = StopRecording();
    ASSERT_EQ(calls.size(), 2u + 22u * (2u + 92u * 2u) + 1u);
    EXPECT_EQ(calls[0].name, "glGenLists");
    EXPECT_EQ(calls[1].name, "glNewList");
    EXPECT_EQ(calls[1].args[0], shapeList);
    EXPECT_EQ(calls[1].args[1], GL_COMPILE);
    EXPECT_EQ(calls.back().name, "glEndList");
    EXPECT_NE(shapeList, 0u);

    ShapeGrid grid = FixedGrid();
    double cx = 0, cy = 0, cz = 0;
    for (const ShapePoint &p : grid.points) {
        cx += p.x / 1058.0;
        cy += p.y / 1058.0;
        cz += p.z / 1058.0;
    }
    size_t at = 2;
    for (int r = 0; r < 22; r++) {
        ASSERT_EQ(calls[at].name, "glBegin");
        EXPECT_EQ(calls[at].args[0], GL_TRIANGLE_STRIP);
        at++;
        for (int k = 0; k < 92; k++, at += 2) {
            const RecordedCall &normal = calls[at];
            const RecordedCall &vertex = calls[at + 1];
            ASSERT_EQ(normal.name, "glNormal3f");
            ASSERT_EQ(vertex.name, "glVertex3fv");
            // Vertices in the order P(r, 0), P(r + 1, 0), P(r, 1), ...
            const ShapePoint &p = grid.At(r + k % 2, k / 2);
            EXPECT_EQ(vertex.args[0], p.x);
            EXPECT_EQ(vertex.args[1], p.y);
            EXPECT_EQ(vertex.args[2], p.z);
            double nx = normal.args[0], ny = normal.args[1], nz = normal.args[2];
            double length = std::sqrt(nx * nx + ny * ny + nz * nz);
            ASSERT_FALSE(std::isnan(length));
            if (length == 0)
                continue;
            EXPECT_NEAR(length, 1.0, 1e-5);
            // Every computed normal points out of the solid; a seam formed
            // with column 45 (which lies on column 0) would not.
            double out = nx * (p.x - cx) + ny * (p.y - cy) + nz * (p.z - cz);
            EXPECT_GT(out, 0.0) << "strip " << r << " vertex " << k;
        }
        ASSERT_EQ(calls[at].name, "glEnd");
        at++;
    }
}

TEST_F(ShapeList, NormalsCarriedOverWhereTheyAreNotComputed) {
    StartRecording();
    CompileShapeList();
    std::vector<RecordedCall> calls = StopRecording();
    auto normalOf = [&](int strip, int k) {
        return calls[2 + static_cast<size_t>(strip) * 186 + 1 + static_cast<size_t>(k) * 2].args;
    };
    // The first vertex of all carries (0, 0, 0); row 0 repeats what came before.
    EXPECT_EQ(normalOf(0, 0), (std::vector<double>{0, 0, 0}));
    // Strip 11, column 23: the sample normal.
    std::vector<double> sample = normalOf(11, 46);
    EXPECT_NEAR(sample[0], 0.8960, 1e-4);
    EXPECT_NEAR(sample[1], -0.4385, 1e-4);
    EXPECT_NEAR(sample[2], -0.0702, 1e-4);
    // Strips 19 to 21: each second vertex repeats the normal before it;
    // strip 18 still computes its own.
    for (int strip = 19; strip < 22; strip++)
        for (int c = 0; c < 46; c++)
            EXPECT_EQ(normalOf(strip, 2 * c + 1), normalOf(strip, 2 * c));
    EXPECT_NE(normalOf(18, 21), normalOf(18, 20));
}

// The compiled list plays back the mesh's 1935 triangles of non-zero area (the
// other 45 of the 1980 have two corners on the pole). Feedback mode, all in
// view; the GL may join the strips with zero-area triangles of its own.
TEST_F(ShapeList, PlaysBackAsTriangles) {
    CompileShapeList();
    std::vector<GLfloat> buffer(200000);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glPushMatrix();
    glLoadIdentity();
    glScalef(0.5f, 0.5f, 0.5f);
    glCallList(shapeList);
    glPopMatrix();
    GLint values = glRenderMode(GL_RENDER);
    ASSERT_GT(values, 0);
    int solid = 0;
    for (GLint i = 0; i < values;) {
        ASSERT_EQ(buffer[static_cast<size_t>(i)], GL_POLYGON_TOKEN);
        int corners = static_cast<int>(buffer[static_cast<size_t>(i) + 1]);
        ASSERT_EQ(corners, 3);
        const GLfloat *v = &buffer[static_cast<size_t>(i) + 2];
        double ux = v[3] - v[0], uy = v[4] - v[1], uz = v[5] - v[2];
        double wx = v[6] - v[0], wy = v[7] - v[1], wz = v[8] - v[2];
        double cross = std::fabs(uy * wz - uz * wy) + std::fabs(uz * wx - ux * wz) +
                       std::fabs(ux * wy - uy * wx);
        solid += cross > 1e-12;
        i += 2 + corners * 3;
    }
    EXPECT_EQ(solid, 1935);
}

} // namespace
