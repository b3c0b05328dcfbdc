// The texture bank on a headless Mesa context: six complete mipmapped
// textures of the right sizes and formats, made from the embedded block.
#include "assets/assets.h"
#include "display/display.h"
#include "display/textures.h"
#include "tests/images/image_views.h"
#include "tests/support/headless.h"
#include "tools/images/images.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

struct Expected {
    const GLuint *name;
    int index; // in IMAGE_INFO
    GLint format;
    GLint magFilter;
};

const Expected EXPECTED[IMAGE_COUNT] = {
    {&fontTexture, 0, GL_ALPHA, GL_NEAREST},      {&ringTexture, 1, GL_RGB, GL_LINEAR},
    {&panelTexture, 2, GL_LUMINANCE, GL_LINEAR},  {&titleTexture1, 3, GL_LUMINANCE, GL_LINEAR},
    {&titleTexture2, 4, GL_LUMINANCE, GL_LINEAR}, {&pictureTexture, 5, GL_RGB, GL_LINEAR},
};

GLint LevelParameter(int level, GLenum parameter) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, parameter, &value);
    return value;
}

GLint Integer(GLenum parameter) {
    GLint value = -1;
    glGetIntegerv(parameter, &value);
    return value;
}

class TextureBank : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        available = StartHeadlessDisplay(64, 64);
        if (available) {
            // Something else in the start-up could leave another alignment.
            glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
            CreateTextures();
            boundAfter = Integer(GL_TEXTURE_BINDING_2D);
            alignmentAfter = Integer(GL_UNPACK_ALIGNMENT);
        }
    }
    void SetUp() override {
        if (!available) {
            GTEST_SKIP() << "no headless GL context";
        }
    }
    static inline bool available = false;
    static inline GLint boundAfter = -1;
    static inline GLint alignmentAfter = -1;
};

TEST_F(TextureBank, LeavesThePictureBoundAndAlignmentOne) {
    EXPECT_EQ(boundAfter, static_cast<GLint>(pictureTexture));
    EXPECT_EQ(alignmentAfter, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureBank, SixDistinctTextureObjects) {
    GLuint names[IMAGE_COUNT];
    for (int i = 0; i < IMAGE_COUNT; ++i) {
        names[i] = *EXPECTED[i].name;
        EXPECT_TRUE(glIsTexture(names[i])) << IMAGE_INFO[i].name;
    }
    std::sort(names, names + IMAGE_COUNT);
    EXPECT_EQ(std::unique(names, names + IMAGE_COUNT), names + IMAGE_COUNT);
}

TEST_F(TextureBank, FullMipmapChainsOfTheRightSizeAndFormat) {
    for (const Expected &e : EXPECTED) {
        const ImageInfo &info = IMAGE_INFO[e.index];
        SCOPED_TRACE(info.name);
        glBindTexture(GL_TEXTURE_2D, *e.name);
        EXPECT_EQ(LevelParameter(0, GL_TEXTURE_WIDTH), info.width);
        EXPECT_EQ(LevelParameter(0, GL_TEXTURE_HEIGHT), info.height);
        EXPECT_EQ(LevelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), e.format);
        int last = 0;
        while ((1 << (last + 1)) <= std::max(info.width, info.height)) {
            ++last;
        }
        EXPECT_EQ(LevelParameter(last, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(LevelParameter(last, GL_TEXTURE_HEIGHT), 1);
        EXPECT_EQ(LevelParameter(last, GL_TEXTURE_INTERNAL_FORMAT), e.format);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
        EXPECT_EQ(value, e.magFilter);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, GL_NEAREST_MIPMAP_LINEAR) << "left at its initial value";
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
        EXPECT_EQ(value, GL_REPEAT) << "the effects set the wrap modes";
    }
}

TEST_F(TextureBank, LevelZeroHoldsTheEmbeddedImage) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (const Expected &e : EXPECTED) {
        const ImageInfo &info = IMAGE_INFO[e.index];
        glBindTexture(GL_TEXTURE_2D, *e.name);
        std::vector<uint8_t> level(info.Size());
        glGetTexImage(GL_TEXTURE_2D, 0, static_cast<GLenum>(e.format), GL_UNSIGNED_BYTE,
                      level.data());
        EXPECT_TRUE(level == ImageBytes(e.index)) << info.name;
    }
    glBindTexture(GL_TEXTURE_2D, pictureTexture);
}

TEST(EmbeddedBlock, IsThePaintedImagesBetweenLibraryAndModule) {
    EXPECT_EQ(std::memcmp(textureImages, Block().data(), TEXTURE_BLOCK_SIZE), 0);
    EXPECT_EQ(static_cast<size_t>(musicModule - textureImages), TEXTURE_BLOCK_SIZE);
    EXPECT_GT(SoundLibraryImageSize(), 0u);
}

// Drawn small, a texture is sampled from its mipmaps: the ring pattern
// shrunk to a few pixels shows its averaged pastel, not white (which an
// incomplete texture would give) and not black.
TEST_F(TextureBank, MinifiedTextureSamplesItsMipmaps) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, ringTexture);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0), glVertex2f(-0.25f, -0.25f);
    glTexCoord2f(1, 0), glVertex2f(0.25f, -0.25f);
    glTexCoord2f(1, 1), glVertex2f(0.25f, 0.25f);
    glTexCoord2f(0, 1), glVertex2f(-0.25f, 0.25f);
    glEnd();
    uint8_t centre[4] = {};
    glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, centre);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, pictureTexture);
    for (int c = 0; c < 3; ++c) {
        EXPECT_GT(centre[c], 100) << c;
        EXPECT_LT(centre[c], 245) << c;
    }
}

} // namespace
