// OpenGL 1.1's primitives as triangles, split as Mesa's software rasteriser
// splits them, so that attributes interpolate along the same diagonals (the
// sheared strips of the wipe show the difference).
#include "webgl/fixed_state.h"

namespace {

void Triangle(const Vertex *v, int a, int b, int c, std::vector<Vertex> &out) {
    out.push_back(v[a]);
    out.push_back(v[b]);
    out.push_back(v[c]);
}

// Quad a b c d (in its winding order) as triangles a b d and b c d.
void Quad(const Vertex *v, int a, int b, int c, int d, std::vector<Vertex> &out) {
    Triangle(v, a, b, d, out);
    Triangle(v, b, c, d, out);
}

} // namespace

bool AssembleTriangles(GLenum mode, const Vertex *v, int count, std::vector<Vertex> &out) {
    switch (mode) {
    case GL_TRIANGLES:
        for (int i = 0; i + 2 < count; i += 3)
            Triangle(v, i, i + 1, i + 2, out);
        return true;
    case GL_TRIANGLE_STRIP:
        // Every other triangle turned back, so all keep the strip's winding.
        for (int i = 0; i + 2 < count; i++)
            if (i % 2 == 0)
                Triangle(v, i, i + 1, i + 2, out);
            else
                Triangle(v, i + 1, i, i + 2, out);
        return true;
    case GL_TRIANGLE_FAN:
    case GL_POLYGON:
        for (int i = 1; i + 1 < count; i++)
            Triangle(v, 0, i, i + 1, out);
        return true;
    case GL_QUADS:
        for (int i = 0; i + 3 < count; i += 4)
            Quad(v, i, i + 1, i + 2, i + 3, out);
        return true;
    case GL_QUAD_STRIP:
        // Quad k is vertices 2k, 2k+1, 2k+3, 2k+2 around its edge.
        for (int i = 0; i + 3 < count; i += 2)
            Quad(v, i + 2, i, i + 1, i + 3, out);
        return true;
    default:
        return false;
    }
}
