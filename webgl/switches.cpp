// glEnable and glDisable: texturing, fog, lighting and light 0 are the
// layer's own switches (ES 2.0 has none of them); everything else, blending
// first, is ES 2.0's.
#include "webgl/es2.h"
#include "webgl/fixed_state.h"

bool texturingOn = false;
bool fogOn = false;
bool lightingOn = false;

namespace {

bool *OwnSwitch(GLenum capability) {
    switch (capability) {
    case GL_TEXTURE_2D:
        return &texturingOn;
    case GL_FOG:
        return &fogOn;
    case GL_LIGHTING:
        return &lightingOn;
    case GL_LIGHT0:
        return &light0.on;
    default:
        return nullptr;
    }
}

void Switch(GLenum capability, bool on) {
    bool *own = OwnSwitch(capability);
    if (own == nullptr) {
        (on ? es2.Enable : es2.Disable)(capability);
        return;
    }
    *own = on;
    if (capability == GL_LIGHT0)
        lightingVersion++;
}

} // namespace

extern "C" {

void glEnable(GLenum capability) {
    Switch(capability, true);
}

void glDisable(GLenum capability) {
    Switch(capability, false);
}

void glBlendFunc(GLenum source, GLenum destination) {
    es2.BlendFunc(source, destination);
}

} // extern "C"
