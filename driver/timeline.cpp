// The scene timeline: which effects each frame draws, advanced by frame counts
// during the opening (TitleStep, WipeStep) and by the music's syncs afterwards
// (OnMusicSync, on the player's thread).
#include "driver/timeline.h"

#include "music/music.h"

std::atomic<int32_t> sceneMask{0};
std::atomic<float> pulse{0.0f};
uint8_t scrollerOn = 0;
int8_t titlePhase = 0;
int32_t wipeCountdown = 0;
float fadeAlpha = 0.0f;

// The effects' motion variables: each effect steps its own while it is drawn.
float sceneDepth;
float scrollPos;
float tunnelAdvance;
float tunnelRoll;
float spinAngle;
float panelOffsetA;
float panelOffsetB;
float panelOffsetC;
float slidePhase;
float shininess;

namespace {

constexpr float FADE_STEP = 0.03f;
// One step below the float nearest 0.05: from 0.3 the pulse falls in seven
// steps and comes to rest just below zero.
constexpr float PULSE_STEP = 0.049999997f;
constexpr float PULSE_PEAK = 0.3f;
constexpr int8_t TITLE_HOLD_FRAMES = 100;
constexpr int32_t WIPE_FRAMES = 50;

void SetSceneMask(int32_t mask) {
    sceneMask.store(mask, std::memory_order_relaxed);
}

} // namespace

void InitSceneVariables() {
    sceneDepth = -2.0f;
    panelOffsetA = 4.0f;
    panelOffsetB = 6.0f;
    panelOffsetC = 8.5f;
    scrollPos = -6.0f;
    slidePhase = -6.0f;
    shininess = 127.0f;
    tunnelAdvance = 0.0f;
    tunnelRoll = 0.0f;
    spinAngle = 0.0f;
    wipeCountdown = WIPE_FRAMES;
    SetSceneMask(SCENE_TITLE);
    scrollerOn = 0;
    titlePhase = 0;
    fadeAlpha = 0.0f;
    pulse.store(0.0f, std::memory_order_relaxed);
}

void TitleStep() {
    if (fadeAlpha < 1.0f) {
        fadeAlpha = fadeAlpha + FADE_STEP;
    } else if (titlePhase == 0) {
        SetSceneMask(SCENE_WIPE);
        titlePhase = TITLE_HOLD_FRAMES;
    } else if (titlePhase == 1) {
        SetSceneMask(SCENE_PANELS);
        scrollerOn = 1;
    } else {
        titlePhase = static_cast<int8_t>(titlePhase - 1);
    }
}

void WipeStep() {
    wipeCountdown = wipeCountdown - 1;
    if (wipeCountdown < 0)
        SetSceneMask(SCENE_TITLE);
}

void PulseStep(float drawn) {
    // The step starts from the value the frame drew with, and only if the
    // pulse still holds it: a beat the player's thread stored since the read
    // makes the exchange fail, stays in place and is drawn by the next frame.
    if (drawn > 0.0f)
        pulse.compare_exchange_strong(drawn, drawn - PULSE_STEP, std::memory_order_relaxed);
}

void OnMusicSync(uint32_t sync, uint32_t /*data*/, uint32_t user) {
    switch (user) {
    case SYNC_USER_SLIDE:
        SetSceneMask(SCENE_SLIDE);
        break;
    case SYNC_USER_OBJECT:
        SetSceneMask(SCENE_OBJECT);
        break;
    case SYNC_USER_TUNNEL:
        SetSceneMask(SCENE_OBJECT | SCENE_TUNNEL);
        // From here on the second instrument beats the pulse as well. The
        // position sync has fired; it is removed here, from inside its own
        // delivery, which the player allows.
        MusicRemoveSync(SOUND_SLOT, sync);
        MusicSetSync(SOUND_SLOT, SYNC_INSTRUMENT, MakeLong(2, -1), OnMusicSync, SYNC_USER_BEAT);
        break;
    case SYNC_USER_BEAT:
        pulse.store(PULSE_PEAK, std::memory_order_relaxed);
        break;
    default:
        break;
    }
}
