// The supershape generator's pieces, open to the tests: the grid can be checked
// without a GL context, while BuildSupershape still emits the mesh itself.
#pragma once

#include <cstdint>
#include <vector>

struct ShapeParams {
    float a, b, m, n1, n2, n3;
};

struct ShapePoint {
    float x, y, z;
};

// Grid lines are this many whole degrees apart in both directions.
constexpr int32_t SHAPE_GRID_STEP = 8;

// The one solid the demo uses.
constexpr int32_t SHAPE_LON_START = -180;
constexpr int32_t SHAPE_LON_END = 180;
constexpr ShapeParams SHAPE_LON = {1.0f, 1.0f, 0.667f, 0.2f, 1.7f, 1.8f};
constexpr int32_t SHAPE_LAT_START = -90;
constexpr int32_t SHAPE_LAT_END = 90;
constexpr ShapeParams SHAPE_LAT = {1.0f, 1.0f, 7.8f, 0.2f, 2.5f, 1.7f};

// Row-major grid of latitude rows by longitude columns.
struct ShapeGrid {
    int32_t rows = 0;
    int32_t cols = 0;
    std::vector<ShapePoint> points;
    const ShapePoint &At(int32_t row, int32_t col) const {
        return points[static_cast<size_t>(row * cols + col)];
    }
};

float VectorLength(float x, float y, float z);
float Superformula(float phi, const ShapeParams &shape);
ShapePoint FaceNormal(const ShapePoint &p1, const ShapePoint &p2, const ShapePoint &p3);

ShapeGrid FillShapeGrid(int32_t lonStart, int32_t lonEnd, const ShapeParams &lonShape,
                        int32_t latStart, int32_t latEnd, const ShapeParams &latShape);
// The normal sent with vertex (row, col) of a strip, as the strips compute it:
// the face of the vertex with its left neighbours one row below and above.
ShapePoint VertexNormal(const ShapeGrid &grid, int32_t row, int32_t col);

// Fills the grid and emits it as triangle strips (glBegin, glNormal3f,
// glVertex3fv, glEnd only); meant to run inside glNewList.
void BuildSupershape(int32_t lonStart, int32_t lonEnd, const ShapeParams &lonShape,
                     int32_t latStart, int32_t latEnd, const ShapeParams &latShape);
