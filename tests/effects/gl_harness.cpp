#include "gl_harness.h"

#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "display/display.h"
#include "display/textures.h"
#include "driver/demo.h"
#include "driver/timeline.h"
#include "effects/effects.h"

namespace {

float outerValues[5] = {0.0f, 1.0f, 0.2f, 0.2f, 0.0f};
float innerValues[5] = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f};

void UploadTexture(GLuint *name, GLenum format, int width, int height,
                   const std::vector<uint8_t> &pixels, GLint magFilter) {
    glGenTextures(1, name);
    glBindTexture(GL_TEXTURE_2D, *name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(format), width, height, format,
                      GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
}

// A one-channel image: value inside the rectangle [x0, x1] x [y0, y1], 0 outside.
std::vector<uint8_t> Block(int width, int height, int x0, int x1, int y0, int y1, uint8_t v) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width * height), 0);
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++)
            pixels[static_cast<size_t>(y * width + x)] = v;
    return pixels;
}

std::vector<uint8_t> ToRgb(const std::vector<uint8_t> &grey) {
    std::vector<uint8_t> rgb;
    rgb.reserve(grey.size() * 3);
    for (uint8_t v : grey)
        rgb.insert(rgb.end(), {v, v, v});
    return rgb;
}

std::vector<uint8_t> FontStandIn() {
    // Cells 0 to 35 hold a block over the cell's full width, rows 2 to 13.
    std::vector<uint8_t> pixels(512 * 16, 0);
    for (int cell = 0; cell < 36; cell++)
        for (int y = 2; y < 14; y++)
            for (int x = 12 * cell; x < 12 * cell + 12; x++)
                pixels[static_cast<size_t>(y * 512 + x)] = 255;
    return pixels;
}

std::vector<uint8_t> RingStandIn() {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 128; y++)
        for (int x = 0; x < 128; x++) {
            bool light = ((x / 16) + (y / 16)) % 2 == 0;
            pixels.push_back(light ? 230 : 90);
            pixels.push_back(static_cast<uint8_t>(69 + y));
            pixels.push_back(light ? 120 : 200);
        }
    return pixels;
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
    UploadTexture(&fontTexture, GL_ALPHA, 512, 16, FontStandIn(), GL_NEAREST);
    UploadTexture(&ringTexture, GL_RGB, 128, 128, RingStandIn(), GL_LINEAR);
    UploadTexture(&panelTexture, GL_LUMINANCE, 256, 256, Block(256, 256, 64, 194, 0, 255, 255),
                  GL_LINEAR);
    UploadTexture(&titleTexture1, GL_LUMINANCE, 512, 64, Block(512, 64, 31, 458, 0, 60, 255),
                  GL_LINEAR);
    std::vector<uint8_t> second = Block(512, 64, 31, 458, 0, 60, 255);
    for (int y = 0; y < 64; y++)
        for (int x = 235; x <= 361; x++)
            second[static_cast<size_t>(y * 512 + x)] = 128;
    UploadTexture(&titleTexture2, GL_LUMINANCE, 512, 64, second, GL_LINEAR);
    UploadTexture(&pictureTexture, GL_RGB, 256, 512, ToRgb(Block(256, 512, 1, 253, 0, 488, 255)),
                  GL_LINEAR);
}

void BeginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ResetView();
}

void DrawFrameEffects() {
    RunEffectBlocks();
}

double MeanBrightness(const Image &image, int x0, int y0, int x1, int y1) {
    double sum = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++) {
            const uint8_t *p = image.Pixel(x, y);
            sum += p[0] + p[1] + p[2];
        }
    return sum / ((x1 - x0) * (y1 - y0));
}

VisibleState ReadVisibleState() {
    VisibleState s{};
    s.texture2d = glIsEnabled(GL_TEXTURE_2D);
    s.fog = glIsEnabled(GL_FOG);
    s.lighting = glIsEnabled(GL_LIGHTING);
    s.light0 = glIsEnabled(GL_LIGHT0);
    s.blend = glIsEnabled(GL_BLEND);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.boundTexture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &s.wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &s.wrapT);
    glGetIntegerv(GL_BLEND_SRC, &s.blendSrc);
    glGetIntegerv(GL_BLEND_DST, &s.blendDst);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &s.modelViewDepth);
    glGetFloatv(GL_CURRENT_COLOR, s.colour.data());
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, s.texCoord.data());
    glGetFloatv(GL_CURRENT_NORMAL, s.normal.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, s.modelView.data());
    return s;
}
