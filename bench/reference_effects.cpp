#include "reference_effects.h"

#include <GL/gl.h>

#include "driver/timeline.h"
#include "effects/effects.h"
#include "effects/text_internal.h"

void DrawScrollerReference() {
    if (scrollerOn != 1)
        return;
    scrollPos = scrollPos + SCROLL_STEP;
    glPushMatrix();
    glColor4f(1.0f, 0.4f, 0.0f, 1.0f);
    glTranslatef(-scrollPos - SCROLL_X_OFFSET, SCROLL_Y, sceneDepth);
    glScalef(SCROLL_SCALE, SCROLL_SCALE, SCROLL_SCALE);
    DrawString(scrollMessage);
    glPopMatrix();
}

void DrawFrameEffectsReference() {
    auto on = [](int bit) { return (sceneMask.load(std::memory_order_relaxed) & bit) != 0; };
    if (on(SCENE_TUNNEL))
        DrawTunnel();
    if (scrollerOn == 1)
        DrawScrollerReference();
    if (on(SCENE_OBJECT))
        DrawLitObject();
    if (on(SCENE_PANELS))
        DrawFlyingPanels();
    if (on(SCENE_TITLE))
        DrawTitlePicture();
    if (on(SCENE_WIPE))
        DrawStripWipe();
    if (on(SCENE_SLIDE))
        DrawSlidingPicture();
}
