// The effects one by one: the calls each makes, in order and with their
// values, the motion it steps, and what shows on screen.
#include <GL/gl.h>
#include <algorithm>
#include <tuple>

#include "effects_fixture.h"
#include "runtime/runtime.h"

namespace {

class Effects : public EffectsTest {};

struct TraceCase {
    const char *name;
    void (*draw)();   // sets the scene variables it needs, then draws
    const char *only; // the calls compared, "" for all
    const char *trace;
};

const TraceCase TRACES[] = {
    {"a mark and a space", [] { DrawString("! "); }, "",
     "Translatef(2,0,0) Enable(TEXTURE_2D) BindTexture(font) TexParameteri(WRAP_S,CLAMP) "
     "TexParameteri(WRAP_T,CLAMP) PushMatrix Rotatef(90,0,0,-1) Begin(QUADS) "
     "TexCoord2f(0.796892,0) Vertex3f(-1,-1,0) TexCoord2f(0.82033,0) Vertex3f(-1,1,0) "
     "TexCoord2f(0.82033,1) Vertex3f(1,1,0) TexCoord2f(0.796892,1) Vertex3f(1,-1,0) End "
     "PopMatrix Disable(TEXTURE_2D) Translatef(2,0,0)"},
    {"a ring", DrawRing, "PushMatrix Enable BindTexture TexParameteri Begin Color4f End PopMatrix",
     "PushMatrix Enable(TEXTURE_2D) BindTexture(ring) TexParameteri(WRAP_S,REPEAT) "
     "TexParameteri(WRAP_T,REPEAT) Begin(QUAD_STRIP) Color4f(1,1,1,0.5) End PopMatrix"},
    // The step runs between the bind and the colour: never drawn at alpha 0.
    {"the first word", DrawTitlePicture, "",
     "PushMatrix Enable(TEXTURE_2D) BindTexture(title1) TexParameteri(WRAP_S,CLAMP) "
     "TexParameteri(WRAP_T,CLAMP) TitleStep Color4f(1,1,1,0.03) Rotatef(180,1,0,0) Begin(QUADS) "
     "TexCoord2f(0,0) Vertex3f(-2,0,2) TexCoord2f(1,0) Vertex3f(2,0,2) TexCoord2f(1,1) "
     "Vertex3f(2,0.5,2) TexCoord2f(0,1) Vertex3f(-2,0.5,2) End PopMatrix"},
    {"a panel", DrawPanel, "",
     "Enable(TEXTURE_2D) BindTexture(panel) TexParameteri(WRAP_S,CLAMP) "
     "TexParameteri(WRAP_T,CLAMP) PushMatrix Begin(QUADS) TexCoord2f(0,0) Vertex3f(-1,-1,0) "
     "TexCoord2f(0,1) Vertex3f(-1,1,0) TexCoord2f(1,1) Vertex3f(1,1,0) TexCoord2f(1,0) "
     "Vertex3f(1,-1,0) End PopMatrix Disable(TEXTURE_2D)"},
    // Panels 3 and 4 in one push: the fourth is placed from the third.
    {"the flying panels", DrawFlyingPanels, "Color4f PushMatrix Translatef Rotatef PopMatrix",
     "Color4f(1,0,0,0.6) PushMatrix Translatef(0,0,-2) Translatef(-6,-6,0) Rotatef(135,0,0,1) "
     "PushMatrix PopMatrix PopMatrix PushMatrix Translatef(0,0,-2) Translatef(4,-4,0) "
     "Rotatef(-135,0,0,1) Rotatef(180,0,1,0) PushMatrix PopMatrix PopMatrix PushMatrix "
     "Translatef(0,0,-2) Rotatef(180,0,0,1) Translatef(-0.5,8.5,0) PushMatrix PopMatrix "
     "Rotatef(180,0,1,0) Translatef(-1,0,0) PushMatrix PopMatrix PopMatrix"},
    // Stepped before drawing: -5.95, where the sine is positive and negated.
    {"the sliding picture", DrawSlidingPicture, "",
     "PushMatrix Enable(TEXTURE_2D) BindTexture(picture) TexParameteri(WRAP_S,CLAMP) "
     "TexParameteri(WRAP_T,CLAMP) Rotatef(180,1,0,0) Translatef(-2.975,-0.272546,0) "
     "Color4f(1,1,1,1) Begin(QUADS) TexCoord2f(0,0) Vertex3f(-0.5,-1,2) TexCoord2f(1,0) "
     "Vertex3f(0.5,-1,2) TexCoord2f(1,1) Vertex3f(0.5,1,2) TexCoord2f(0,1) Vertex3f(-0.5,1,2) "
     "End PopMatrix"},
    // The inner copy is scaled before the pulse steps; texturing goes off
    // even where no scroller ran before.
    {"the lit object", DrawLitObject, "",
     "Disable(TEXTURE_2D) Enable(FOG) Enable(LIGHTING) Enable(LIGHT0) "
     "BlendFunc(SRC_ALPHA,SRC_ALPHA) Materialfv(FRONT,SHININESS,127) PushMatrix "
     "Translatef(0,0,-3.5) Rotatef(90,1,0,0) Rotatef(1.5,0,1,0.5) PushMatrix Scalef(0.8,0.8,0.8) "
     "PulseStep(0) Materialfv(FRONT,EMISSION,1,0,0,1) CallList(shape) PopMatrix "
     "Materialfv(FRONT,EMISSION,0,1,0.2,0.2) CallList(shape) PopMatrix Disable(LIGHTING) "
     "BlendFunc(SRC_ALPHA,ONE) Disable(FOG)"},
};

TEST_F(Effects, DrawTheirCallsInOrder) {
    for (const TraceCase &c : TRACES) {
        SCOPED_TRACE(c.name);
        InitSceneVariables();
        EXPECT_EQ(Trace(Recorded(c.draw), c.only), c.trace);
    }
    // Each frame of the panels lowers their offsets by 0.1.
    DrawFlyingPanels();
    EXPECT_EQ(std::tuple(panelOffsetA, panelOffsetB, panelOffsetC), std::tuple(3.9f, 5.9f, 8.4f));
}

TEST_F(Effects, ScrollerRunsOnlyWhenTheFlagIsOneAndEntersInFrameTwentyFour) {
    scrollerOn = 2;
    EXPECT_EQ(Trace(Recorded(DrawScroller)), "");
    scrollerOn = 1;
    std::vector<RecordedCall> calls = Recorded(DrawScroller);
    EXPECT_EQ(Trace({calls.begin(), calls.begin() + 4}),
              "PushMatrix Color4f(1,0.4,0,1) Translatef(3.27,-1.9,-2) Scalef(0.08,0.08,0.08)");
    EXPECT_EQ(CountCalls(calls, "glTranslatef"), 616);
    for (int frame = 2; frame <= 24; frame++) {
        BeginFrame();
        DrawScroller();
        std::vector<uint8_t> rgb = ReadBackBuffer().rgb;
        bool shows = std::any_of(rgb.begin(), rgb.end(), [](uint8_t value) { return value > 0; });
        EXPECT_EQ(shows, frame == 24) << "frame " << frame;
    }
}

TEST_F(Effects, TunnelOfFiftyOneRingsRunsASixFrameCycle) {
    std::vector<RecordedCall> calls = Recorded(DrawTunnel);
    EXPECT_EQ(Trace({calls.begin(), calls.begin() + 5}),
              "PushMatrix Enable(FOG) Rotatef(0,0,0,1) Translatef(0,0,-4.95) Translatef(0,0,0.25)");
    EXPECT_EQ(CountCalls(calls, "glBegin"), 51);
    EXPECT_EQ(Trace({calls.end() - 2, calls.end()}), "PopMatrix Disable(FOG)");
    // The advance, frame after frame, and the roll taken before its step.
    const float advance[] = {0.1f, 0.15f, 0.2f, 0.25f - 0x1p-26f, 0.0f, 0.05f, 0.1f};
    for (int frame = 0; frame < 7; frame++) {
        calls = Recorded(DrawTunnel);
        EXPECT_EQ(calls[2].args[0], 2.0 * (frame + 1));
        EXPECT_FLOAT_EQ(tunnelAdvance, advance[frame]);
        EXPECT_EQ(calls[3].args[2], tunnelAdvance - 5.0f);
    }
}

// Sixteen pairs at 0, 24, ... 360 degrees, s across and t around the ring.
TEST_F(Effects, RingIsAClosedStripOfFifteenQuads) {
    std::vector<RecordedCall> calls = Recorded(DrawRing);
    ASSERT_EQ(CountCalls(calls, "glVertex3f"), 32);
    size_t first = FindCall(calls, "glTexCoord2f"), last = first + 60;
    EXPECT_EQ(Trace({calls.begin() + long(first), calls.begin() + long(first) + 8}),
              "TexCoord2f(0,0) Vertex3f(0,1,0) TexCoord2f(1,0) Vertex3f(0,1,0.25) "
              "TexCoord2f(0,1) Vertex3f(0.406737,0.913545,0) TexCoord2f(1,1) "
              "Vertex3f(0.406737,0.913545,0.25)");
    // The last pair closes the ring where the first began.
    EXPECT_NEAR(calls[last + 3].args[0], 0.0, 1e-6);
    EXPECT_EQ(Trace({calls.begin() + long(last), calls.begin() + long(last) + 4}, "TexCoord2f"),
              "TexCoord2f(0,1) TexCoord2f(1,1)");
    EXPECT_EQ(calls[last + 3].args[1] + calls[last + 3].args[2], 1.25);
}

// Strip k: two draws, its top edge -2a .. 2b at t = k / 32, its bottom edge
// -2b .. 2a at t = (k + 1) / 32, then the step before glEnd.
TEST_F(Effects, WipeDrawsThirtyTwoStripsFromTwoDrawsEach) {
    SeedRandom(12345);
    titlePhase = 100; // over the second word, as the opening runs it
    std::vector<RecordedCall> calls = Recorded(DrawStripWipe);
    const size_t first = FindCall(calls, "glBegin") + 1;
    ASSERT_EQ(calls.size(), first + 32 * 8 + 3);
    SeedRandom(12345); // the wipe's draws again, in its order
    for (size_t k = 0, at = first; k < 32; k++, at += 8) {
        float a = float(Random(100)) / 70, b = float(Random(100)) / 70;
        float v0 = float(k) / 32, v1 = float(k + 1) / 32;
        const std::vector<std::vector<double>> want = {
            {0, v0}, {-2 * a, v0 / 2, 2}, {1, v0}, {2 * b, v0 / 2, 2},
            {1, v1}, {2 * a, v1 / 2, 2},  {0, v1}, {-2 * b, v1 / 2, 2}};
        for (size_t i = 0; i < want.size(); i++)
            EXPECT_EQ(calls[at + i].args, want[i]) << "strip " << k << " call " << i;
    }
    EXPECT_EQ(Trace({calls.begin(), calls.begin() + long(first)}),
              "PushMatrix Enable(TEXTURE_2D) BindTexture(title2) TexParameteri(WRAP_S,CLAMP) "
              "TexParameteri(WRAP_T,CLAMP) Rotatef(180,1,0,0) Color4f(1,1,1,1) Begin(QUADS)");
    EXPECT_EQ(Trace({calls.end() - 3, calls.end()}), "WipeStep End PopMatrix");
}

} // namespace
