// The shortcuts of the effects library against the plain algorithms: the same
// pixels and the same GL state for every later effect, frame after frame.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "gl_harness.h"
#include "reference_effects.h"

namespace {

class Optimised : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenEffectsDisplay());
        UploadStandInTextures();
        CompileShapeList();
        InitSceneVariables();
    }
};

struct Result {
    Image image;
    VisibleState state;
};

// Draws with the given procedure from the current motion variables and
// returns the frame and the state left; the variables are put back after.
template <typename Draw> Result DrawFrom(Draw draw) {
    float savedScroll = scrollPos, savedAdvance = tunnelAdvance, savedRoll = tunnelRoll,
          savedSpin = spinAngle, savedPulse = pulse.load();
    BeginFrame();
    // What the tunnel leaves behind: texturing on with another texture bound.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, ringTexture);
    draw();
    Result result{ReadBackBuffer(), ReadVisibleState()};
    scrollPos = savedScroll;
    tunnelAdvance = savedAdvance;
    tunnelRoll = savedRoll;
    spinAngle = savedSpin;
    pulse.store(savedPulse);
    return result;
}

void ExpectSame(const Result &optimised, const Result &reference, int frame) {
    ImageDifference difference = CompareImages(optimised.image, reference.image, 0);
    EXPECT_EQ(difference.differingPixels, 0) << "frame " << frame;
    EXPECT_TRUE(optimised.state == reference.state) << "frame " << frame;
}

// The scroller over its whole run, from before it enters until after the
// last character has left (frame 3482), sampled every 29 frames.
TEST_F(Optimised, ScrollerMatchesThePlainDrawing) {
    scrollerOn = 1;
    for (int frame = 1; frame <= 3600; frame += 29) {
        scrollPos = -6.0f + 0.03f * static_cast<float>(frame - 1);
        Result optimised = DrawFrom(DrawScroller);
        Result reference = DrawFrom(DrawScrollerReference);
        ExpectSame(optimised, reference, frame);
    }
}

// The final scene (tunnel, scroller, lit object) over a tunnel cycle and a
// beat, at a few points of the message.
TEST_F(Optimised, FinalSceneMatchesThePlainDrawing) {
    scrollerOn = 1;
    sceneMask.store(SCENE_OBJECT | SCENE_TUNNEL);
    for (float start : {-6.0f, 0.0f, 50.0f, 110.0f}) {
        scrollPos = start;
        for (int frame = 0; frame < 8; frame++) {
            if (frame == 2)
                pulse.store(0.3f);
            Result optimised = DrawFrom(DrawFrameEffects);
            Result reference = DrawFrom(DrawFrameEffectsReference);
            ExpectSame(optimised, reference, frame);
            DrawFrameEffects(); // advance all motion by one frame
        }
    }
}

} // namespace
