// The ring tunnel: 51 textured rings around the line of sight, fogged toward
// black, moving toward the viewer and rolling about the axis.
#include <GL/gl.h>
#include <cmath>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "effects/tunnel_internal.h"

void DrawRing() {
    glPushMatrix();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, ringTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBegin(GL_QUAD_STRIP);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    for (int32_t d = 0; d <= 360; d += RING_STEP_DEGREES) {
        float a = DegToRad(static_cast<float>(d));
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(std::sin(a), std::cos(a), 0.0f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(std::sin(a), std::cos(a), RING_LENGTH);
        a = DegToRad(static_cast<float>(d) + RING_QUAD_DEGREES);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(std::sin(a), std::cos(a), 0.0f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(std::sin(a), std::cos(a), RING_LENGTH);
    }
    glEnd();
    glPopMatrix();
}

void TunnelStep() {
    tunnelAdvance = tunnelAdvance + TUNNEL_STEP;
    if (!(tunnelAdvance < RING_LENGTH))
        tunnelAdvance = 0.0f;
}

void DrawTunnel() {
    glPushMatrix();
    glEnable(GL_FOG);
    TunnelStep();
    glRotatef(tunnelRoll, 0.0f, 0.0f, 1.0f);
    tunnelRoll = tunnelRoll + TUNNEL_ROLL_STEP;
    glTranslatef(0.0f, 0.0f, tunnelAdvance - 5.0f);
    for (int32_t loopIndex = 0; loopIndex <= TUNNEL_LAST_RING; loopIndex++) {
        glTranslatef(0.0f, 0.0f, RING_LENGTH);
        DrawRing();
    }
    glPopMatrix();
    glDisable(GL_FOG);
}
