// The fixed-function state that OpenGL 1.1 keeps and ES 2.0 does not: the
// matrix stacks, the current vertex attributes, the switches, the light and
// the material, and the bound texture's description. Each part has a version
// that its setters advance, so that the draw uploads to a shader program only
// what changed since that program last drew.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "webgl/matrix_math.h"

// One vertex as the shaders take it: every attribute, current or given.
struct Vertex {
    float position[3];
    float color[4];
    float texCoord[2];
    float normal[3];
};

// Matrices.
extern Matrix modelView;
extern Matrix projection;
extern uint32_t matrixVersion;

// Current attributes, carried over from vertex to vertex.
extern float currentColor[4];
extern float currentTexCoord[2];
extern float currentNormal[3];
// Counts of glColor4f and glTexCoord2f calls: a display list keeps its own
// colours or texture coordinates only where it set them.
extern uint32_t colorChanges;
extern uint32_t texCoordChanges;

// Switches that ES 2.0 lacks.
extern bool texturingOn;
extern bool fogOn;
extern bool lightingOn;

// Light 0 (position in eye coordinates, as given through the model-view
// matrix at glLightfv), its switch, and the front material.
struct LightState {
    bool on;
    float position[4];
    float ambient[4];
    float diffuse[4];
    float specular[4];
};
struct MaterialState {
    float ambient[4];
    float diffuse[4];
    float specular[4];
    float emission[4];
    float shininess;
};
extern LightState light0;
extern MaterialState frontMaterial;
extern uint32_t lightingVersion;

// The texture bound to GL_TEXTURE_2D as the fragment shader needs it.
struct TextureState {
    bool complete;  // has an image: sampled only then, as in OpenGL
    bool alphaOnly; // GL_ALPHA: colour from the vertex, alpha from the texel
    float width;    // level 0
    float height;
    float borderAxes[2]; // 1 where GL_CLAMP under GL_LINEAR blends toward the border
};
extern TextureState boundTexture;
extern uint32_t textureVersion;

// Draws triangles with the current state: count vertices from memory...
void DrawTriangles(const Vertex *vertices, int count);
// ...or from a buffer of a display list. Colours and texture coordinates come
// from the buffer only where the list set them; otherwise from the current
// values, as a list replays in OpenGL.
void DrawTriangleBuffer(GLuint buffer, int count, bool listColors, bool listTexCoords);
// Makes the vertex buffer and sets the attribute arrays that every draw uses.
void StartDrawing();

// Appends the triangles of primitive mode made of count vertices to
// triangles. False for a mode the layer does not draw.
bool AssembleTriangles(GLenum mode, const Vertex *vertices, int count,
                       std::vector<Vertex> &triangles);

// Display-list recording: while a list is open, glEnd hands its triangles here.
bool ListRecording();
void RecordTriangles(const std::vector<Vertex> &triangles);
