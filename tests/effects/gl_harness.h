// What the effects' tests and benchmarks share on top of test_support: the
// demo's frame, stand-in textures of the bank's sizes and formats, and a
// recorder of the GL and timeline calls that the effects make.
#pragma once

#include <GL/gl.h>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/headless.h"

constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;

// The headless display of test_support with the demo's fixed state, plus the
// material vectors that start-up fills for the lit object. False if no context.
bool OpenEffectsDisplay();
// Textures of the bank's sizes and formats with simple contents: a font whose
// cells 0 to 35 are solid blocks, a ring pattern, white panel, titles and picture.
void UploadStandInTextures();
// Clear and the frame's view (perspective in the model-view matrix).
void BeginFrame();
// The effect blocks of one frame in the demo's order.
void DrawFrameEffects();

// Mean of red + green + blue over a rectangle (top-left origin, ends excluded).
double MeanBrightness(const Image &image, int x0, int y0, int x1, int y1);

// ---- Call recorder ---------------------------------------------------------

struct RecordedCall {
    std::string name;
    std::vector<double> args;
    // Model-view matrix at glBegin and glCallList (column-major).
    std::array<float, 16> modelView{};
};

void StartRecording();
std::vector<RecordedCall> StopRecording();
// Names only, for order checks.
std::vector<std::string> CallNames(const std::vector<RecordedCall> &calls);
int CountCalls(const std::vector<RecordedCall> &calls, const std::string &name);

// MusicPlay never reaches the player in these tests; the calls are counted.
int MusicPlayCalls();
// Runs hook inside every PulseStep before the step itself, as a sync of the
// player's thread could land there; nullptr removes it.
void SetPulseStepHook(void (*hook)());

// The GL state a later effect can see, for before/after comparisons.
struct VisibleState {
    GLboolean texture2d, fog, lighting, light0, blend;
    GLint boundTexture, wrapS, wrapT, blendSrc, blendDst, modelViewDepth;
    std::array<float, 4> colour, texCoord, normal;
    std::array<float, 16> modelView;
    bool operator==(const VisibleState &) const = default;
};
VisibleState ReadVisibleState();
