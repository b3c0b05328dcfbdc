// The offscreen display: context, fixed rendering state, per-frame view and
// the viewport hook.
#include <GL/gl.h>
#include <cmath>
#include <gtest/gtest.h>

#include "display/display.h"
#include "tests/support/headless.h"

namespace {
class HeadlessDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(StartHeadlessDisplay(640, 480));
    }
};

GLint Integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

TEST_F(HeadlessDisplay, ContextHasColourAndDepthAsAskedFor) {
    EXPECT_EQ(ClientAreaWidth(), 640);
    EXPECT_EQ(ClientAreaHeight(), 480);
    EXPECT_GE(Integer(GL_RED_BITS), 8);
    EXPECT_GE(Integer(GL_GREEN_BITS), 8);
    EXPECT_GE(Integer(GL_BLUE_BITS), 8);
    EXPECT_GE(Integer(GL_DEPTH_BITS), 24);
    // Fixed-function calls work: a compatibility context, not a core one.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HeadlessDisplay, FixedRenderingStateIsSet) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(Integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(Integer(GL_BLEND_DST), GL_ONE);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(Integer(GL_UNPACK_ALIGNMENT), 1);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0] + clear[1] + clear[2] + clear[3], 0.0f);
    // Set with the identity model-view, so stored in eye space unchanged.
    GLfloat light[4];
    glGetLightfv(GL_LIGHT0, GL_POSITION, light);
    EXPECT_FLOAT_EQ(light[0], 5.0f);
    EXPECT_FLOAT_EQ(light[1], 5.0f);
    EXPECT_FLOAT_EQ(light[2], 5.0f);
    EXPECT_FLOAT_EQ(light[3], 0.5f);
}

// The perspective of the single-precision arguments, widened to double:
// aspect 1.3329999446868896, near 0.10000000149011612, far 1000.
TEST_F(HeadlessDisplay, ViewPutsThePerspectiveIntoTheModelViewMatrix) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE); // ResetView must select model-view itself
    ResetView();
    EXPECT_EQ(Integer(GL_MATRIX_MODE), GL_MODELVIEW);
    GLdouble modelView[16];
    GLdouble projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double aspect = 1.3329999446868896;
    const double nearPlane = 0.10000000149011612;
    const double farPlane = 1000.0;
    double expected[16] = {};
    expected[0] = 1.0 / aspect; // cot(45 degrees) = 1
    expected[5] = 1.0;
    expected[10] = (farPlane + nearPlane) / (nearPlane - farPlane);
    expected[11] = -1.0;
    expected[14] = 2.0 * farPlane * nearPlane / (nearPlane - farPlane);
    for (int i = 0; i < 16; i++) {
        EXPECT_NEAR(modelView[i], expected[i], 1e-6 * (1.0 + std::fabs(expected[i])))
            << "element " << i;
        EXPECT_EQ(projection[i], i % 5 == 0 ? 1.0 : 0.0) << "element " << i;
    }
    // 4/3 would give 0.75 here; 1.333 in single precision gives more.
    EXPECT_GT(modelView[0], 0.75 + 1e-5);
}

TEST_F(HeadlessDisplay, ClearedFrameReadsBackBlackAndDrawingShows) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ResetView();
    Image black = ReadBackBuffer();
    ASSERT_EQ(black.width, 640);
    ASSERT_EQ(black.height, 480);
    EXPECT_EQ(CountDarkPixels(black, 0), 640 * 480);
    // A red square in the upper half: read back rows come top first.
    glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(-0.5f, 0.5f, -2.0f);
    glVertex3f(0.5f, 0.5f, -2.0f);
    glVertex3f(0.5f, 1.5f, -2.0f);
    glVertex3f(-0.5f, 1.5f, -2.0f);
    glEnd();
    Image frame = ReadBackBuffer();
    EXPECT_EQ(frame.Pixel(320, 120)[0], 255);
    EXPECT_EQ(frame.Pixel(320, 360)[0], 0);
    ImageDifference difference = CompareImages(black, frame, 0);
    EXPECT_TRUE(difference.sameSize);
    EXPECT_GT(difference.differingPixels, 1000);
    EXPECT_EQ(difference.maxChannelDifference, 255);
    PresentFrame();
}

TEST_F(HeadlessDisplay, PngFilesRoundTrip) {
    Image image;
    image.width = 3;
    image.height = 2;
    image.rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 250, 251, 252};
    std::string path = ::testing::TempDir() + "/roundtrip.png";
    ASSERT_TRUE(WritePng(path, image));
    Image back = ReadPng(path);
    EXPECT_EQ(CompareImages(image, back, 0).differingPixels, 0);
    EXPECT_TRUE(CompareImages(image, back, 0).sameSize);
    EXPECT_EQ(ReadPng(path + ".missing").width, 0);
    EXPECT_FALSE(WritePng("/nonexistent-dir/x.png", image));
    Image shifted = image;
    shifted.rgb[4] += 3;
    EXPECT_EQ(CompareImages(image, shifted, 2).differingPixels, 1);
    EXPECT_EQ(CompareImages(image, shifted, 3).differingPixels, 0);
}

TEST_F(HeadlessDisplay, ViewportFollowsTheDrawableOnASizeMessage) {
    glViewport(0, 0, 10, 10);
    EXPECT_EQ(ViewportOnResize(MainWindowHandle(0), 0x0100, 0, 0), NOT_HANDLED);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 10);
    EXPECT_EQ(ViewportOnResize(MainWindowHandle(0), 0x0005, 0, 0), 1);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 480);
}
} // namespace
