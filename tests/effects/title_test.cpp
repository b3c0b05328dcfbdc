// Title picture and strip wipe: where the word stands on screen, the order of
// the timeline step and the colour, the wipe's strips and random draws, and
// the frames in which the music is resumed.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "effects_fixture.h"
#include "gl_harness.h"
#include "runtime/runtime.h"

namespace {

class Title : public EffectsTest {};

// Bounding box of the pixels brighter than a threshold (top-left origin).
struct Box {
    int left = 10000, top = 10000, right = -1, bottom = -1;
};
Box LitBox(const Image &image, int threshold) {
    Box box;
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            if (image.Pixel(x, y)[0] > threshold) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

TEST_F(Title, WordStandsBelowTheCentreLine) {
    fadeAlpha = 1.0f;
    titlePhase = 50;
    glBindTexture(GL_TEXTURE_2D, titleTexture2);
    DrawTitlePicture();
    Image frame = ReadBackBuffer();
    WritePng("/tmp/effects_title.png", frame);
    // The quad spans 80 .. 560 across and rows 240 .. 300; the stand-in word
    // fills texel columns 31 .. 458 and rows 0 .. 60 of 512 x 64.
    Box box = LitBox(frame, 100);
    EXPECT_NEAR(box.left, 80 + 480 * 31 / 512, 2);
    EXPECT_NEAR(box.right, 80 + 480 * 459 / 512, 2);
    EXPECT_NEAR(box.top, 240, 1);
    EXPECT_NEAR(box.bottom, 240 + 61 * 60 / 64, 2);
    // Upright: the stand-in's grey middle (columns 235 .. 361) of the second word.
    EXPECT_NEAR(frame.Pixel(320, 260)[0], 128, 3);
    EXPECT_GT(frame.Pixel(150, 260)[0], 250);
}

TEST_F(Title, StepRunsBetweenTheBindAndTheColour) {
    int musicBefore = MusicPlayCalls();
    StartRecording();
    DrawTitlePicture();
    std::vector<RecordedCall> calls = StopRecording();
    std::vector<std::string> expected = {
        "glPushMatrix", "glEnable",     "glBindTexture", "glTexParameteri", "glTexParameteri",
        "TitleStep",    "glColor4f",    "glRotatef",     "glBegin",         "glTexCoord2f",
        "glVertex3f",   "glTexCoord2f", "glVertex3f",    "glTexCoord2f",    "glVertex3f",
        "glTexCoord2f", "glVertex3f",   "glEnd",         "glPopMatrix"};
    ASSERT_EQ(CallNames(calls), expected);
    EXPECT_EQ(calls[2].args[1], titleTexture1);
    // The first frame is drawn at the alpha after the step, never at 0.
    EXPECT_EQ(calls[6].args, (std::vector<double>{1, 1, 1, 0.03f}));
    EXPECT_EQ(calls[7].args, (std::vector<double>{180, 1, 0, 0}));
    EXPECT_EQ(calls[10].args, (std::vector<double>{-2, 0, 2}));
    EXPECT_EQ(calls[16].args, (std::vector<double>{-2, 0.5, 2}));
    EXPECT_EQ(MusicPlayCalls(), musicBefore);
}

TEST_F(Title, SecondWordResumesTheMusicBeforeTheStep) {
    titlePhase = 7;
    fadeAlpha = 1.0199995f;
    StartRecording();
    DrawTitlePicture();
    std::vector<RecordedCall> calls = StopRecording();
    ASSERT_GE(calls.size(), 7u);
    EXPECT_EQ(calls[2].args[1], titleTexture2);
    EXPECT_EQ(calls[3].name, "MusicPlay");
    EXPECT_EQ(calls[3].args[0], 0);
    EXPECT_EQ(calls[6].name, "TitleStep");
    EXPECT_EQ(titlePhase, 6);
}

TEST_F(Title, WipeDrawsThirtyTwoStripsFromTwoDrawsEach) {
    titlePhase = 100;
    wipeCountdown = 0;
    SeedRandom(12345);
    int musicBefore = MusicPlayCalls();
    StartRecording();
    DrawStripWipe();
    std::vector<RecordedCall> calls = StopRecording();
    std::vector<std::string> head = {"glPushMatrix",    "glEnable",        "glBindTexture",
                                     "glTexParameteri", "glTexParameteri", "glRotatef",
                                     "glColor4f",       "glBegin"};
    ASSERT_EQ(calls.size(), head.size() + 32 * 10 + 3);
    for (size_t i = 0; i < head.size(); i++)
        EXPECT_EQ(calls[i].name, head[i]);
    EXPECT_EQ(calls[2].args[1], titleTexture2);
    EXPECT_EQ(calls[6].args, (std::vector<double>{1, 1, 1, 1}));
    EXPECT_EQ(calls[7].args[0], GL_QUADS);
    // The same seed gives the same 64 values, drawn in strip order.
    SeedRandom(12345);
    for (int strip = 0; strip < 32; strip++) {
        const RecordedCall *c = &calls[head.size() + static_cast<size_t>(strip) * 10];
        int32_t drawA = Random(100), drawB = Random(100);
        ASSERT_EQ(c[0].name, "Random");
        ASSERT_EQ(c[1].name, "Random");
        EXPECT_EQ(c[0].args, (std::vector<double>{100, double(drawA)}));
        EXPECT_EQ(c[1].args, (std::vector<double>{100, double(drawB)}));
        float a = static_cast<float>(drawA) / 70.0f, b = static_cast<float>(drawB) / 70.0f;
        float v0 = static_cast<float>(2 * strip) * 0.015625f;
        float v1 = static_cast<float>(2 * strip + 2) * 0.015625f;
        EXPECT_EQ(c[2].args, (std::vector<double>{0, v0}));
        EXPECT_EQ(c[3].args, (std::vector<double>{-2 * a, v0 / 2, 2}));
        EXPECT_EQ(c[4].args, (std::vector<double>{1, v0}));
        EXPECT_EQ(c[5].args, (std::vector<double>{2 * b, v0 / 2, 2}));
        EXPECT_EQ(c[6].args, (std::vector<double>{1, v1}));
        EXPECT_EQ(c[7].args, (std::vector<double>{2 * a, v1 / 2, 2}));
        EXPECT_EQ(c[8].args, (std::vector<double>{0, v1}));
        EXPECT_EQ(c[9].args, (std::vector<double>{-2 * b, v1 / 2, 2}));
    }
    // The last strip ends on the texture's last row; the step comes before glEnd.
    EXPECT_EQ(calls[calls.size() - 5].args[1], 1.0);
    EXPECT_EQ(calls[calls.size() - 3].name, "WipeStep");
    EXPECT_EQ(calls[calls.size() - 2].name, "glEnd");
    EXPECT_EQ(calls.back().name, "glPopMatrix");
    EXPECT_EQ(sceneMask.load(), SCENE_TITLE);
    EXPECT_EQ(MusicPlayCalls(), musicBefore);
}

TEST_F(Title, MusicIsResumedExactlyInTheSecondWordFrames) {
    int before = MusicPlayCalls();
    std::vector<int> framesWithMusic;
    for (int frame = 1; frame <= 200; frame++) {
        int calls = MusicPlayCalls();
        BeginFrame();
        DrawFrameEffects();
        ASSERT_LE(MusicPlayCalls() - calls, 1);
        if (MusicPlayCalls() > calls)
            framesWithMusic.push_back(frame);
    }
    ASSERT_EQ(framesWithMusic.size(), 100u);
    EXPECT_EQ(framesWithMusic.front(), 86);
    EXPECT_EQ(framesWithMusic.back(), 185);
    EXPECT_EQ(MusicPlayCalls() - before, 100);
}

} // namespace
