// Light 0 and the front material, with OpenGL's initial values. The light's
// position goes through the model-view matrix when it is set, as in OpenGL,
// and is kept in eye coordinates.
#include "webgl/fixed_state.h"

LightState light0 = {
    false,
    {0.0f, 0.0f, 1.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 1.0f},
    {1.0f, 1.0f, 1.0f, 1.0f},
    {1.0f, 1.0f, 1.0f, 1.0f},
};
MaterialState frontMaterial = {
    {0.2f, 0.2f, 0.2f, 1.0f},
    {0.8f, 0.8f, 0.8f, 1.0f},
    {0.0f, 0.0f, 0.0f, 1.0f},
    {0.0f, 0.0f, 0.0f, 1.0f},
    0.0f,
};
uint32_t lightingVersion = 1;

namespace {

void Copy4(const GLfloat *from, float *to) {
    for (int i = 0; i < 4; i++)
        to[i] = from[i];
}

float *LightColor(GLenum name) {
    switch (name) {
    case GL_AMBIENT:
        return light0.ambient;
    case GL_DIFFUSE:
        return light0.diffuse;
    case GL_SPECULAR:
        return light0.specular;
    default:
        return nullptr;
    }
}

float *MaterialColor(GLenum name) {
    switch (name) {
    case GL_AMBIENT:
        return frontMaterial.ambient;
    case GL_DIFFUSE:
        return frontMaterial.diffuse;
    case GL_SPECULAR:
        return frontMaterial.specular;
    case GL_EMISSION:
        return frontMaterial.emission;
    default:
        return nullptr;
    }
}

} // namespace

extern "C" {

// Only light 0 exists here: the demo lights with it alone.
void glLightfv(GLenum light, GLenum name, const GLfloat *values) {
    if (light != GL_LIGHT0)
        return;
    if (name == GL_POSITION)
        TransformPoint(modelView, values, light0.position);
    else if (float *color = LightColor(name))
        Copy4(values, color);
    else
        return;
    lightingVersion++;
}

// Lighting is one-sided, so the back material is never used; it is not kept.
void glMaterialfv(GLenum face, GLenum name, const GLfloat *values) {
    if (face != GL_FRONT && face != GL_FRONT_AND_BACK)
        return;
    if (name == GL_SHININESS)
        frontMaterial.shininess = values[0];
    else if (float *color = MaterialColor(name))
        Copy4(values, color);
    else
        return;
    lightingVersion++;
}

} // extern "C"
