// Immediate mode: glBegin, the vertex attributes, glEnd. Colour, texture
// coordinate and normal are current values, set at any time (also between
// glBegin and the first vertex) and carried over from vertex to vertex and
// from primitive to primitive. glEnd draws the whole primitive with one
// buffer upload, or hands it to the display list being recorded.
#include "webgl/fixed_state.h"

float currentColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
float currentTexCoord[2] = {0.0f, 0.0f};
float currentNormal[3] = {0.0f, 0.0f, 1.0f};
uint32_t colorChanges = 0;
uint32_t texCoordChanges = 0;

namespace {

// No primitive open: a value that no OpenGL primitive mode has.
constexpr GLenum NO_PRIMITIVE = 0xFFFFFFFFu;

GLenum primitiveMode = NO_PRIMITIVE;
std::vector<Vertex> primitiveVertices;
std::vector<Vertex> triangles;

} // namespace

extern "C" {

void glBegin(GLenum mode) {
    primitiveMode = mode;
    primitiveVertices.clear();
}

void glEnd() {
    GLenum mode = primitiveMode;
    primitiveMode = NO_PRIMITIVE;
    triangles.clear();
    if (!AssembleTriangles(mode, primitiveVertices.data(),
                           static_cast<int>(primitiveVertices.size()), triangles) ||
        triangles.empty())
        return;
    if (ListRecording())
        RecordTriangles(triangles);
    else
        DrawTriangles(triangles.data(), static_cast<int>(triangles.size()));
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (primitiveMode == NO_PRIMITIVE)
        return;
    Vertex v;
    v.position[0] = x, v.position[1] = y, v.position[2] = z;
    for (int i = 0; i < 4; i++)
        v.color[i] = currentColor[i];
    v.texCoord[0] = currentTexCoord[0], v.texCoord[1] = currentTexCoord[1];
    v.normal[0] = currentNormal[0], v.normal[1] = currentNormal[1], v.normal[2] = currentNormal[2];
    primitiveVertices.push_back(v);
}

void glVertex3fv(const GLfloat *v) {
    glVertex3f(v[0], v[1], v[2]);
}

void glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    currentColor[0] = r, currentColor[1] = g, currentColor[2] = b, currentColor[3] = a;
    colorChanges++;
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    currentTexCoord[0] = s, currentTexCoord[1] = t;
    texCoordChanges++;
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    currentNormal[0] = x, currentNormal[1] = y, currentNormal[2] = z;
}

} // extern "C"
