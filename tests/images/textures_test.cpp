// The texture bank on a headless Mesa context: six complete mipmapped
// textures of the right sizes and formats, made from the embedded block.
#include "display/display.h"
#include "display/textures.h"
#include "tests/images/image_views.h"
#include "tests/support/headless.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

namespace {

const struct {
    const GLuint *name;
    size_t offset; // in the block
    GLint width, height, format, magFilter;
} TEXTURES[] = {
    {&fontTexture, 0, 512, 16, GL_ALPHA, GL_NEAREST},
    {&ringTexture, 8192, 128, 128, GL_RGB, GL_LINEAR},
    {&panelTexture, 57344, 256, 256, GL_LUMINANCE, GL_LINEAR},
    {&titleTexture1, 122880, 512, 64, GL_LUMINANCE, GL_LINEAR},
    {&titleTexture2, 155648, 512, 64, GL_LUMINANCE, GL_LINEAR},
    {&pictureTexture, 188416, 256, 512, GL_RGB, GL_LINEAR},
};

GLint Get(GLenum what, int level = -1) {
    GLint value = -1;
    if (level < 0)
        glGetTexParameteriv(GL_TEXTURE_2D, what, &value);
    else
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &value);
    return value;
}

// Each image a full mipmap chain of its embedded bytes; the picture left
// bound and the unpack alignment at one.
TEST(TextureBank, EachImageIsAFullMipmapChainOfItsEmbeddedBytes) {
    if (!StartHeadlessDisplay(64, 64))
        GTEST_SKIP() << "no headless GL context";
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4); // as anything before could leave it
    CreateTextures();
    GLint bound = -1, alignment = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(bound, static_cast<GLint>(pictureTexture));
    EXPECT_EQ(alignment, 1);
    std::set<GLuint> names;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (const auto &t : TEXTURES) {
        SCOPED_TRACE(t.offset);
        names.insert(*t.name);
        ASSERT_TRUE(glIsTexture(*t.name));
        glBindTexture(GL_TEXTURE_2D, *t.name);
        EXPECT_EQ(Get(GL_TEXTURE_WIDTH, 0), t.width);
        EXPECT_EQ(Get(GL_TEXTURE_HEIGHT, 0), t.height);
        EXPECT_EQ(Get(GL_TEXTURE_INTERNAL_FORMAT, 0), t.format);
        int last = static_cast<int>(std::log2(std::max(t.width, t.height)));
        EXPECT_EQ(Get(GL_TEXTURE_WIDTH, last) + Get(GL_TEXTURE_HEIGHT, last), 2);
        EXPECT_EQ(Get(GL_TEXTURE_INTERNAL_FORMAT, last), t.format);
        EXPECT_EQ(Get(GL_TEXTURE_MAG_FILTER), t.magFilter);
        EXPECT_EQ(Get(GL_TEXTURE_MIN_FILTER), GL_NEAREST_MIPMAP_LINEAR);
        size_t size = size_t(t.width * t.height * (t.format == GL_RGB ? 3 : 1));
        std::vector<uint8_t> level(size);
        glGetTexImage(GL_TEXTURE_2D, 0, static_cast<GLenum>(t.format), GL_UNSIGNED_BYTE,
                      level.data());
        EXPECT_EQ(std::memcmp(level.data(), Block().data() + t.offset, size), 0);
    }
    EXPECT_EQ(names.size(), 6u);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glBindTexture(GL_TEXTURE_2D, pictureTexture); // as the bank leaves it
}

} // namespace
