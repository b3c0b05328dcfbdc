// The two GLU calls the demo makes, served by the fixed-function layer.
#pragma once

#include <GL/gl.h>

extern "C" {
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void *data);
}
