// The recording layer: the link wraps the GL entry points and the timeline,
// music and random calls that the effects make (ld --wrap), so every call is
// logged in order while recording and then passed on unchanged.
#include <GL/gl.h>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "gl_harness.h"

namespace {

bool recording = false;
std::vector<RecordedCall> calls;

template <typename... T> void Record(const char *name, T... args) {
    if (!recording)
        return;
    calls.push_back({name, {static_cast<double>(args)...}});
}

} // namespace

void StartRecording() {
    calls.clear();
    recording = true;
}

std::vector<RecordedCall> StopRecording() {
    recording = false;
    return std::move(calls);
}

namespace {

// How Trace shows each argument of a call: e an enumerant, t a texture, l a
// display list, - not at all; further arguments are numbers.
const std::map<std::string, std::string> ARGUMENT_KINDS = {
    {"Enable", "e"},       {"Disable", "e"},         {"Begin", "e"},       {"BlendFunc", "ee"},
    {"BindTexture", "-t"}, {"TexParameteri", "-ee"}, {"Materialfv", "ee"}, {"CallList", "l"}};

std::string Argument(char kind, double value) {
    static const std::map<GLuint, std::string> ENUMS = {
        {GL_TEXTURE_2D, "TEXTURE_2D"}, {GL_FOG, "FOG"},
        {GL_LIGHTING, "LIGHTING"},     {GL_LIGHT0, "LIGHT0"},
        {GL_QUADS, "QUADS"},           {GL_QUAD_STRIP, "QUAD_STRIP"},
        {GL_SRC_ALPHA, "SRC_ALPHA"},   {GL_ONE, "ONE"},
        {GL_TEXTURE_WRAP_S, "WRAP_S"}, {GL_TEXTURE_WRAP_T, "WRAP_T"},
        {GL_CLAMP, "CLAMP"},           {GL_REPEAT, "REPEAT"},
        {GL_FRONT, "FRONT"},           {GL_SHININESS, "SHININESS"},
        {GL_EMISSION, "EMISSION"}};
    std::map<GLuint, std::string> names =
        kind == 'e' ? ENUMS
        : kind == 't'
            ? std::map<GLuint, std::string>{{fontTexture, "font"},     {ringTexture, "ring"},
                                            {panelTexture, "panel"},   {titleTexture1, "title1"},
                                            {titleTexture2, "title2"}, {pictureTexture, "picture"}}
            : std::map<GLuint, std::string>{{shapeList, "shape"}};
    if (kind != 'n' && names.count(GLuint(value)) != 0)
        return names[GLuint(value)];
    char text[32];
    std::snprintf(text, sizeof text, value == std::floor(value) ? "%.0f" : "%g", value);
    return text;
}

} // namespace

std::string Trace(const std::vector<RecordedCall> &list, const std::string &only) {
    std::string text;
    for (const RecordedCall &call : list) {
        std::string name = call.name.substr(call.name.rfind("gl", 0) == 0 ? 2 : 0);
        if (!only.empty() && (" " + only + " ").find(" " + name + " ") == std::string::npos)
            continue;
        text += (text.empty() ? "" : " ") + name;
        auto kinds = ARGUMENT_KINDS.find(name);
        std::string shown;
        for (size_t i = 0; i < call.args.size(); i++) {
            char kind =
                kinds != ARGUMENT_KINDS.end() && i < kinds->second.size() ? kinds->second[i] : 'n';
            if (kind != '-')
                shown += (shown.empty() ? "" : ",") + Argument(kind, call.args[i]);
        }
        if (!shown.empty())
            text += "(" + shown + ")";
    }
    return text;
}

int CountCalls(const std::vector<RecordedCall> &list, const std::string &name) {
    int count = 0;
    for (const RecordedCall &call : list)
        count += call.name == name;
    return count;
}

size_t FindCall(const std::vector<RecordedCall> &list, const std::string &name, size_t from) {
    while (from < list.size() && list[from].name != name)
        from++;
    return from;
}

// An entry point logged under `label` with its arguments, then passed on.
#define WRAP_AS(symbol, label, params, ...)                                                        \
    void __real_##symbol params;                                                                   \
    void __wrap_##symbol params {                                                                  \
        Record(label __VA_OPT__(, ) __VA_ARGS__);                                                  \
        __real_##symbol(__VA_ARGS__);                                                              \
    }
#define WRAP(name, params, ...) WRAP_AS(name, #name, params __VA_OPT__(, ) __VA_ARGS__)

extern "C" {
WRAP(glEnable, (GLenum a), a)
WRAP(glDisable, (GLenum a), a)
WRAP(glBindTexture, (GLenum a, GLuint b), a, b)
WRAP(glTexParameteri, (GLenum a, GLenum b, GLint c), a, b, c)
WRAP(glPushMatrix, ())
WRAP(glPopMatrix, ())
WRAP(glRotatef, (GLfloat a, GLfloat b, GLfloat c, GLfloat d), a, b, c, d)
WRAP(glTranslatef, (GLfloat a, GLfloat b, GLfloat c), a, b, c)
WRAP(glScalef, (GLfloat a, GLfloat b, GLfloat c), a, b, c)
WRAP(glBegin, (GLenum a), a)
WRAP(glEnd, ())
WRAP(glTexCoord2f, (GLfloat a, GLfloat b), a, b)
WRAP(glVertex3f, (GLfloat a, GLfloat b, GLfloat c), a, b, c)
WRAP(glNormal3f, (GLfloat a, GLfloat b, GLfloat c), a, b, c)
WRAP(glColor4f, (GLfloat a, GLfloat b, GLfloat c, GLfloat d), a, b, c, d)
WRAP(glBlendFunc, (GLenum a, GLenum b), a, b)
WRAP(glCallList, (GLuint a), a)
// The timeline's steps, by their mangled names.
WRAP_AS(_Z9TitleStepv, "TitleStep", ())
WRAP_AS(_Z8WipeStepv, "WipeStep", ())
WRAP_AS(_Z9PulseStepf, "PulseStep", (float a), a)

void __real_glVertex3fv(const GLfloat *);
void __wrap_glVertex3fv(const GLfloat *v) {
    Record("glVertex3fv", v[0], v[1], v[2]);
    __real_glVertex3fv(v);
}
void __real_glMaterialfv(GLenum, GLenum, const GLfloat *);
void __wrap_glMaterialfv(GLenum face, GLenum pname, const GLfloat *v) {
    if (pname == GL_SHININESS)
        Record("glMaterialfv", face, pname, v[0]);
    else
        Record("glMaterialfv", face, pname, v[0], v[1], v[2], v[3]);
    __real_glMaterialfv(face, pname, v);
}
int32_t __real__Z6Randomi(int32_t);
int32_t __wrap__Z6Randomi(int32_t n) {
    int32_t value = __real__Z6Randomi(n);
    Record("Random", n, value);
    return value;
}
// The player is never started by these tests: its calls are only logged.
int32_t __wrap__Z9MusicPlayi(int32_t slot) {
    Record("MusicPlay", slot);
    return 0;
}
int32_t __wrap__Z15MusicRemoveSyncij(int32_t slot, uint32_t sync) {
    Record("MusicRemoveSync", slot, sync);
    return 1;
}
uint32_t __wrap__Z12MusicSetSyncijjPFvjjjEj(int32_t slot, uint32_t type, uint32_t param,
                                            void (*proc)(uint32_t, uint32_t, uint32_t),
                                            uint32_t user) {
    Record("MusicSetSync", slot, type, param, user, proc == OnMusicSync);
    return 1;
}
}
