// The spine: start-up in its fixed order, one pass of the paced frame loop,
// and the shutdown. The demo executable and the capture tool both run the
// presentation through these procedures, so there is one copy of the loop.
#include <GL/gl.h>

#include "display/display.h"
#include "display/textures.h"
#include "driver/demo.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "music/music.h"
#include "music/start.h"
#include "runtime/runtime.h"

uint32_t frameStart;
uint32_t lastEvent;

namespace {
// Five floats each, the fifth never read; set once and never changed.
float lightPositionValues[5] = {5.0f, 5.0f, 5.0f, 0.5f, 0.0f};
float outerEmissionValues[5] = {0.0f, 1.0f, 0.2f, 0.2f, 0.0f};
float innerEmissionValues[5] = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f};

// Each block reads sceneMask afresh: a block earlier in the frame, or the
// music sync on the player's thread, may have changed it since the last test.
bool SceneOn(int32_t bit) {
    return (sceneMask.load(std::memory_order_relaxed) & bit) != 0;
}

// The close command, or the Escape key itself; another event that happens to
// carry 27 (a mouse move with buttons held) is no reason to stop.
bool EndOfRun(uint32_t event) {
    return event == EVENT_CLOSE || (event == EVENT_KEY_DOWN && LastMessageParam() == KEY_ESCAPE);
}
} // namespace

// Fixed order, which is also the overlay order (no depth test).
void RunEffectBlocks() {
    if (SceneOn(SCENE_TUNNEL))
        DrawTunnel();
    if (scrollerOn == 1)
        DrawScroller();
    if (SceneOn(SCENE_OBJECT))
        DrawLitObject();
    if (SceneOn(SCENE_PANELS))
        DrawFlyingPanels();
    if (SceneOn(SCENE_TITLE))
        DrawTitlePicture();
    if (SceneOn(SCENE_WIPE))
        DrawStripWipe();
    if (SceneOn(SCENE_SLIDE))
        DrawSlidingPicture();
}

void StartUp(const DemoOptions &options) {
    StartUpBeforeDisplay(options);
    SetUpDisplay(options.display, options.width, options.height);
    StartUpAfterDisplay();
}

void StartUpBeforeDisplay(const DemoOptions &options) {
    RuntimeStart();
    WindowServiceStart();
    lightPosition = lightPositionValues;
    outerEmission = outerEmissionValues;
    innerEmission = innerEmissionValues;
    if (!options.sound)
        UseOfflinePlayer();
    InstallSoundLibrary();
    StartMusic();
}

void StartUpAfterDisplay() {
    SetFixedRenderingState();
    CreateTextures();
    CompileShapeList();
    InitSceneVariables();
}

void PaceFrame(uint32_t start) {
    if (TickMilliseconds() - start >= FRAME_PERIOD_MS)
        return; // a long frame is followed at once; lost time is not made up
    int64_t remainder =
        static_cast<int64_t>(FRAME_PERIOD_MS) - static_cast<int64_t>(TickMilliseconds() - start);
    if (remainder > 0)
        Delay(static_cast<uint32_t>(remainder));
}

bool RunFrame(FrameHook beforePresent) {
    bool goOn = DrawFrame(beforePresent);
    PaceFrame(frameStart);
    return goOn;
}

bool DrawFrame(FrameHook beforePresent) {
    frameStart = TickMilliseconds();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ResetView();
    RunEffectBlocks();
    if (beforePresent != nullptr)
        beforePresent();
    PresentFrame();
    lastEvent = PollEvent();
    return !EndOfRun(lastEvent);
}

void Shutdown() {
    // Also ends a message box that the player's thread may still hold open,
    // so that freeing the player does not wait on an unanswered box.
    RequestClose();
    Free(SOUND_SLOT);
    RemoveFile(TempDir() + SOUND_LIBRARY_FILE);
    EndProcess();
}
