// The fixed-function layer's own rules, on an ES 2.0 context: GLU's box
// filter, GL_CLAMP's border under GL_LINEAR, per-vertex lighting from a
// positional light with w != 1, and the primitives with current-state
// colour. Expected values are worked out from OpenGL's equations.
#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cstdlib>
#include <vector>

#include "display/display_backend.h"
#include "webgl/mipmaps.h"

namespace {

constexpr int SIZE = 64; // the surface, in pixels; the view spans -1 .. 1

class Layer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(StartOffscreenDisplay() &&
                    StartGlContext(OpenWindow(0, 0, 0, SIZE, SIZE, WindowFrame::Titled, "")))
            << DisplayError();
        glViewport(0, 0, SIZE, SIZE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    void SetUp() override {
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

// Pixel (x, y), rows from the bottom as glReadPixels counts them.
std::vector<int> PixelAt(int x, int y) {
    uint8_t rgb[3];
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return {rgb[0], rgb[1], rgb[2]};
}

void ExpectNear(const std::vector<int> &got, const std::vector<int> &want, const char *what) {
    for (int k = 0; k < 3; k++)
        EXPECT_NEAR(got[k], want[k], 1) << what << ", channel " << k;
}

// The whole view as one quad with texture coordinates 0 .. 1.
void DrawViewQuad() {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex3f(-1, -1, 0);
    glTexCoord2f(1, 0), glVertex3f(1, -1, 0);
    glTexCoord2f(1, 1), glVertex3f(1, 1, 0);
    glTexCoord2f(0, 1), glVertex3f(-1, 1, 0);
    glEnd();
}

TEST(BoxFilter, HalvesAsGluDoes) {
    struct Case {
        const char *what;
        int width, height, components;
        std::vector<uint8_t> image, half;
    } cases[] = {
        {"2 x 2 rounds half up", 2, 2, 1, {1, 2, 2, 2}, {2}},
        {"2 x 2 rounds below half down", 2, 2, 1, {0, 0, 1, 0}, {0}},
        {"a row truncates", 4, 1, 1, {255, 0, 3, 4}, {127, 3}},
        {"a column truncates", 1, 2, 1, {3, 4}, {3}},
        {"RGB by component", 2, 2, 3, {0, 10, 255, 4, 10, 255, 0, 10, 0, 0, 11, 0}, {1, 10, 128}},
        {"4 x 2 in blocks", 4, 2, 1, {0, 4, 8, 8, 4, 0, 8, 8}, {2, 8}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HalveImage(c.image.data(), c.width, c.height, c.components), c.half) << c.what;
}

// A white 2 x 2 texture over the view, 32 times magnified. Under GL_CLAMP and
// GL_LINEAR the border (0) takes 1/2 - 32 s of pixel column x at s = (x +
// 0.5) / 64: column 0 shows 0.516 of white, column 8 0.766, column 16 all.
TEST_F(Layer, ClampBlendsTowardTheBorderUnderLinear) {
    struct Case {
        const char *what;
        GLenum format;
        GLint wrap, magFilter;
        int column0, column8, column16;
    } cases[] = {
        {"luminance, GL_CLAMP, linear", GL_LUMINANCE, GL_CLAMP, GL_LINEAR, 131, 195, 255},
        {"alpha, GL_CLAMP, linear", GL_ALPHA, GL_CLAMP, GL_LINEAR, 131, 195, 255},
        {"luminance, GL_CLAMP, nearest", GL_LUMINANCE, GL_CLAMP, GL_NEAREST, 255, 255, 255},
        {"luminance, to the edge, linear", GL_LUMINANCE, GL_CLAMP_TO_EDGE, GL_LINEAR, 255, 255,
         255},
        {"luminance, repeat, linear", GL_LUMINANCE, GL_REPEAT, GL_LINEAR, 255, 255, 255},
    };
    const uint8_t white[4] = {255, 255, 255, 255};
    for (const Case &c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(c.format), 2, 2, c.format,
                          GL_UNSIGNED_BYTE, white);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, c.magFilter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, c.wrap);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, c.wrap);
        glEnable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        DrawViewQuad();
        glDisable(GL_TEXTURE_2D);
        for (auto [x, value] : {std::pair{0, c.column0}, {8, c.column8}, {16, c.column16}})
            ExpectNear(PixelAt(x, SIZE / 2), {value, value, value}, c.what);
    }
}

// A quad facing the viewer at z = 0, lit at its corners (-1, -1) and (1, 1)
// with the initial material: 0.04 of ambient light plus 0.8 N.L. The light
// at (5, 5, 5, 0.5) is the point (10, 10, 10): N.L is 10 / |(11, 11, 10)|
// = 0.541 and 10 / |(9, 9, 10)| = 0.618 at the two corners.
TEST_F(Layer, LightsEachVertexFromThePositionalLight) {
    struct Case {
        const char *what;
        float position[4];
        float emission[4];
        bool lightOn;
        std::vector<int> lowerLeft, upperRight;
    } cases[] = {
        {"w = 0.5", {5, 5, 5, 0.5f}, {0, 0, 0, 1}, true, {121, 121, 121}, {136, 136, 136}},
        {"w = 1", {5, 5, 5, 1}, {0, 0, 0, 1}, true, {114, 114, 114}, {145, 145, 145}},
        {"a direction", {5, 5, 5, 0}, {0, 0, 0, 1}, true, {128, 128, 128}, {128, 128, 128}},
        {"with emission",
         {5, 5, 5, 0.5f},
         {0.25f, 0, 0, 1},
         true,
         {184, 121, 121},
         {200, 136, 136}},
        {"light 0 off", {5, 5, 5, 0.5f}, {0, 0, 0, 1}, false, {10, 10, 10}, {10, 10, 10}},
    };
    for (const Case &c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        glLightfv(GL_LIGHT0, GL_POSITION, c.position);
        glMaterialfv(GL_FRONT, GL_EMISSION, c.emission);
        (c.lightOn ? glEnable : glDisable)(GL_LIGHT0);
        glEnable(GL_LIGHTING);
        glNormal3f(0, 0, 1);
        DrawViewQuad();
        glDisable(GL_LIGHTING);
        ExpectNear(PixelAt(0, 0), c.lowerLeft, c.what);
        ExpectNear(PixelAt(SIZE - 1, SIZE - 1), c.upperRight, c.what);
    }
}

// Every primitive fills the whole view, its colour set once after glBegin.
TEST_F(Layer, PrimitivesTakeTheCurrentColour) {
    struct Case {
        GLenum mode;
        std::vector<float> xy;
    } cases[] = {
        {GL_QUADS, {-1, -1, 1, -1, 1, 1, -1, 1}},
        {GL_QUAD_STRIP, {-1, -1, -1, 1, 0, -1, 0, 1, 1, -1, 1, 1}},
        {GL_TRIANGLE_STRIP, {-1, -1, 1, -1, -1, 1, 1, 1}},
        {GL_TRIANGLES, {-1, -1, 1, -1, 1, 1, -1, -1, 1, 1, -1, 1}},
    };
    for (const Case &c : cases) {
        glClear(GL_COLOR_BUFFER_BIT);
        glBegin(c.mode);
        glColor4f(0, 1, 0, 1);
        for (size_t i = 0; i < c.xy.size(); i += 2)
            glVertex3f(c.xy[i], c.xy[i + 1], 0);
        glEnd();
        for (auto [x, y] : {std::pair{4, 4}, {60, 4}, {4, 60}, {60, 60}, {32, 20}, {20, 32}})
            ExpectNear(PixelAt(x, y), {0, 255, 0}, "every part of the view");
    }
}

// A list of vertices alone replays in the colour current at the call.
TEST_F(Layer, ListReplaysWithTheCurrentColour) {
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    DrawViewQuad();
    glEndList();
    EXPECT_EQ(PixelAt(32, 32), (std::vector<int>{0, 0, 0})) << "recording draws nothing";
    glColor4f(0, 0, 1, 1);
    glCallList(list);
    ExpectNear(PixelAt(32, 32), {0, 0, 255}, "the list in blue");
}

} // namespace
