// The calls on the frame buffer and the context that ES 2.0 has as they are,
// and glReadPixels, whose GL_RGB read-back WebGL 1 does not offer: the layer
// reads RGBA and packs the rows itself, at the pack alignment asked for.
#include <vector>

#include "webgl/es2.h"
#include "webgl/textures.h"

extern "C" {

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    es2.Viewport(x, y, width, height);
}

void glClear(GLbitfield mask) {
    es2.Clear(mask);
}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    es2.ClearColor(r, g, b, a);
}

void glGetIntegerv(GLenum name, GLint *values) {
    es2.GetIntegerv(name, values);
}

void glFlush() {
    es2.Flush();
}

void glFinish() {
    es2.Finish();
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid *pixels) {
    int components = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 0;
    if (components == 0 || type != GL_UNSIGNED_BYTE || width <= 0 || height <= 0)
        return;
    static std::vector<uint8_t> rgba;
    rgba.resize(static_cast<size_t>(width) * height * 4);
    es2.PixelStorei(GL_PACK_ALIGNMENT, 4);
    es2.ReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    size_t row = static_cast<size_t>(width) * components;
    size_t alignment = static_cast<size_t>(PackAlignment());
    size_t stride = (row + alignment - 1) / alignment * alignment;
    auto *out = static_cast<uint8_t *>(pixels);
    const uint8_t *in = rgba.data();
    for (GLsizei r = 0; r < height; r++)
        for (GLsizei c = 0; c < width; c++, in += 4)
            for (int k = 0; k < components; k++)
                out[r * stride + c * components + k] = in[k];
}

} // extern "C"
