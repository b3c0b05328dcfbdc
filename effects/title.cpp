// The opening: the title word fading in, the strip wipe tearing it into
// jittering strips, and the second word, with which the music starts.
#include <GL/gl.h>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "music/music.h"
#include "runtime/runtime.h"

namespace {

constexpr float STRIP_ROW_STEP = 0.015625f; // 1/64: two texel rows per strip
constexpr int32_t STRIP_LAST_INDEX = 63;
constexpr int32_t STRIP_SPREAD_RANGE = 100;
constexpr float STRIP_SPREAD_DIVISOR = 70.0f;

void SetTitleWrapModes() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
}

// One strip of the wipe: its top edge spans -2a .. 2b, its bottom edge
// -2b .. 2a, so every frame shears each strip anew.
void EmitStrip(int32_t i) {
    float stripSpreadA = static_cast<float>(Random(STRIP_SPREAD_RANGE)) / STRIP_SPREAD_DIVISOR;
    float stripSpreadB = static_cast<float>(Random(STRIP_SPREAD_RANGE)) / STRIP_SPREAD_DIVISOR;
    float stripV = static_cast<float>(i) * STRIP_ROW_STEP;
    glTexCoord2f(0.0f, stripV);
    glVertex3f(-2.0f * stripSpreadA, stripV / 2.0f, 2.0f);
    glTexCoord2f(1.0f, stripV);
    glVertex3f(2.0f * stripSpreadB, stripV / 2.0f, 2.0f);
    stripV = static_cast<float>(i + 2) * STRIP_ROW_STEP;
    glTexCoord2f(1.0f, stripV);
    glVertex3f(2.0f * stripSpreadA, stripV / 2.0f, 2.0f);
    glTexCoord2f(0.0f, stripV);
    glVertex3f(-2.0f * stripSpreadB, stripV / 2.0f, 2.0f);
}

} // namespace

void DrawTitlePicture() {
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    if (titlePhase == 0) {
        glBindTexture(GL_TEXTURE_2D, titleTexture1);
    } else {
        glBindTexture(GL_TEXTURE_2D, titleTexture2);
        // Resumes the paused module on the first call; a playing one plays on.
        MusicPlay(SOUND_SLOT);
    }
    SetTitleWrapModes();
    TitleStep();
    glColor4f(1.0f, 1.0f, 1.0f, fadeAlpha);
    // A half turn about x puts the quad below the centre line, upright.
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-2.0f, 0.0f, 2.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(2.0f, 0.0f, 2.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(2.0f, 0.5f, 2.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-2.0f, 0.5f, 2.0f);
    glEnd();
    glPopMatrix();
}

void DrawStripWipe() {
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, titlePhase == 0 ? titleTexture1 : titleTexture2);
    SetTitleWrapModes();
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    for (int32_t loopIndex = 0; loopIndex <= STRIP_LAST_INDEX; loopIndex += 2)
        EmitStrip(loopIndex);
    WipeStep();
    glEnd();
    glPopMatrix();
}
