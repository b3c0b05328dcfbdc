// Texture bank: the six embedded images become mipmapped textures once, at
// start-up. The images are used in place; gluBuild2DMipmaps builds every
// level down to 1 x 1, so the textures are complete under the initial
// minification filter (GL_NEAREST_MIPMAP_LINEAR), which is never changed.
#include "display/textures.h"

#include "assets/assets.h"

#include <GL/glu.h>

GLuint fontTexture;
GLuint ringTexture;
GLuint panelTexture;
GLuint titleTexture1;
GLuint titleTexture2;
GLuint pictureTexture;

namespace {

struct TextureImage {
    GLuint *name;
    size_t offset;
    GLint width;
    GLint height;
    GLenum format; // internal format and pixel format alike
    GLint magFilter;
};

// In the order the images lie in the block. The font is magnified with
// GL_NEAREST so its glyphs keep hard texel edges; the pictures stay smooth.
const TextureImage TEXTURE_IMAGES[] = {
    {&fontTexture, FONT_IMAGE_OFFSET, 512, 16, GL_ALPHA, GL_NEAREST},
    {&ringTexture, RING_IMAGE_OFFSET, 128, 128, GL_RGB, GL_LINEAR},
    {&panelTexture, PANEL_IMAGE_OFFSET, 256, 256, GL_LUMINANCE, GL_LINEAR},
    {&titleTexture1, TITLE1_IMAGE_OFFSET, 512, 64, GL_LUMINANCE, GL_LINEAR},
    {&titleTexture2, TITLE2_IMAGE_OFFSET, 512, 64, GL_LUMINANCE, GL_LINEAR},
    {&pictureTexture, PICTURE_IMAGE_OFFSET, 256, 512, GL_RGB, GL_LINEAR},
};

} // namespace

void CreateTextures() {
    // Rows are packed without padding (an RGB row of the ring is 384 bytes).
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const TextureImage &image : TEXTURE_IMAGES) {
        glGenTextures(1, image.name);
        glBindTexture(GL_TEXTURE_2D, *image.name);
        // A failed upload leaves the texture empty; the demo goes on without it.
        gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(image.format), image.width,
                          image.height, image.format, GL_UNSIGNED_BYTE,
                          textureImages + image.offset);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, image.magFilter);
    }
}
