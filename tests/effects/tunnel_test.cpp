// The ring tunnel: the six-frame cycle of the advance, the roll taken before
// its step, the ring's angles and texture coordinates, the state it leaves.
#include <GL/gl.h>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "effects/tunnel_internal.h"
#include "effects_fixture.h"
#include "gl_harness.h"

namespace {

class Tunnel : public EffectsTest {};

TEST_F(Tunnel, AdvanceRunsASixFrameCycle) {
    uint32_t bits;
    std::memcpy(&bits, &TUNNEL_STEP, sizeof bits);
    EXPECT_EQ(bits, 0x3D4CCCCCu);
    const float expected[] = {0.05f, 0.1f, 0.15f, 0.2f, 0.25f - 0x1p-26f, 0.0f,
                              0.05f, 0.1f, 0.15f, 0.2f, 0.25f - 0x1p-26f, 0.0f};
    for (float value : expected) {
        StartRecording();
        DrawTunnel();
        std::vector<RecordedCall> calls = StopRecording();
        EXPECT_FLOAT_EQ(tunnelAdvance, value);
        // The first translation places the rings by the stepped value.
        for (const RecordedCall &call : calls)
            if (call.name == "glTranslatef") {
                EXPECT_EQ(call.args[2], tunnelAdvance - 5.0f);
                break;
            }
    }
    EXPECT_EQ(0.25f - 0x1p-26f, 0.2499999851f);
}

TEST_F(Tunnel, RollsByTheValueBeforeItsStep) {
    for (float roll : {0.0f, 2.0f, 4.0f}) {
        StartRecording();
        DrawTunnel();
        std::vector<RecordedCall> calls = StopRecording();
        ASSERT_EQ(calls[2].name, "glRotatef");
        EXPECT_EQ(calls[2].args, (std::vector<double>{roll, 0, 0, 1}));
    }
    EXPECT_EQ(tunnelRoll, 6.0f);
}

TEST_F(Tunnel, RingIsAClosedStripOfFifteenQuads) {
    StartRecording();
    DrawRing();
    std::vector<RecordedCall> calls = StopRecording();
    std::vector<std::string> head = {"glPushMatrix",    "glEnable",        "glBindTexture",
                                     "glTexParameteri", "glTexParameteri", "glBegin",
                                     "glColor4f"};
    std::vector<std::string> names = CallNames(calls);
    ASSERT_GE(names.size(), head.size());
    ASSERT_EQ(std::vector<std::string>(names.begin(), names.begin() + 7), head);
    EXPECT_EQ(calls[2].args[1], ringTexture);
    EXPECT_EQ(calls[3].args[2], GL_REPEAT);
    EXPECT_EQ(calls[4].args[2], GL_REPEAT);
    EXPECT_EQ(calls[5].args[0], GL_QUAD_STRIP);
    EXPECT_EQ(calls[6].args, (std::vector<double>{1, 1, 1, 0.5}));
    ASSERT_EQ(calls.size(), 7u + 64u + 2u);
    EXPECT_EQ(calls[calls.size() - 2].name, "glEnd");
    EXPECT_EQ(calls.back().name, "glPopMatrix");
    for (int k = 0; k < 32; k++) {
        const RecordedCall &tex = calls[7 + 2 * static_cast<size_t>(k)];
        const RecordedCall &vertex = calls[8 + 2 * static_cast<size_t>(k)];
        ASSERT_EQ(tex.name, "glTexCoord2f");
        ASSERT_EQ(vertex.name, "glVertex3f");
        int pair = k / 2;
        double degrees = 24.0 * pair;
        EXPECT_NEAR(vertex.args[0], std::sin(degrees * M_PI / 180), 1e-6);
        EXPECT_NEAR(vertex.args[1], std::cos(degrees * M_PI / 180), 1e-6);
        EXPECT_EQ(vertex.args[2], k % 2 == 0 ? 0.0 : 0.25);
        EXPECT_EQ(tex.args[0], k % 2);
        EXPECT_EQ(tex.args[1], pair % 2);
    }
}

TEST_F(Tunnel, LeavesFogOffAndTheRingTextureOn) {
    VisibleState before = ReadVisibleState();
    glColor4f(0.2f, 0.3f, 0.4f, 1.0f);
    StartRecording();
    DrawTunnel();
    std::vector<RecordedCall> calls = StopRecording();
    VisibleState after = ReadVisibleState();
    EXPECT_FALSE(after.fog);
    EXPECT_TRUE(after.texture2d);
    EXPECT_EQ(after.boundTexture, static_cast<GLint>(ringTexture));
    EXPECT_EQ(after.wrapS, GL_REPEAT);
    EXPECT_EQ(after.wrapT, GL_REPEAT);
    EXPECT_EQ(after.colour, (std::array<float, 4>{1, 1, 1, 0.5f}));
    EXPECT_EQ(after.texCoord[0], 1.0f);
    EXPECT_EQ(after.texCoord[1], 1.0f);
    EXPECT_EQ(after.modelView, before.modelView);
    EXPECT_EQ(calls.front().name, "glPushMatrix");
    EXPECT_EQ(calls[1].args[0], GL_FOG);
    EXPECT_EQ(calls.back().args[0], GL_FOG);
    EXPECT_EQ(calls[calls.size() - 2].name, "glPopMatrix");
}

TEST_F(Tunnel, FarEndIsABlackDiscInsideLitRings) {
    DrawTunnel();
    Image frame = ReadBackBuffer();
    EXPECT_LT(MeanBrightness(frame, 310, 230, 330, 250), 3.0);
    EXPECT_GT(MeanBrightness(frame, 0, 0, 80, 80), 60.0);
}

} // namespace
