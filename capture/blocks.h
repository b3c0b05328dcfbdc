// Which effect blocks a frame drew, seen from outside the frame loop: every
// effect advances its own motion variables in each frame it draws and in no
// other, so comparing them before and after the frame tells which ran.
#pragma once

#include <cstdint>

struct MotionSnapshot {
    float tunnelRoll, scrollPos, spinAngle, panelOffsetA, slidePhase, fadeAlpha;
    int32_t wipeCountdown;
    int8_t titlePhase;
    uint8_t scrollerOn;
};

MotionSnapshot TakeMotionSnapshot();
// The scene bits of the blocks that ran between the two snapshots, plus
// BLOCK_SCROLLER for the scroller.
uint32_t BlocksBetween(const MotionSnapshot &before, const MotionSnapshot &after);
