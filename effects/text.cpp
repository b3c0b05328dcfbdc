// Bitmap-font text: one textured quad per character, and the scroller that
// runs the message once along the bottom of the screen.
#include <GL/gl.h>
#include <cstring>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "effects/text_internal.h"

// 615 characters, 102 of them spaces: upper case, the space and . , : ? !
extern const char scrollMessage[] =
    "WELCOME TO BRUMLAKOR, A SHOWCASE OF LIGHT AND SOUND! LEAN BACK, TURN THE MUSIC "
    "UP AND WATCH THE FISTS FLY, THE CARDBOARD ROBOT HOPPING AND THE GLOWING SHAPE "
    "SWELLING ON EVERY BEAT. EVERYTHING HERE IS DRAWN FRAME BY FRAME, FIFTY TIMES "
    "EACH SECOND, WITH TEXTURED QUADS, ONE SPOTLIGHT AND FOG. THE SOUNDTRACK WAS "
    "WRITTEN NOTE BY NOTE IN A TRACKER, AND IT TELLS THE PICTURES WHEN TO CHANGE: "
    "LISTEN CAREFULLY AND HEAR EVERY SCENE ARRIVE. NOTICED THE TUNNEL? GREETINGS TO "
    "EVERYONE STILL WRITING CODE FOR FUN, DRAWING PIXELS BY HAND OR COMPOSING IN "
    "HEXADECIMAL. KEEP CREATING! PRESS ESCAPE WHENEVER YOU HAVE SEEN ENOUGH...";
static_assert(sizeof(scrollMessage) == 616, "the message is 615 characters long");

namespace {

// Half the width of the view at the scroller's depth, plus a glyph's half
// width and a margin far above any rounding of the accumulated translations.
constexpr float VIEW_ASPECT = 1.333f;
constexpr float GLYPH_HALF_EXTENT = 0.08f;
constexpr float CULL_MARGIN = 0.25f;

} // namespace

int32_t GlyphCode(char c) {
    switch (c) {
    case ' ':
        return -1;
    case '!':
        return 99;
    case '.':
        return 91;
    case ',':
        return 92;
    case ':':
        return 94;
    case '?':
        return 98;
    default:
        return static_cast<uint8_t>(c);
    }
}

int32_t GlyphCell(uint8_t code) {
    return static_cast<int8_t>(static_cast<uint8_t>(code - 65));
}

void DrawGlyph(uint8_t code) {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    float s0 = static_cast<float>(GlyphCell(code)) * GLYPH_CELL_WIDTH;
    float s1 = s0 + GLYPH_CELL_WIDTH;
    glPushMatrix();
    // A quarter turn clockwise: the quad below is laid out on its side.
    glRotatef(90.0f, 0.0f, 0.0f, -1.0f);
    glBegin(GL_QUADS);
    glTexCoord2f(s0, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(s1, 0.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glTexCoord2f(s1, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(s0, 1.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glEnd();
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}

void DrawString(const char *text) {
    size_t length = std::strlen(text);
    for (size_t i = 0; i < length; i++) {
        glTranslatef(2.0f, 0.0f, 0.0f);
        int32_t code = GlyphCode(text[i]);
        if (code >= 0)
            DrawGlyph(static_cast<uint8_t>(code));
    }
}

bool ScrollerCharacterMayShow(int32_t index) {
    // Without a depth in front of the eye the view bound below means nothing.
    if (sceneDepth > -0.1f)
        return true;
    double halfWidth = -static_cast<double>(sceneDepth) * VIEW_ASPECT;
    double centre = -static_cast<double>(scrollPos) - SCROLL_X_OFFSET +
                    2.0 * SCROLL_SCALE * static_cast<double>(index);
    double reach = halfWidth + GLYPH_HALF_EXTENT + CULL_MARGIN;
    return centre > -reach && centre < reach;
}

namespace {

// DrawString over the message, but a glyph that lies wholly outside the view
// is not submitted. Every translation still runs, so the visible glyphs get
// exactly the matrices they would get otherwise; and when the message's last
// glyph was skipped, the state it would have left is set directly: font
// texture bound and clamped, its texture coordinate current, texturing off.
void DrawScrollMessage() {
    size_t length = sizeof(scrollMessage) - 1;
    int32_t lastCode = -1;
    bool lastDrawn = false;
    for (size_t i = 0; i < length; i++) {
        glTranslatef(2.0f, 0.0f, 0.0f);
        int32_t code = GlyphCode(scrollMessage[i]);
        if (code < 0)
            continue;
        lastCode = code;
        lastDrawn = ScrollerCharacterMayShow(static_cast<int32_t>(i) + 1);
        if (lastDrawn)
            DrawGlyph(static_cast<uint8_t>(code));
    }
    if (lastCode < 0 || lastDrawn)
        return;
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexCoord2f(static_cast<float>(GlyphCell(static_cast<uint8_t>(lastCode))) * GLYPH_CELL_WIDTH,
                 1.0f);
    glDisable(GL_TEXTURE_2D);
}

} // namespace

void DrawScroller() {
    if (scrollerOn != 1)
        return;
    scrollPos = scrollPos + SCROLL_STEP;
    glPushMatrix();
    glColor4f(1.0f, 0.4f, 0.0f, 1.0f);
    glTranslatef(-scrollPos - SCROLL_X_OFFSET, SCROLL_Y, sceneDepth);
    glScalef(SCROLL_SCALE, SCROLL_SCALE, SCROLL_SCALE);
    DrawScrollMessage();
    glPopMatrix();
}
