// The fixture of the effects' tests: the headless display with stand-in
// textures and the shape's list, the scene variables at their start-up values,
// and a fresh frame; recording ends with the test.
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
    void TearDown() override {
        StopRecording();
    }
};
