// The fixture of the effects' tests: the headless display with stand-in
// textures, the scene variables at their start-up values, and a fresh frame.
#pragma once

#include <gtest/gtest.h>

#include "driver/timeline.h"
#include "gl_harness.h"

class EffectsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(OpenEffectsDisplay());
        UploadStandInTextures();
        InitSceneVariables();
        BeginFrame();
    }
};
