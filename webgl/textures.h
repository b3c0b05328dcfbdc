// Texture objects as OpenGL 1.1 has them, for the mipmap builder.
#pragma once

#include <GL/gl.h>

// The alignment glPixelStorei last set for unpacking (initially 4).
GLint UnpackAlignment();
// The bound texture now holds an image of this format and level-0 size.
void NoteBoundImage(GLenum format, int width, int height);
// The alignment glPixelStorei last set for packing (initially 4).
GLint PackAlignment();
