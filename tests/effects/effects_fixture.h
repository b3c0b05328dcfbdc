// The fixture of the effects' tests: the headless display with stand-in
// textures and the shape's list, the scene variables at their start-up values,
// and a fresh frame. (Each recording starts afresh, so a test that fails
// while recording leaves nothing behind for the next.)
#pragma once

#include <gtest/gtest.h>

#include "driver/timeline.h"
#include "effects/effects.h"
#include "gl_harness.h"

class EffectsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenEffectsDisplay());
        UploadStandInTextures();
        CompileShapeList();
        InitSceneVariables();
        BeginFrame();
    }
};
