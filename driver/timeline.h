// Scene timeline: which effects each frame draws, and the rules that change it.
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

extern std::atomic<int32_t> sceneMask;
extern std::atomic<float> pulse;
extern uint8_t scrollerOn;
extern int8_t titlePhase;
extern int32_t wipeCountdown;
extern float fadeAlpha;

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
