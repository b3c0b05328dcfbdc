// gluBuild2DMipmaps: level 0 as given and every smaller level down to 1 x 1,
// each made from the one before with GLU's box filter.
#include <GL/glu.h>

#include "webgl/es2.h"
#include "webgl/fixed_state.h"
#include "webgl/mipmaps.h"
#include "webgl/textures.h"

namespace {

// GLU's error codes.
constexpr GLint GLU_INVALID_ENUM = 100900;
constexpr GLint GLU_INVALID_VALUE = 100901;

int Components(GLenum format) {
    switch (format) {
    case GL_ALPHA:
    case GL_LUMINANCE:
        return 1;
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    default:
        return 0;
    }
}

bool PowerOfTwo(GLsizei n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// The caller's rows, read with its unpack alignment, packed tightly.
std::vector<uint8_t> PackedRows(const uint8_t *data, int width, int height, int components) {
    size_t row = static_cast<size_t>(width) * components;
    size_t alignment = static_cast<size_t>(UnpackAlignment());
    size_t stride = (row + alignment - 1) / alignment * alignment;
    std::vector<uint8_t> packed(row * static_cast<size_t>(height));
    for (int y = 0; y < height; y++)
        std::copy(data + y * stride, data + y * stride + row, packed.begin() + y * row);
    return packed;
}

} // namespace

std::vector<uint8_t> HalveImage(const uint8_t *image, int width, int height, int components) {
    int halfWidth = width > 1 ? width / 2 : 1;
    int halfHeight = height > 1 ? height / 2 : 1;
    std::vector<uint8_t> half(static_cast<size_t>(halfWidth) * halfHeight * components);
    size_t row = static_cast<size_t>(width) * components;
    // Steps to the other texel of a pair across and down; 0 along a side of 1.
    size_t across = width > 1 ? components : 0;
    size_t down = height > 1 ? row : 0;
    bool block = across != 0 && down != 0;
    uint8_t *out = half.data();
    for (int y = 0; y < halfHeight; y++)
        for (int x = 0; x < halfWidth; x++)
            for (int k = 0; k < components; k++) {
                const uint8_t *t = image + (height > 1 ? 2 * y : 0) * row +
                                   (width > 1 ? 2 * x : 0) * components + k;
                if (block)
                    *out++ = static_cast<uint8_t>(
                        (t[0] + t[across] + t[down] + t[down + across] + 2) / 4);
                else
                    *out++ = static_cast<uint8_t>((t[0] + t[across + down]) / 2);
            }
    return half;
}

extern "C" GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width,
                                   GLsizei height, GLenum format, GLenum type, const void *data) {
    int components = Components(format);
    if (target != GL_TEXTURE_2D || type != GL_UNSIGNED_BYTE || components == 0 ||
        static_cast<GLenum>(internalFormat) != format)
        return GLU_INVALID_ENUM;
    // The demo's images are all powers of two; GLU would rescale others.
    if (!PowerOfTwo(width) || !PowerOfTwo(height))
        return GLU_INVALID_VALUE;
    std::vector<uint8_t> level =
        PackedRows(static_cast<const uint8_t *>(data), width, height, components);
    NoteBoundImage(format, width, height);
    es2.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (GLint n = 0;; n++) {
        es2.TexImage2D(GL_TEXTURE_2D, n, static_cast<GLint>(format), width, height, 0, format,
                       GL_UNSIGNED_BYTE, level.data());
        if (width == 1 && height == 1)
            break;
        level = HalveImage(level.data(), width, height, components);
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
    es2.PixelStorei(GL_UNPACK_ALIGNMENT, UnpackAlignment());
    return 0;
}
