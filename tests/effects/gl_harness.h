// What the effects' tests and benchmarks share on top of test_support: the
// demo's frame, stand-in textures of the bank's sizes and formats, and a
// recorder of the GL, timeline and player calls that the effects make.
#pragma once

#include <GL/gl.h>
#include <set>
#include <string>
#include <vector>

#include "tests/support/headless.h"

constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;

// The headless display of test_support with the demo's fixed state, plus the
// material vectors that start-up fills for the lit object. False if no context.
bool OpenEffectsDisplay();
// White textures of the bank's sizes and formats.
void UploadStandInTextures();
// Clear and the frame's view (perspective in the model-view matrix).
void BeginFrame();

// ---- Call recorder ---------------------------------------------------------

struct RecordedCall {
    std::string name;
    std::vector<double> args;
};

// Each recording loads the stand-in player into the sound slot afresh (the
// display's start empties the slots).
void StartRecording();
std::vector<RecordedCall> StopRecording();
// The names of every call the recorder can hear, so that a test can show each
// of them reached: a wrap that no longer applies is then noticed.
std::set<std::string> &RecordedEntryPoints();
// The calls that draw() makes.
template <typename Draw> std::vector<RecordedCall> Recorded(Draw draw) {
    StartRecording();
    draw();
    return StopRecording();
}
// The calls as text, "Name(arg,...)" joined by spaces, without the "gl" of the
// GL names and the "BASSMOD_" of the player's: enumerants, textures of the
// bank, the shape's list and the sync procedure by name, numbers as %g. With
// `only` (names joined by spaces) just those calls.
std::string Trace(const std::vector<RecordedCall> &calls, const std::string &only = "");
int CountCalls(const std::vector<RecordedCall> &calls, const std::string &name);
// The first call of that name at or after `from` (calls.size() if none).
size_t FindCall(const std::vector<RecordedCall> &calls, const std::string &name, size_t from = 0);
