// Bitmap-font text and the scroller: the character-to-cell mapping, the
// glyph's quad, the advance, and where the message stands on screen.
#include <GL/gl.h>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "effects/text_internal.h"
#include "effects_fixture.h"
#include "gl_harness.h"

namespace {

TEST(GlyphMapping, MarksLettersAndStrayCodes) {
    EXPECT_EQ(GlyphCode(' '), -1);
    EXPECT_EQ(GlyphCode('!'), 99);
    EXPECT_EQ(GlyphCode('.'), 91);
    EXPECT_EQ(GlyphCode(','), 92);
    EXPECT_EQ(GlyphCode(':'), 94);
    EXPECT_EQ(GlyphCode('?'), 98);
    EXPECT_EQ(GlyphCode('A'), 65);
    EXPECT_EQ(GlyphCode('Z'), 90);
    EXPECT_EQ(GlyphCode(';'), ';'); // not a mark of the table: its own code
    EXPECT_EQ(GlyphCode('\xff'), 255);
    EXPECT_EQ(GlyphCell('A'), 0);
    EXPECT_EQ(GlyphCell('Z'), 25);
    EXPECT_EQ(GlyphCell(91), 26);
    EXPECT_EQ(GlyphCell(94), 29);
    EXPECT_EQ(GlyphCell(98), 33);
    EXPECT_EQ(GlyphCell(99), 34);
    EXPECT_EQ(GlyphCell('0'), -17);
    EXPECT_EQ(GlyphCell(192), 127);
    EXPECT_EQ(GlyphCell(193), -128);
    EXPECT_EQ(GlyphCell(255), -66);
    EXPECT_EQ(GLYPH_CELL_WIDTH, 0.0234379992f);
}

TEST(ScrollMessage, LengthAndCharacterSet) {
    ASSERT_EQ(std::strlen(scrollMessage), 615u);
    int spaces = 0;
    for (const char *c = scrollMessage; *c; c++) {
        spaces += *c == ' ';
        EXPECT_TRUE((*c >= 'A' && *c <= 'Z') || std::strchr(" .,:?!", *c)) << *c;
    }
    EXPECT_EQ(spaces, 102);
}

class Text : public EffectsTest {};

TEST_F(Text, GlyphIsOneRotatedQuadOfItsCell) {
    StartRecording();
    DrawGlyph('C');
    std::vector<RecordedCall> calls = StopRecording();
    std::vector<std::string> expected = {
        "glEnable",   "glBindTexture", "glTexParameteri", "glTexParameteri", "glPushMatrix",
        "glRotatef",  "glBegin",       "glTexCoord2f",    "glVertex3f",      "glTexCoord2f",
        "glVertex3f", "glTexCoord2f",  "glVertex3f",      "glTexCoord2f",    "glVertex3f",
        "glEnd",      "glPopMatrix",   "glDisable"};
    ASSERT_EQ(CallNames(calls), expected);
    EXPECT_EQ(calls[0].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(calls[1].args[1], fontTexture);
    EXPECT_EQ(calls[2].args, (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP}));
    EXPECT_EQ(calls[3].args, (std::vector<double>{GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP}));
    EXPECT_EQ(calls[5].args, (std::vector<double>{90, 0, 0, -1}));
    float s0 = 2.0f * 0.023438f, s1 = s0 + 0.023438f;
    EXPECT_EQ(calls[7].args, (std::vector<double>{s0, 0}));
    EXPECT_EQ(calls[8].args, (std::vector<double>{-1, -1, 0}));
    EXPECT_EQ(calls[9].args, (std::vector<double>{s1, 0}));
    EXPECT_EQ(calls[10].args, (std::vector<double>{-1, 1, 0}));
    EXPECT_EQ(calls[11].args, (std::vector<double>{s1, 1}));
    EXPECT_EQ(calls[12].args, (std::vector<double>{1, 1, 0}));
    EXPECT_EQ(calls[13].args, (std::vector<double>{s0, 1}));
    EXPECT_EQ(calls[14].args, (std::vector<double>{1, -1, 0}));
    EXPECT_EQ(calls[17].args[0], GL_TEXTURE_2D);
}

TEST_F(Text, StringAdvancesTwoUnitsPerCharacterSpacesIncluded) {
    VisibleState before = ReadVisibleState();
    StartRecording();
    DrawString("A  !?");
    std::vector<RecordedCall> calls = StopRecording();
    EXPECT_EQ(CountCalls(calls, "glTranslatef"), 5);
    EXPECT_EQ(CountCalls(calls, "glBegin"), 3);
    EXPECT_EQ(CountCalls(calls, "glColor4f"), 0);
    // Each glyph's quad sits 2 units further right than the one before: the
    // spaces took their two cells.
    std::vector<float> s0;
    for (size_t i = 0; i + 1 < calls.size(); i++)
        if (calls[i].name == "glBegin")
            s0.push_back(static_cast<float>(calls[i + 1].args[0]));
    EXPECT_EQ(s0, (std::vector<float>{0.0f, 34 * 0.023438f, 33 * 0.023438f}));
    VisibleState after = ReadVisibleState();
    // Column 3 of the matrix moved by 10 units of the frame's x axis.
    for (int row = 0; row < 4; row++)
        EXPECT_NEAR(after.modelView[12 + row],
                    before.modelView[12 + row] + 10 * before.modelView[row], 1e-4);

    StartRecording();
    DrawString("");
    DrawString("   ");
    calls = StopRecording();
    EXPECT_EQ(CallNames(calls),
              (std::vector<std::string>{"glTranslatef", "glTranslatef", "glTranslatef"}));
}

// Centre of the quad of a recorded glBegin, in normalised device coordinates.
std::pair<double, double> QuadCentre(const RecordedCall &begin) {
    const std::array<float, 16> &m = begin.modelView;
    return {m[12] / m[15], m[13] / m[15]};
}

TEST_F(Text, CharacterILandsAtItsPlaceOnTheLine) {
    scrollerOn = 1;
    scrollPos = -1.0f;
    StartRecording();
    DrawScroller();
    std::vector<RecordedCall> calls = StopRecording();
    EXPECT_EQ(scrollPos, -1.0f + 0.03f);
    // Character i (from 1) is centred at x = -scrollPos - 2.7 + 0.16 i,
    // y = -1.9 at depth 2, that is x / 2.666 and y / 2 on the screen.
    int glyphs = 0;
    for (size_t k = 0; k + 1 < calls.size(); k++) {
        if (calls[k].name != "glBegin")
            continue;
        glyphs++;
        auto [x, y] = QuadCentre(calls[k]);
        double s0 = calls[k + 1].args[0];
        // Find the character from its cell: the first visible one is matched
        // by position, so compute the index from x and check the cell.
        double index = (x * 2 * 1.333 + scrollPos + 2.7) / 0.16;
        EXPECT_NEAR(index, std::round(index), 1e-3);
        int i = static_cast<int>(std::lround(index));
        ASSERT_GE(i, 1);
        char c = scrollMessage[i - 1];
        EXPECT_NE(c, ' ');
        EXPECT_FLOAT_EQ(static_cast<float>(s0),
                        static_cast<float>(GlyphCell(static_cast<uint8_t>(GlyphCode(c)))) *
                            0.023438f);
        EXPECT_NEAR(y, -1.9 / 2, 1e-5);
    }
    EXPECT_GE(glyphs, 20);
    VisibleState state = ReadVisibleState();
    EXPECT_FALSE(state.texture2d);
    EXPECT_EQ(state.colour, (std::array<float, 4>{1.0f, 0.4f, 0.0f, 1.0f}));
    EXPECT_EQ(state.modelViewDepth, 1);
}

TEST_F(Text, FirstCharacterDrawnOnScreenWhereExpected) {
    scrollerOn = 1;
    // After the step the first character is centred on the screen's middle.
    scrollPos = -2.7f + 0.16f - 0.03f;
    DrawScroller();
    Image frame = ReadBackBuffer();
    // Centre of character 1 at column 320, row (1 + 0.95) / 2 * 480 = 468.
    const uint8_t *p = frame.Pixel(320, 468);
    EXPECT_GT(p[0], 240);
    EXPECT_NEAR(p[1], 102, 3);
    EXPECT_LT(p[2], 3);
    // Nothing above the line; the cell's inner block spans the glyph.
    EXPECT_LT(MeanBrightness(frame, 0, 0, 640, 455), 0.01);
    EXPECT_LT(MeanBrightness(frame, 0, 0, 300, 480), 0.01);
}

TEST_F(Text, ScrollerEntersAtTheRightInFrameTwentyFour) {
    scrollerOn = 1;
    for (int frame = 1; frame <= 24; frame++) {
        BeginFrame();
        DrawScroller();
        Image image = ReadBackBuffer();
        double rightEdge = MeanBrightness(image, 600, 440, 640, 480);
        if (frame < 24)
            EXPECT_EQ(rightEdge, 0.0) << "frame " << frame;
        else
            EXPECT_GT(rightEdge, 0.0);
    }
}

TEST_F(Text, ScrollerOnlyRunsWhenTheFlagIsOne) {
    scrollerOn = 2;
    StartRecording();
    DrawScroller();
    EXPECT_TRUE(StopRecording().empty());
    EXPECT_EQ(scrollPos, -6.0f);
}

} // namespace
