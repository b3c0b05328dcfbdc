// Headless GL display for tests, frame read-back and image files.
#include <GL/gl.h>
#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "display/display.h"
#include "runtime/runtime.h"
#include "tests/support/headless.h"

namespace {
bool displayUp = false;
float headlessLightPosition[5] = {5.0f, 5.0f, 5.0f, 0.5f, 0.0f};
} // namespace

bool StartHeadlessDisplay(int width, int height) {
    if (displayUp)
        return true;
    RuntimeStart();
    WindowServiceStart();
    lightPosition = headlessLightPosition;
    SetUpDisplay(DisplayKind::Offscreen, width, height);
    SetFixedRenderingState();
    displayUp = SDL_GL_GetCurrentContext() != nullptr;
    if (!displayUp)
        std::fprintf(stderr, "headless display: no GL context: %s\n", SDL_GetError());
    return displayUp;
}

Image ReadBackBuffer() {
    Image image;
    image.width = ClientAreaWidth();
    image.height = ClientAreaHeight();
    std::vector<uint8_t> bottomUp(static_cast<size_t>(image.width) * image.height * 3);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    image.rgb.resize(bottomUp.size());
    size_t row = static_cast<size_t>(image.width) * 3;
    for (int y = 0; y < image.height; y++)
        std::copy_n(&bottomUp[(image.height - 1 - y) * row], row, &image.rgb[y * row]);
    return image;
}
