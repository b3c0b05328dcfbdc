// Texture objects: names, binding, wrap modes and filters, pixel storage.
// ES 2.0 has no GL_CLAMP: it gets GL_CLAMP_TO_EDGE, and the fragment shader
// blends toward the (black, transparent) border where OpenGL's GL_CLAMP does,
// within half a texel of the edge under GL_LINEAR magnification. Parameters
// are kept per texture, so that setting a wrap mode again, as the effects do
// for every glyph, costs no ES call.
#include <unordered_map>

#include "webgl/es2.h"
#include "webgl/fixed_state.h"
#include "webgl/textures.h"

TextureState boundTexture{};
uint32_t textureVersion = 1;

namespace {

struct TextureObject {
    bool hasImage = false;
    GLenum format = GL_RGBA;
    int width = 0;
    int height = 0;
    GLint wrapS = GL_REPEAT;
    GLint wrapT = GL_REPEAT;
    GLint magFilter = GL_LINEAR;
    GLint minFilter = GL_NEAREST_MIPMAP_LINEAR;
};

std::unordered_map<GLuint, TextureObject> textures;
GLuint bound = 0;
GLint unpackAlignment = 4;
GLint packAlignment = 4;

// Only GL_CLAMP reaches the border, and only the linear filter mixes it in.
float BorderAxis(const TextureObject &t, GLint wrap) {
    return wrap == GL_CLAMP && t.magFilter == GL_LINEAR ? 1.0f : 0.0f;
}

void Describe(const TextureObject *t) {
    boundTexture.complete = t != nullptr && t->hasImage;
    if (boundTexture.complete) {
        boundTexture.alphaOnly = t->format == GL_ALPHA;
        boundTexture.width = static_cast<float>(t->width);
        boundTexture.height = static_cast<float>(t->height);
        boundTexture.borderAxes[0] = BorderAxis(*t, t->wrapS);
        boundTexture.borderAxes[1] = BorderAxis(*t, t->wrapT);
    }
    textureVersion++;
}

TextureObject *Bound() {
    auto found = textures.find(bound);
    return found == textures.end() ? nullptr : &found->second;
}

GLint *Parameter(TextureObject &t, GLenum name) {
    switch (name) {
    case GL_TEXTURE_WRAP_S:
        return &t.wrapS;
    case GL_TEXTURE_WRAP_T:
        return &t.wrapT;
    case GL_TEXTURE_MAG_FILTER:
        return &t.magFilter;
    case GL_TEXTURE_MIN_FILTER:
        return &t.minFilter;
    default:
        return nullptr;
    }
}

} // namespace

GLint UnpackAlignment() {
    return unpackAlignment;
}

GLint PackAlignment() {
    return packAlignment;
}

void NoteBoundImage(GLenum format, int width, int height) {
    TextureObject *t = Bound();
    if (t == nullptr)
        return;
    t->hasImage = true;
    t->format = format;
    t->width = width;
    t->height = height;
    Describe(t);
}

extern "C" {

void glGenTextures(GLsizei count, GLuint *names) {
    es2.GenTextures(count, names);
    for (GLsizei i = 0; i < count; i++)
        textures[names[i]] = TextureObject{};
}

void glBindTexture(GLenum target, GLuint name) {
    if (target != GL_TEXTURE_2D)
        return;
    if (name != 0 && textures.find(name) == textures.end())
        textures[name] = TextureObject{}; // OpenGL makes a texture of an unused name
    if (name == bound)
        return;
    bound = name;
    es2.BindTexture(GL_TEXTURE_2D, name);
    Describe(Bound());
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    TextureObject *t = Bound();
    GLint *kept = t == nullptr ? nullptr : Parameter(*t, name);
    if (target != GL_TEXTURE_2D || kept == nullptr || *kept == value)
        return;
    *kept = value;
    es2.TexParameteri(GL_TEXTURE_2D, name, value == GL_CLAMP ? GL_CLAMP_TO_EDGE : value);
    Describe(t);
}

void glPixelStorei(GLenum name, GLint value) {
    if (name == GL_UNPACK_ALIGNMENT) {
        unpackAlignment = value;
        es2.PixelStorei(name, value);
    } else if (name == GL_PACK_ALIGNMENT) {
        packAlignment = value; // glReadPixels packs the rows itself
    }
}

} // extern "C"
