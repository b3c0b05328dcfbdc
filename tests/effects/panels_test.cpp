// Flying panels, sliding picture and lit object: when each panel enters,
// passes the centre and leaves, the picture's hop, the pulse's scales, the
// blend function restored.
#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "effects_fixture.h"
#include "gl_harness.h"

namespace {

class Panels : public EffectsTest {};

struct Placement {
    double x, y; // centre on the screen, normalised device coordinates
    bool inView; // some part of the quad inside the screen
};

using Corners = std::vector<std::pair<double, double>>;

// Whether two convex polygons overlap in more than an edge: no edge normal of
// either separates them.
bool Overlap(const Corners &a, const Corners &b) {
    for (const Corners *poly : {&a, &b})
        for (size_t i = 0; i < poly->size(); i++) {
            auto [x0, y0] = (*poly)[i];
            auto [x1, y1] = (*poly)[(i + 1) % poly->size()];
            double nx = y1 - y0, ny = x0 - x1;
            auto range = [&](const Corners &c) {
                double lo = 1e9, hi = -1e9;
                for (auto [x, y] : c) {
                    lo = std::min(lo, nx * x + ny * y);
                    hi = std::max(hi, nx * x + ny * y);
                }
                return std::pair{lo, hi};
            };
            auto [aLo, aHi] = range(a);
            auto [bLo, bHi] = range(b);
            if (aHi <= bLo || bHi <= aLo)
                return false;
        }
    return true;
}

// Where the quad drawn after a recorded glBegin lands (corners at +-halfX,
// +-halfY, z in its own frame), in normalised device coordinates.
Placement PlaceQuad(const RecordedCall &begin, double halfX = 1, double halfY = 1, double z = 0) {
    const std::array<float, 16> &m = begin.modelView;
    auto project = [&](double x, double y) {
        double cx = m[0] * x + m[4] * y + m[8] * z + m[12];
        double cy = m[1] * x + m[5] * y + m[9] * z + m[13];
        double w = m[3] * x + m[7] * y + m[11] * z + m[15];
        return std::pair{cx / w, cy / w};
    };
    auto [x, y] = project(0, 0);
    Corners quad = {project(-halfX, -halfY), project(halfX, -halfY), project(halfX, halfY),
                    project(-halfX, halfY)};
    Corners screen = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    return {x, y, Overlap(quad, screen)};
}

TEST_F(Panels, EnterPassTheCentreAndLeaveOnTheirFrames) {
    // Per panel (1 to 4): first frame in view, frame closest to the centre,
    // first frame out of view again.
    int enter[4] = {0, 0, 0, 0}, leave[4] = {0, 0, 0, 0}, centre[4] = {0, 0, 0, 0};
    double closest[4] = {9, 9, 9, 9};
    for (int frame = 1; frame <= 130; frame++) {
        StartRecording();
        DrawFlyingPanels();
        std::vector<RecordedCall> calls = StopRecording();
        int panel = 0;
        for (const RecordedCall &call : calls) {
            if (call.name != "glBegin")
                continue;
            Placement place = PlaceQuad(call);
            if (place.inView && enter[panel] == 0)
                enter[panel] = frame;
            if (!place.inView && enter[panel] != 0 && leave[panel] == 0)
                leave[panel] = frame;
            // Panels 3 and 4 pass the centre line together.
            double offset = panel < 2 ? std::hypot(place.x, place.y) : std::fabs(place.y);
            if (offset < closest[panel]) {
                closest[panel] = offset;
                centre[panel] = frame;
            }
            panel++;
        }
        ASSERT_EQ(panel, 4);
    }
    EXPECT_EQ(enter[1], 11);
    EXPECT_EQ(enter[0], 31);
    EXPECT_EQ(enter[2], 57);
    EXPECT_EQ(enter[3], 57);
    EXPECT_EQ(centre[1], 41);
    EXPECT_EQ(centre[0], 61);
    EXPECT_EQ(centre[2], 86);
    EXPECT_EQ(leave[1], 72);
    EXPECT_EQ(leave[0], 92);
    EXPECT_EQ(leave[2], 117);
    EXPECT_EQ(leave[3], 117);
    EXPECT_FLOAT_EQ(panelOffsetA, 4.0f - 13.0f);
}

TEST_F(Panels, LeaveTexturingOffAndTheRedColour) {
    StartRecording();
    DrawFlyingPanels();
    std::vector<RecordedCall> calls = StopRecording();
    EXPECT_EQ(calls.front().args, (std::vector<double>{1, 0, 0, 0.6f}));
    EXPECT_EQ(CountCalls(calls, "glBegin"), 4);
    VisibleState state = ReadVisibleState();
    EXPECT_FALSE(state.texture2d);
    EXPECT_EQ(state.colour, (std::array<float, 4>{1, 0, 0, 0.6f}));
    EXPECT_EQ(state.modelViewDepth, 1);
    EXPECT_EQ(panelOffsetA, 3.9f);
    EXPECT_EQ(panelOffsetB, 5.9f);
    EXPECT_EQ(panelOffsetC, 8.4f);
}

TEST_F(Panels, PictureHopsAcrossFromTheLeft) {
    double lowest = 9;
    for (int frame = 1; frame <= 250; frame++) {
        StartRecording();
        DrawSlidingPicture();
        std::vector<RecordedCall> calls = StopRecording();
        auto begin = std::find_if(calls.begin(), calls.end(),
                                  [](const RecordedCall &c) { return c.name == "glBegin"; });
        ASSERT_NE(begin, calls.end());
        Placement place = PlaceQuad(*begin, 0.5, 1, 2);
        // Centre (slidePhase / 2, |sin slidePhase| / 1.2) at depth 2.
        EXPECT_NEAR(place.x * 2 * 1.333, slidePhase / 2, 1e-4);
        EXPECT_NEAR(place.y * 2, std::fabs(std::sin(slidePhase)) / 1.2, 1e-4);
        lowest = std::min(lowest, place.y);
        if (frame == 1) {
            EXPECT_EQ(slidePhase, -6.0f + 0.049999997f);
            EXPECT_NEAR(place.x * 2 * 1.333, -2.975, 1e-4);
            EXPECT_TRUE(place.inView);
        }
        if (frame == 247) {
            EXPECT_FALSE(place.inView);
        }
    }
    EXPECT_GE(lowest, 0.0);
    EXPECT_LT(lowest, 0.01);
}

TEST_F(Panels, PictureIsUpright) {
    slidePhase = -0.049999997f; // drawn at 0: centred on the screen, on the line
    DrawSlidingPicture();
    Image frame = ReadBackBuffer();
    // The 1 x 2 picture spans columns 260 .. 380 and rows 120 .. 360; the
    // stand-in's last 23 of 512 rows are black, so rows 349 .. 360 are dark
    // when the picture stands upright.
    EXPECT_GT(frame.Pixel(320, 130)[0], 250);
    EXPECT_GT(frame.Pixel(320, 340)[0], 250);
    EXPECT_LT(frame.Pixel(320, 355)[0], 5);
    EXPECT_LT(frame.Pixel(320, 110)[0], 5);
    EXPECT_LT(frame.Pixel(320, 365)[0], 5);
    EXPECT_GT(frame.Pixel(265, 200)[0], 250);
    EXPECT_LT(frame.Pixel(255, 200)[0], 5);
}

// A beat stored before a frame's drawing, or between its drawing and its step
// (where the player's thread may land), is drawn in full by the next frame.
TEST_F(Panels, InnerCopyFollowsThePulse) {
    struct Case {
        int beatBefore, beatInside; // frame numbers, -1 for none
        double scales[10];
    } cases[] = {
        {1, -1, {0.8, 1.1, 1.05, 1.0, 0.95, 0.9, 0.85, 0.8, 0.75, 0.75}},
        {-1, 0, {0.8, 1.1, 1.05, 1.0, 0.95, 0.9, 0.85, 0.8, 0.75, 0.75}},
        {1, 3, {0.8, 1.1, 1.05, 1.0, 1.1, 1.05, 1.0, 0.95, 0.9, 0.85}},
        {1, 8, {0.8, 1.1, 1.05, 1.0, 0.95, 0.9, 0.85, 0.8, 0.75, 1.1}},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE("beat inside frame " + std::to_string(test.beatInside));
        pulse.store(0.0f);
        for (int frame = 0; frame < 10; frame++) {
            if (frame == test.beatBefore)
                pulse.store(0.3f);
            SetPulseStepHook(frame == test.beatInside ? +[] { pulse.store(0.3f); } : nullptr);
            StartRecording();
            DrawLitObject();
            std::vector<RecordedCall> calls = StopRecording();
            SetPulseStepHook(nullptr);
            auto scale = std::find_if(calls.begin(), calls.end(),
                                      [](const RecordedCall &c) { return c.name == "glScalef"; });
            ASSERT_NE(scale, calls.end());
            ASSERT_EQ((scale + 1)->name, "PulseStep");
            EXPECT_NEAR(scale->args[0], test.scales[frame], 1e-6) << "frame " << frame;
        }
    }
}

TEST_F(Panels, LitObjectRestoresTheFixedState) {
    glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
    StartRecording();
    DrawLitObject();
    std::vector<RecordedCall> calls = StopRecording();
    std::vector<std::string> expected = {
        "glDisable",    "glEnable",     "glEnable",     "glEnable",     "glBlendFunc",
        "glMaterialfv", "glPushMatrix", "glTranslatef", "glRotatef",    "glRotatef",
        "glPushMatrix", "glScalef",     "PulseStep",    "glMaterialfv", "glCallList",
        "glPopMatrix",  "glMaterialfv", "glCallList",   "glPopMatrix",  "glDisable",
        "glBlendFunc",  "glDisable"};
    ASSERT_EQ(CallNames(calls), expected);
    EXPECT_EQ(calls[0].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(calls[1].args[0], GL_FOG);
    EXPECT_EQ(calls[2].args[0], GL_LIGHTING);
    EXPECT_EQ(calls[3].args[0], GL_LIGHT0);
    EXPECT_EQ(calls[4].args, (std::vector<double>{GL_SRC_ALPHA, GL_SRC_ALPHA}));
    EXPECT_EQ(calls[5].args, (std::vector<double>{GL_FRONT, GL_SHININESS, 127}));
    EXPECT_EQ(calls[7].args, (std::vector<double>{0, 0, -3.5}));
    EXPECT_EQ(calls[9].args, (std::vector<double>{1.5, 0, 1, 0.5}));
    EXPECT_EQ(calls[13].args, (std::vector<double>{GL_FRONT, GL_EMISSION, 1, 0, 0, 1}));
    EXPECT_EQ(calls[16].args, (std::vector<double>{GL_FRONT, GL_EMISSION, 0, 1, 0.2f, 0.2f}));
    EXPECT_EQ(calls[19].args[0], GL_LIGHTING);
    EXPECT_EQ(calls[20].args, (std::vector<double>{GL_SRC_ALPHA, GL_ONE}));
    EXPECT_EQ(calls[21].args[0], GL_FOG);
    VisibleState state = ReadVisibleState();
    EXPECT_FALSE(state.lighting);
    EXPECT_FALSE(state.fog);
    EXPECT_TRUE(state.light0);
    EXPECT_EQ(state.blendSrc, GL_SRC_ALPHA);
    EXPECT_EQ(state.blendDst, GL_ONE);
    EXPECT_EQ(state.modelViewDepth, 1);
    EXPECT_EQ(spinAngle, 1.5f);
}

// Also when the sliding picture left texturing on and no scroller ran since
// (the opening cut short by the music): the object is drawn untextured.
TEST_F(Panels, LitObjectShowsAtTheCentre) {
    CompileShapeList();
    DrawSlidingPicture();
    BeginFrame();
    DrawLitObject();
    Image frame = ReadBackBuffer();
    WritePng("/tmp/effects_object.png", frame);
    EXPECT_GT(MeanBrightness(frame, 280, 200, 360, 280), 50.0);
    EXPECT_EQ(MeanBrightness(frame, 0, 0, 60, 60), 0.0);
}

} // namespace
