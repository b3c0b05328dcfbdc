// Drawing with the current state: the program for the switches that are on,
// the uniforms that changed since that program last drew, the vertex
// attributes from one buffer.
#include <cmath>
#include <cstddef>

#include "webgl/es2.h"
#include "webgl/fixed_state.h"
#include "webgl/shaders.h"

namespace {

// The light model's initial ambient colour, which lights every material.
constexpr float MODEL_AMBIENT[3] = {0.2f, 0.2f, 0.2f};

GLuint streamBuffer = 0;
const Program *programInUse = nullptr;
bool colorArrayOn = false;
bool texCoordArrayOn = false;

Program &Select() {
    unsigned features = 0;
    if (texturingOn && boundTexture.complete)
        features |= TEXTURE_FEATURE;
    if (fogOn)
        features |= FOG_FEATURE;
    if (lightingOn)
        features |= LIGHTING_FEATURE;
    Program &p = programs[features];
    if (programInUse != &p)
        es2.UseProgram(p.name);
    programInUse = &p;
    return p;
}

// The upper 3 x 3 of the transposed inverse, column-major for GLSL's mat3.
void NormalMatrix(float out[9]) {
    Matrix inverse;
    if (!InvertMatrix(modelView, inverse))
        inverse = IdentityMatrix();
    for (int column = 0; column < 3; column++)
        for (int row = 0; row < 3; row++)
            out[column * 3 + row] = inverse.m[row * 4 + column];
}

// What lighting adds up for one vertex but its diffuse and specular terms:
// emission, the model's ambient light and light 0's ambient light on the
// material; with the diffuse alpha, which is the lit colour's alpha.
void SceneColor(float out[4]) {
    for (int i = 0; i < 3; i++) {
        out[i] = frontMaterial.emission[i] + frontMaterial.ambient[i] * MODEL_AMBIENT[i];
        if (light0.on)
            out[i] += light0.ambient[i] * frontMaterial.ambient[i];
    }
    out[3] = frontMaterial.diffuse[3];
}

// A positional light as a point (divided by its w), a directional one as a
// unit direction.
void LightPosition(float out[4]) {
    const float *p = light0.position;
    if (p[3] != 0.0f) {
        out[0] = p[0] / p[3], out[1] = p[1] / p[3], out[2] = p[2] / p[3], out[3] = 1.0f;
        return;
    }
    float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    out[0] = p[0] / length, out[1] = p[1] / length, out[2] = p[2] / length, out[3] = 0.0f;
}

void UploadMatrices(Program &p) {
    Matrix mvp = MultiplyMatrices(projection, modelView);
    es2.UniformMatrix4fv(p.modelView, 1, GL_FALSE, modelView.m);
    es2.UniformMatrix4fv(p.modelViewProjection, 1, GL_FALSE, mvp.m);
}

void UploadLighting(Program &p) {
    float normals[9], scene[4], position[4], diffuse[3] = {}, specular[3] = {};
    NormalMatrix(normals);
    SceneColor(scene);
    LightPosition(position);
    for (int i = 0; light0.on && i < 3; i++) {
        diffuse[i] = light0.diffuse[i] * frontMaterial.diffuse[i];
        specular[i] = light0.specular[i] * frontMaterial.specular[i];
    }
    es2.UniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, normals);
    es2.Uniform4fv(p.sceneColor, 1, scene);
    es2.Uniform4fv(p.lightPosition, 1, position);
    es2.Uniform3fv(p.diffuseProduct, 1, diffuse);
    es2.Uniform3fv(p.specularProduct, 1, specular);
    es2.Uniform1f(p.shininess, frontMaterial.shininess);
}

void UploadTexture(Program &p) {
    es2.Uniform1f(p.alphaImage, boundTexture.alphaOnly ? 1.0f : 0.0f);
    es2.Uniform2f(p.imageSize, boundTexture.width, boundTexture.height);
    es2.Uniform2f(p.borderAxes, boundTexture.borderAxes[0], boundTexture.borderAxes[1]);
}

Program &Prepare() {
    Program &p = Select();
    bool lit = p.normalMatrix >= 0;
    if (p.matrixSeen != matrixVersion) {
        UploadMatrices(p);
        if (lit)
            p.lightingSeen = 0; // the normal matrix follows the model-view matrix
        p.matrixSeen = matrixVersion;
    }
    if (lit && p.lightingSeen != lightingVersion) {
        UploadLighting(p);
        p.lightingSeen = lightingVersion;
    }
    if (p.alphaImage >= 0 && p.textureSeen != textureVersion) {
        UploadTexture(p);
        p.textureSeen = textureVersion;
    }
    return p;
}

void Attribute(GLuint index, int size, size_t offset) {
    es2.VertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                            reinterpret_cast<const GLvoid *>(offset));
}

// An attribute from the buffer, or the current value for every vertex.
void ArrayOrCurrent(GLuint index, bool fromArray, bool &arrayOn, int size, size_t offset,
                    const float *current) {
    if (fromArray != arrayOn)
        (fromArray ? es2.EnableVertexAttribArray : es2.DisableVertexAttribArray)(index);
    arrayOn = fromArray;
    if (fromArray)
        Attribute(index, size, offset);
    else if (size == 4)
        es2.VertexAttrib4fv(index, current);
    else
        es2.VertexAttrib2fv(index, current);
}

void DrawBound(int count, bool colors, bool texCoords) {
    Prepare();
    Attribute(POSITION_ATTRIBUTE, 3, offsetof(Vertex, position));
    Attribute(NORMAL_ATTRIBUTE, 3, offsetof(Vertex, normal));
    ArrayOrCurrent(COLOR_ATTRIBUTE, colors, colorArrayOn, 4, offsetof(Vertex, color), currentColor);
    ArrayOrCurrent(TEXCOORD_ATTRIBUTE, texCoords, texCoordArrayOn, 2, offsetof(Vertex, texCoord),
                   currentTexCoord);
    es2.DrawArrays(GL_TRIANGLES, 0, count);
}

} // namespace

void StartDrawing() {
    es2.GenBuffers(1, &streamBuffer);
    es2.EnableVertexAttribArray(POSITION_ATTRIBUTE);
    es2.EnableVertexAttribArray(NORMAL_ATTRIBUTE);
}

void DrawTriangles(const Vertex *vertices, int count) {
    es2.BindBuffer(GL_ARRAY_BUFFER, streamBuffer);
    es2.BufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count * sizeof(Vertex)), vertices,
                   GL_STREAM_DRAW);
    DrawBound(count, true, true);
}

void DrawTriangleBuffer(GLuint buffer, int count, bool listColors, bool listTexCoords) {
    es2.BindBuffer(GL_ARRAY_BUFFER, buffer);
    DrawBound(count, listColors, listTexCoords);
}
