// Frame F's sound is the sample frames from F x 44100 / 50 up to
// (F + 1) x 44100 / 50, counted from the start so that no rounding can
// accumulate.
#include "capture/offline.h"

#include "capture/options.h"
#include "driver/demo.h"
#include "music/music.h"
#include "runtime/runtime.h"

#include <GL/gl.h>

namespace {

int64_t SampleAt(int64_t frame) {
    return frame * CAPTURE_SAMPLE_RATE / CAPTURE_FPS;
}

// The viewport must cover the whole drawable so that a scaled capture shows
// the same picture, only sharper.
void FollowDrawable(int width, int height) {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[2] != width || viewport[3] != height)
        glViewport(0, 0, width, height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
}

} // namespace

bool StartOffline(uint32_t seed, int width, int height, std::string &error) {
    // The seed is the virtual clock's first reading: start-up seeds the
    // random numbers from the clock.
    UseVirtualClock(seed);
    DemoOptions demo;
    demo.display = DisplayKind::Offscreen;
    demo.width = width;
    demo.height = height;
    demo.sound = false;
    StartUp(demo);
    if (LibrarySlotHandle(SOUND_SLOT) == nullptr) {
        error = "the player library could not be loaded: " + SoundLibraryLoadError();
        return false;
    }
    FollowDrawable(width, height);
    return true;
}

bool RenderFrameSound(int64_t frame, std::vector<int16_t> &sound, std::string &error) {
    uint32_t count = static_cast<uint32_t>(SampleAt(frame + 1) - SampleAt(frame));
    sound.resize(2 * static_cast<size_t>(count));
    uint32_t rendered =
        CallLibraryFunction<uint32_t>(SOUND_SLOT, "BASSMOD_RenderFrames", sound.data(), count);
    if (rendered == count)
        return true;
    error = "the player could not render the sound of frame " + std::to_string(frame) + " (error " +
            std::to_string(CallLibraryFunction<int32_t>(SOUND_SLOT, "BASSMOD_ErrorGetCode")) + ")";
    return false;
}
