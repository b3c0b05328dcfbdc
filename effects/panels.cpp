// Flying panels, the sliding picture and the lit object.
#include <GL/gl.h>
#include <cmath>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "effects/panels_internal.h"

// Set once by start-up; the lit object's two copies glow in these colours.
float *outerEmission;
float *innerEmission;

namespace {

float slideBounce;

void ClampBoundTexture() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
}

} // namespace

void DrawPanel() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, panelTexture);
    ClampBoundTexture();
    glPushMatrix();
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glEnd();
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}

void DrawFlyingPanels() {
    glColor4f(1.0f, 0.0f, 0.0f, 0.6f);
    // From the lower left toward the upper right.
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, sceneDepth);
    glTranslatef(-panelOffsetB, -panelOffsetB, 0.0f);
    glRotatef(135.0f, 0.0f, 0.0f, 1.0f);
    DrawPanel();
    glPopMatrix();
    // From the lower right toward the upper left, mirrored.
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, sceneDepth);
    glTranslatef(panelOffsetA, -panelOffsetA, 0.0f);
    glRotatef(-135.0f, 0.0f, 0.0f, 1.0f);
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    DrawPanel();
    glPopMatrix();
    // Two side by side straight up; the second is placed from the first.
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, sceneDepth);
    glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(-0.5f, panelOffsetC, 0.0f);
    DrawPanel();
    glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(-1.0f, 0.0f, 0.0f);
    DrawPanel();
    glPopMatrix();
    panelOffsetA = panelOffsetA - PANEL_STEP;
    panelOffsetB = panelOffsetB - PANEL_STEP;
    panelOffsetC = panelOffsetC - PANEL_STEP;
}

void DrawSlidingPicture() {
    glPushMatrix();
    slidePhase = slidePhase + SLIDE_STEP;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, pictureTexture);
    ClampBoundTexture();
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    // After the half turn a non-positive bounce lifts the picture: it hops.
    slideBounce = std::sin(slidePhase);
    if (slideBounce > 0.0f)
        slideBounce = -slideBounce;
    glTranslatef(slidePhase / 2.0f, slideBounce / SLIDE_HOP_DIVISOR, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-0.5f, -1.0f, 2.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(0.5f, -1.0f, 2.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(0.5f, 1.0f, 2.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-0.5f, 1.0f, 2.0f);
    glEnd();
    glPopMatrix();
}

void DrawLitObject() {
    spinAngle = spinAngle + SPIN_STEP;
    // The list carries no texture coordinates, so the object must be drawn
    // untextured. The scroller has normally switched texturing off already;
    // when it never started (the music reached the slide before the opening
    // ended) the sliding picture would have left it on and the object would
    // be drawn black.
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_FOG);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    // Inside the object the lit colour is added at its own alpha.
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    glMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, LIT_OBJECT_DEPTH);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(spinAngle, 0.0f, 1.0f, 0.5f);
    // The inner copy swells with the pulse, read once per frame; the decay
    // steps from that same reading.
    glPushMatrix();
    float drawn = pulse.load(std::memory_order_relaxed);
    float scale = INNER_SCALE + drawn;
    glScalef(scale, scale, scale);
    PulseStep(drawn);
    glMaterialfv(GL_FRONT, GL_EMISSION, innerEmission);
    glCallList(shapeList);
    glPopMatrix();
    glMaterialfv(GL_FRONT, GL_EMISSION, outerEmission);
    glCallList(shapeList);
    glPopMatrix();
    glDisable(GL_LIGHTING);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_FOG);
}
