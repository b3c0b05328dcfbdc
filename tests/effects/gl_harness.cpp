#include "gl_harness.h"

#include <GL/glu.h>
#include <cstdint>

#include "display/display.h"
#include "display/textures.h"
#include "effects/effects.h"

namespace {

float outerValues[5] = {0.0f, 1.0f, 0.2f, 0.2f, 0.0f};
float innerValues[5] = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f};

// A texture of the bank's size and format, all texels white: the effects'
// tests tell textures apart by name, the benchmark only needs their cost.
void Upload(GLuint *name, GLenum format, int width, int height, int channels) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width * height * channels), 255);
    glGenTextures(1, name);
    glBindTexture(GL_TEXTURE_2D, *name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(format), width, height, format,
                      GL_UNSIGNED_BYTE, pixels.data());
}

} // namespace

bool OpenEffectsDisplay() {
    if (!StartHeadlessDisplay(FRAME_WIDTH, FRAME_HEIGHT))
        return false;
    outerEmission = outerValues;
    innerEmission = innerValues;
    return true;
}

void UploadStandInTextures() {
    Upload(&fontTexture, GL_ALPHA, 512, 16, 1);
    Upload(&ringTexture, GL_RGB, 128, 128, 3);
    Upload(&panelTexture, GL_LUMINANCE, 256, 256, 1);
    Upload(&titleTexture1, GL_LUMINANCE, 512, 64, 1);
    Upload(&titleTexture2, GL_LUMINANCE, 512, 64, 1);
    Upload(&pictureTexture, GL_RGB, 256, 512, 3);
}

void BeginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ResetView();
}
