#include "gl_harness.h"

#include <GL/glu.h>
#include <cstdint>

#include "display/display.h"
#include "display/textures.h"
#include "driver/demo.h"
#include "effects/effects.h"

namespace {

float outerValues[5] = {0.0f, 1.0f, 0.2f, 0.2f, 0.0f};
float innerValues[5] = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f};

// A one-channel image of width x height texels (channels bytes each): value v
// inside the rectangle [x0, x1] x [y0, y1], 0 outside.
std::vector<uint8_t> Block(int width, int height, int x0, int x1, int y0, int y1, uint8_t v,
                           int channels = 1) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width * height * channels), 0);
    for (int y = y0; y <= y1; y++)
        for (int x = x0 * channels; x < (x1 + 1) * channels; x++)
            pixels[static_cast<size_t>(y * width * channels + x)] = v;
    return pixels;
}

void Upload(GLuint *name, GLenum format, int width, int height,
            const std::vector<uint8_t> &pixels) {
    glGenTextures(1, name);
    glBindTexture(GL_TEXTURE_2D, *name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(format), width, height, format,
                      GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
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
    // Font cells 0 to 35 (12 texels each): a block over rows 2 to 13.
    Upload(&fontTexture, GL_ALPHA, 512, 16, Block(512, 16, 0, 431, 2, 13, 255));
    // Ring: bright in the upper half, dim in the lower.
    std::vector<uint8_t> ring = Block(128, 128, 0, 127, 0, 63, 200, 3);
    for (size_t i = ring.size() / 2; i < ring.size(); i++)
        ring[i] = 90;
    Upload(&ringTexture, GL_RGB, 128, 128, ring);
    Upload(&panelTexture, GL_LUMINANCE, 256, 256, Block(256, 256, 64, 194, 0, 255, 255));
    Upload(&titleTexture1, GL_LUMINANCE, 512, 64, Block(512, 64, 31, 458, 0, 60, 255));
    // The second word has a grey middle (columns 235 to 361).
    std::vector<uint8_t> second = Block(512, 64, 31, 458, 0, 60, 255);
    for (int y = 0; y < 64; y++)
        for (int x = 235; x <= 361; x++)
            second[static_cast<size_t>(y * 512 + x)] = 128;
    Upload(&titleTexture2, GL_LUMINANCE, 512, 64, second);
    // The picture: white but for its last 23 rows and its edge columns.
    Upload(&pictureTexture, GL_RGB, 256, 512, Block(256, 512, 1, 253, 0, 488, 255, 3));
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
        for (int x = x0; x < x1; x++)
            sum += image.Pixel(x, y)[0] + image.Pixel(x, y)[1] + image.Pixel(x, y)[2];
    return sum / ((x1 - x0) * (y1 - y0));
}
