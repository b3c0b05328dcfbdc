// The whole opening, drawn frame by frame as the demo's loop draws it: the
// scene on screen at the frames where the timeline changes is the one the
// timeline names, judged by what is lit where. EFFECTS_FRAME_DIR, when set,
// receives every frame as a PNG.
#include <GL/gl.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

#include "driver/timeline.h"
#include "effects/effects.h"
#include "gl_harness.h"
#include "runtime/runtime.h"

namespace {

struct Shot {
    int32_t maskBefore, maskAfter;
    Image image;
};

std::map<int, Shot> RunOpening(int frames) {
    std::map<int, Shot> shots;
    const char *dir = std::getenv("EFFECTS_FRAME_DIR");
    for (int frame = 1; frame <= frames; frame++) {
        Shot shot;
        shot.maskBefore = sceneMask.load();
        BeginFrame();
        DrawFrameEffects();
        shot.maskAfter = sceneMask.load();
        shot.image = ReadBackBuffer();
        if (dir != nullptr)
            WritePng(std::string(dir) + "/opening_" + std::to_string(frame) + ".png", shot.image);
        shots[frame] = std::move(shot);
    }
    return shots;
}

// Mean brightness (r + g + b) of the word's band, of everything above the
// centre line, and of everything below the band.
double Word(const Image &i) {
    return MeanBrightness(i, 130, 245, 500, 290);
}
double Above(const Image &i) {
    return MeanBrightness(i, 0, 0, 640, 236);
}
double Below(const Image &i) {
    return MeanBrightness(i, 0, 304, 640, 480);
}

TEST(Opening, ScenesFollowTheTimeline) {
    ASSERT_TRUE(OpenEffectsDisplay());
    UploadStandInTextures();
    CompileShapeList();
    InitSceneVariables();
    SeedRandom(7);
    std::map<int, Shot> shots = RunOpening(200);

    // Frame 1: the first word at alpha 0.03, nothing else.
    const Shot &first = shots[1];
    EXPECT_EQ(first.maskBefore, SCENE_TITLE);
    EXPECT_NEAR(first.image.Pixel(150, 260)[0], 255 * 0.03, 2);
    EXPECT_EQ(Above(first.image), 0.0);
    EXPECT_EQ(Below(first.image), 0.0);
    // Frame 34: the first word at full strength (white across its middle).
    EXPECT_GT(shots[34].image.Pixel(150, 260)[0], 250);
    EXPECT_GT(shots[34].image.Pixel(320, 260)[0], 250);
    EXPECT_EQ(shots[34].maskAfter, SCENE_TITLE);
    // Frame 35: the word, then the wipe starts in the same frame.
    EXPECT_EQ(shots[35].maskBefore, SCENE_TITLE);
    EXPECT_EQ(shots[35].maskAfter, SCENE_WIPE);
    EXPECT_GT(shots[35].image.Pixel(150, 260)[0], 250);
    EXPECT_EQ(Above(shots[35].image), 0.0);
    // Frame 60: strips only, in the word's band, ragged at its sides.
    EXPECT_EQ(shots[60].maskBefore, SCENE_WIPE);
    EXPECT_GT(Word(shots[60].image), 100.0);
    EXPECT_EQ(Above(shots[60].image), 0.0);
    EXPECT_EQ(Below(shots[60].image), 0.0);
    EXPECT_NE(CompareImages(shots[60].image, shots[61].image, 2).differingPixels, 0);
    // Frame 85: the last wipe frame hands back to the title.
    EXPECT_EQ(shots[85].maskBefore, SCENE_WIPE);
    EXPECT_EQ(shots[85].maskAfter, SCENE_TITLE);
    EXPECT_GT(Word(shots[85].image), 100.0);
    // Frame 86: the second word (the stand-in's middle is grey), steady.
    EXPECT_EQ(shots[86].maskBefore, SCENE_TITLE);
    EXPECT_NEAR(shots[86].image.Pixel(320, 260)[0], 128, 3);
    EXPECT_GT(shots[86].image.Pixel(150, 260)[0], 250);
    EXPECT_EQ(CompareImages(shots[86].image, shots[184].image, 0).differingPixels, 0);
    // Frame 185: the second word a last time; then panels and scroller.
    EXPECT_NEAR(shots[185].image.Pixel(320, 260)[0], 128, 3);
    EXPECT_EQ(shots[185].maskAfter, SCENE_PANELS);
    EXPECT_EQ(scrollerOn, 1);
    // Frame 186: panels and scroller both start outside the view.
    EXPECT_EQ(shots[186].maskBefore, SCENE_PANELS);
    EXPECT_EQ(MeanBrightness(shots[186].image, 0, 0, 640, 480), 0.0);
    // Frame 200 (panels frame 15): the second panel has come in at the lower
    // right, red only; the word is gone.
    const Image &late = shots[200].image;
    EXPECT_GT(MeanBrightness(late, 480, 360, 640, 480), 1.0);
    EXPECT_EQ(MeanBrightness(late, 0, 0, 320, 240), 0.0);
    EXPECT_EQ(Word(late), 0.0);
    for (int y = 360; y < 480; y += 7)
        for (int x = 480; x < 640; x += 7)
            EXPECT_EQ(late.Pixel(x, y)[1], 0);
}

} // namespace
