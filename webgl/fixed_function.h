// The fixed-function layer: the OpenGL 1.1 and GLU calls of <GL/gl.h> and
// <GL/glu.h> in this folder, drawn with OpenGL ES 2.0 (WebGL 1).
//
// The platform starts it once, with the ES 2.0 context current, passing the
// function that finds ES 2.0 entry points by name (eglGetProcAddress or
// SDL_GL_GetProcAddress natively, emscripten_webgl1_get_proc_address on the
// web). Every call before the start does nothing useful.
#pragma once

#include <string>

#include "webgl/es2.h"

// Loads the entry points and builds the shader programs. False, with the
// reason in error, when an entry point is missing or a shader does not build.
bool StartFixedFunction(ProcAddressFunction procAddress, std::string &error);
