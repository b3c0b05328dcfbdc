// Effect blocks of a frame, inferred from the motion variables they advance.
#include "capture/blocks.h"

#include "capture/chapters.h"
#include "driver/timeline.h"
#include "effects/effects.h"

MotionSnapshot TakeMotionSnapshot() {
    return {tunnelRoll, scrollPos,     spinAngle,  panelOffsetA, slidePhase,
            fadeAlpha,  wipeCountdown, titlePhase, scrollerOn};
}

uint32_t BlocksBetween(const MotionSnapshot &before, const MotionSnapshot &after) {
    uint32_t blocks = 0;
    // The tunnel's roll, the scroller's position, the object's spin, the
    // panels' offsets and the picture's phase change by a fixed step in every
    // frame of their effect (the steps stay above the floats' resolution for
    // far longer than any capture).
    if (after.tunnelRoll != before.tunnelRoll)
        blocks |= SCENE_TUNNEL;
    if (after.scrollPos != before.scrollPos)
        blocks |= BLOCK_SCROLLER;
    if (after.spinAngle != before.spinAngle)
        blocks |= SCENE_OBJECT;
    if (after.panelOffsetA != before.panelOffsetA)
        blocks |= SCENE_PANELS;
    if (after.slidePhase != before.slidePhase)
        blocks |= SCENE_SLIDE;
    // The wipe counts down every frame it runs; the title's step always
    // changes one of the fade, the phase or the scroller switch.
    if (after.wipeCountdown != before.wipeCountdown)
        blocks |= SCENE_WIPE;
    if (after.fadeAlpha != before.fadeAlpha || after.titlePhase != before.titlePhase ||
        after.scrollerOn != before.scrollerOn)
        blocks |= SCENE_TITLE;
    return blocks;
}
