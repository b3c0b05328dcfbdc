// The OpenGL ES 2.0 entry points the layer draws with, in a table filled
// once at start from the platform's proc-address function. Reaching them
// through the table, not by name, lets the layer's own glEnable, glBindTexture
// and the rest stand beside the driver's under the same names.
#pragma once

#include <GL/gl.h>

// ES 2.0 names that OpenGL 1.1 does not have.
#define GL_FLOAT 0x1406
#define GL_ARRAY_BUFFER 0x8892
#define GL_STREAM_DRAW 0x88E0
#define GL_STATIC_DRAW 0x88E4
#define GL_FRAGMENT_SHADER 0x8B30
#define GL_VERTEX_SHADER 0x8B31
#define GL_COMPILE_STATUS 0x8B81
#define GL_LINK_STATUS 0x8B82

typedef char GLchar;
typedef ptrdiff_t GLsizeiptr;
typedef ptrdiff_t GLintptr;

// X(result, name without "gl", parameter list)
#define ES2_ENTRY_POINTS(X)                                                                        \
    X(void, Enable, (GLenum))                                                                      \
    X(void, Disable, (GLenum))                                                                     \
    X(void, BlendFunc, (GLenum, GLenum))                                                           \
    X(void, Viewport, (GLint, GLint, GLsizei, GLsizei))                                            \
    X(void, Clear, (GLbitfield))                                                                   \
    X(void, ClearColor, (GLclampf, GLclampf, GLclampf, GLclampf))                                  \
    X(void, ReadPixels, (GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, GLvoid *))                \
    X(void, GetIntegerv, (GLenum, GLint *))                                                        \
    X(void, Flush, ())                                                                             \
    X(void, Finish, ())                                                                            \
    X(void, PixelStorei, (GLenum, GLint))                                                          \
    X(void, GenTextures, (GLsizei, GLuint *))                                                      \
    X(void, BindTexture, (GLenum, GLuint))                                                         \
    X(void, TexParameteri, (GLenum, GLenum, GLint))                                                \
    X(void, TexImage2D,                                                                            \
      (GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const GLvoid *))             \
    X(GLuint, CreateShader, (GLenum))                                                              \
    X(void, ShaderSource, (GLuint, GLsizei, const GLchar *const *, const GLint *))                 \
    X(void, CompileShader, (GLuint))                                                               \
    X(void, GetShaderiv, (GLuint, GLenum, GLint *))                                                \
    X(void, GetShaderInfoLog, (GLuint, GLsizei, GLsizei *, GLchar *))                              \
    X(void, DeleteShader, (GLuint))                                                                \
    X(GLuint, CreateProgram, ())                                                                   \
    X(void, AttachShader, (GLuint, GLuint))                                                        \
    X(void, BindAttribLocation, (GLuint, GLuint, const GLchar *))                                  \
    X(void, LinkProgram, (GLuint))                                                                 \
    X(void, GetProgramiv, (GLuint, GLenum, GLint *))                                               \
    X(void, GetProgramInfoLog, (GLuint, GLsizei, GLsizei *, GLchar *))                             \
    X(void, UseProgram, (GLuint))                                                                  \
    X(GLint, GetUniformLocation, (GLuint, const GLchar *))                                         \
    X(void, Uniform1f, (GLint, GLfloat))                                                           \
    X(void, Uniform2f, (GLint, GLfloat, GLfloat))                                                  \
    X(void, Uniform3fv, (GLint, GLsizei, const GLfloat *))                                         \
    X(void, Uniform4fv, (GLint, GLsizei, const GLfloat *))                                         \
    X(void, UniformMatrix3fv, (GLint, GLsizei, GLboolean, const GLfloat *))                        \
    X(void, UniformMatrix4fv, (GLint, GLsizei, GLboolean, const GLfloat *))                        \
    X(void, GenBuffers, (GLsizei, GLuint *))                                                       \
    X(void, BindBuffer, (GLenum, GLuint))                                                          \
    X(void, BufferData, (GLenum, GLsizeiptr, const GLvoid *, GLenum))                              \
    X(void, VertexAttribPointer, (GLuint, GLint, GLenum, GLboolean, GLsizei, const GLvoid *))      \
    X(void, EnableVertexAttribArray, (GLuint))                                                     \
    X(void, DisableVertexAttribArray, (GLuint))                                                    \
    X(void, VertexAttrib2fv, (GLuint, const GLfloat *))                                            \
    X(void, VertexAttrib4fv, (GLuint, const GLfloat *))                                            \
    X(void, DrawArrays, (GLenum, GLint, GLsizei))

struct Es2Functions {
#define ES2_MEMBER(result, name, parameters) result(*name) parameters;
    ES2_ENTRY_POINTS(ES2_MEMBER)
#undef ES2_MEMBER
};

extern Es2Functions es2;

using ProcAddressFunction = void *(*)(const char *name);

// Fills es2 from procAddress ("glEnable" and so on). False, naming the
// first missing entry point in missing, when one is not there.
bool LoadEs2(ProcAddressFunction procAddress, const char *&missing);
