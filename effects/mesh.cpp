// The lit object's solid: a supershape, generated once at start-up and kept
// only as a display list.
#include <GL/gl.h>
#include <cmath>

#include "effects/effects.h"
#include "effects/mesh_internal.h"

GLuint shapeList;

namespace {

constexpr float PI_F = 3.14159274f;

// Powers go through double precision and come back as float.
float PowF(float x, float y) {
    return static_cast<float>(std::pow(static_cast<double>(x), static_cast<double>(y)));
}

// The number of values start, start + 8, ... that stay <= end.
int32_t GridLines(int32_t start, int32_t end) {
    return ((end - start) >> 3) + 1;
}

int32_t LeftColumn(const ShapeGrid &grid, int32_t col) {
    // The last column repeats the first, so column 0's left neighbour is the
    // one before the last.
    return col == 0 ? grid.cols - 2 : col - 1;
}

void SendVertex(const ShapePoint &normal, const ShapePoint &p) {
    glNormal3f(normal.x, normal.y, normal.z);
    glVertex3fv(&p.x);
}

void EmitShapeStrips(const ShapeGrid &grid) {
    ShapePoint currentNormal = {0.0f, 0.0f, 0.0f};
    for (int32_t r = 0; r <= grid.rows - 2; r++) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int32_t c = 0; c < grid.cols; c++) {
            if (r > 0)
                currentNormal = VertexNormal(grid, r, c);
            SendVertex(currentNormal, grid.At(r, c));
            // Compared with rows - 2, not rows: the last strips keep the normal
            // of the vertex before for their upper vertices.
            if (r + 2 < grid.rows - 2)
                currentNormal = VertexNormal(grid, r + 1, c);
            SendVertex(currentNormal, grid.At(r + 1, c));
        }
        glEnd();
    }
}

} // namespace

float DegToRad(float degrees) {
    return degrees * PI_F / 180.0f;
}

float VectorLength(float x, float y, float z) {
    return std::sqrt(x * x + y * y + z * z);
}

float Superformula(float phi, const ShapeParams &s) {
    float e = -1.0f / s.n1;
    float angle = s.m / 4.0f * phi;
    float t1 = std::fabs(static_cast<float>(std::cos(static_cast<double>(angle))) / s.a);
    float p1 = PowF(t1, s.n2);
    float t2 = std::fabs(static_cast<float>(std::sin(static_cast<double>(angle))) / s.b);
    float p2 = PowF(t2, s.n3);
    return PowF(p1 + p2, e);
}

ShapePoint FaceNormal(const ShapePoint &p1, const ShapePoint &p2, const ShapePoint &p3) {
    ShapePoint u = {p1.x - p2.x, p1.y - p2.y, p1.z - p2.z};
    ShapePoint v = {p1.x - p3.x, p1.y - p3.y, p1.z - p3.z};
    ShapePoint n = {u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    float len = VectorLength(n.x, n.y, n.z);
    // A degenerate face gives (0, 0, 0). A face so small that the squares
    // underflow would give a length of 0 with non-zero components: it counts
    // as degenerate too, rather than dividing by zero.
    if (len == 0.0f)
        return {0.0f, 0.0f, 0.0f};
    if (n.x != 0.0f)
        n.x /= len;
    if (n.y != 0.0f)
        n.y /= len;
    if (n.z != 0.0f)
        n.z /= len;
    return n;
}

ShapeGrid FillShapeGrid(int32_t lonStart, int32_t lonEnd, const ShapeParams &lonShape,
                        int32_t latStart, int32_t latEnd, const ShapeParams &latShape) {
    ShapeGrid grid;
    grid.rows = GridLines(latStart, latEnd);
    grid.cols = GridLines(lonStart, lonEnd);
    grid.points.assign(static_cast<size_t>(grid.rows * grid.cols), ShapePoint{0, 0, 0});
    int32_t i = 0;
    for (int32_t lat = latStart; lat <= latEnd; lat += SHAPE_GRID_STEP, i++) {
        int32_t j = 0;
        for (int32_t lon = lonStart; lon <= lonEnd; lon += SHAPE_GRID_STEP, j++) {
            float theta = DegToRad(static_cast<float>(lon));
            float phi = DegToRad(static_cast<float>(lat));
            double r1 = Superformula(theta, lonShape);
            double r2 = Superformula(phi, latShape);
            double cosPhi = std::cos(static_cast<double>(phi));
            ShapePoint &p = grid.points[static_cast<size_t>(i * grid.cols + j)];
            p.x = static_cast<float>(r1 * std::cos(static_cast<double>(theta)) * r2 * cosPhi);
            p.y = static_cast<float>(r1 * std::sin(static_cast<double>(theta)) * r2 * cosPhi);
            p.z = static_cast<float>(r2 * std::sin(static_cast<double>(phi)));
        }
    }
    return grid;
}

ShapePoint VertexNormal(const ShapeGrid &grid, int32_t row, int32_t col) {
    int32_t left = LeftColumn(grid, col);
    return FaceNormal(grid.At(row - 1, left), grid.At(row, col), grid.At(row + 1, left));
}

void BuildSupershape(int32_t lonStart, int32_t lonEnd, const ShapeParams &lonShape,
                     int32_t latStart, int32_t latEnd, const ShapeParams &latShape) {
    // The grid lives only while the strips are emitted; the list keeps the mesh.
    ShapeGrid grid = FillShapeGrid(lonStart, lonEnd, lonShape, latStart, latEnd, latShape);
    EmitShapeStrips(grid);
}

void CompileShapeList() {
    shapeList = glGenLists(1);
    glNewList(shapeList, GL_COMPILE);
    BuildSupershape(SHAPE_LON_START, SHAPE_LON_END, SHAPE_LON, SHAPE_LAT_START, SHAPE_LAT_END,
                    SHAPE_LAT);
    glEndList();
}
