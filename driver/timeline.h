// Scene timeline: which effects each frame draws, and the rules that change it.
// It holds every scene variable, the effects' motion variables among them
// (each effect steps its own), and gives them their initial values.
// sceneMask and pulse are also written by the player's thread (OnMusicSync):
// atomics, relaxed, always stored whole.
#pragma once

#include <atomic>
#include <cstdint>

constexpr int32_t SCENE_PANELS = 0x01;
constexpr int32_t SCENE_WIPE = 0x02;
constexpr int32_t SCENE_TITLE = 0x04;
constexpr int32_t SCENE_SLIDE = 0x08;
constexpr int32_t SCENE_TUNNEL = 0x10;
constexpr int32_t SCENE_OBJECT = 0x20;

// The user values of the music's syncs: StartMusic registers them, and
// OnMusicSync tells the events apart by them.
constexpr uint32_t SYNC_USER_SLIDE = 1;  // order 2 reached: the sliding picture
constexpr uint32_t SYNC_USER_OBJECT = 2; // order 4: the lit object
constexpr uint32_t SYNC_USER_TUNNEL = 3; // order 6: object and tunnel; instrument 2 joins
constexpr uint32_t SYNC_USER_BEAT = 4;   // a note of instrument 6 (from order 6, also 2)

extern std::atomic<int32_t> sceneMask;
extern std::atomic<float> pulse;
extern uint8_t scrollerOn;
extern int8_t titlePhase;
extern int32_t wipeCountdown;
extern float fadeAlpha;

// The effects' motion variables.
extern float sceneDepth;
extern float scrollPos;
extern float tunnelAdvance;
extern float tunnelRoll;
extern float spinAngle;
extern float panelOffsetA;
extern float panelOffsetB;
extern float panelOffsetC;
extern float slidePhase;
extern float shininess;

// Start-up: the timeline's and the effects' motion variables get their
// initial values (sceneMask SCENE_TITLE, wipeCountdown 50, ...).
void InitSceneVariables();

// The steps that the effects call keep their plain C names, by which the
// effects' tests intercept them at link time.
extern "C" {
void TitleStep();
void WipeStep();
// Lowers the pulse one step from `drawn`, the value the lit object read for
// this frame's scale. A beat stored since that read is kept, not stepped.
void PulseStep(float drawn);
}
void OnMusicSync(uint32_t sync, uint32_t data, uint32_t user);
