// The page's frame test build: the presentation as the capture tool runs it
// (virtual clock, offline player) on the page's WebGL canvas. The page calls
// DrawUpTo(frame) with rising frame numbers and gets the frame's picture as
// glReadPixels gives it (RGB, bottom row first).
#include <GL/gl.h>
#include <cstdio>
#include <emscripten.h>
#include <vector>

#include "capture/offline.h"
#include "display/display.h"
#include "driver/demo.h"

namespace {
std::vector<uint8_t> picture(size_t(SCREEN_WIDTH) * SCREEN_HEIGHT * 3);
std::vector<int16_t> sound;
int64_t next = 0;

void ReadBack() {
    glReadPixels(0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, picture.data());
}
} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE uint8_t *DrawUpTo(int frame) {
    std::string error;
    for (; next <= frame; next++)
        if (!RunFrame(next == frame ? ReadBack : nullptr) ||
            !RenderFrameSound(next, sound, error)) {
            std::printf("frames page: frame %lld: %s\n", static_cast<long long>(next),
                        error.c_str());
            return nullptr;
        }
    return picture.data();
}

int main() {
    std::string error;
    if (!StartOffline(0, SCREEN_WIDTH, SCREEN_HEIGHT, error))
        std::printf("frames page: %s\n", error.c_str());
    emscripten_exit_with_live_runtime();
}
