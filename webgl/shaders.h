// The shader programs that stand in for the fixed-function pipeline: one per
// combination of texturing, fog and lighting, so that no shader branches on
// a switch.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <string>

enum ProgramFeature : unsigned { TEXTURE_FEATURE = 1, FOG_FEATURE = 2, LIGHTING_FEATURE = 4 };
constexpr unsigned PROGRAM_VARIANTS = 8;

// Attribute locations, bound before linking.
enum Attribute : GLuint {
    POSITION_ATTRIBUTE,
    COLOR_ATTRIBUTE,
    TEXCOORD_ATTRIBUTE,
    NORMAL_ATTRIBUTE
};

struct Program {
    GLuint name = 0;
    GLint modelView = -1, modelViewProjection = -1;
    GLint normalMatrix = -1, lightPosition = -1, sceneColor = -1;
    GLint diffuseProduct = -1, specularProduct = -1, shininess = -1;
    GLint alphaImage = -1, imageSize = -1, borderAxes = -1;
    // The versions of the state last uploaded into this program.
    uint32_t matrixSeen = 0, lightingSeen = 0, textureSeen = 0;
};

extern Program programs[PROGRAM_VARIANTS];

// Compiles and links all variants; false with the driver's log in error.
bool BuildPrograms(std::string &error);
