// The recording layer: the link wraps (ld --wrap) the GL entry points and the
// timeline steps that the effects call, by their C names, and the stand-in
// player of the sound tests, loaded into the sound slot, reports the calls that
// reach it through the binding. Every call is logged in order while recording;
// the wrapped ones are then passed on unchanged.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>

#include "display/textures.h"
#include "driver/timeline.h"
#include "effects/effects.h"
#include "gl_harness.h"
#include "music/music.h"
#include "runtime/runtime.h"

namespace {

bool recording = false;
std::vector<RecordedCall> calls;

template <typename... T> void Record(const char *name, T... args) {
    if (recording)
        calls.push_back({name, {static_cast<double>(args)...}});
}

} // namespace

// Each WRAP below adds its own name; here are the two wrappers written out and
// the player's calls that the effects and the timeline make.
std::set<std::string> &RecordedEntryPoints() {
    static std::set<std::string> names = {"glVertex3fv", "glMaterialfv", "BASSMOD_MusicPlay",
                                          "BASSMOD_MusicRemoveSync", "BASSMOD_MusicSetSync"};
    return names;
}

void StartRecording() {
    OpenLibrarySlot(SOUND_SLOT, STAND_IN_PLAYER);
    calls.clear();
    recording = true;
}

std::vector<RecordedCall> StopRecording() {
    recording = false;
    return std::move(calls);
}

namespace {

// How Trace shows each argument of a call: e an enumerant, t a texture, l a
// display list, - not at all; further arguments are numbers (the address of
// the sync procedure by name).
const std::map<std::string, std::string> ARGUMENT_KINDS = {
    {"Enable", "e"},       {"Disable", "e"},         {"Begin", "e"},       {"BlendFunc", "ee"},
    {"BindTexture", "-t"}, {"TexParameteri", "-ee"}, {"Materialfv", "ee"}, {"CallList", "l"}};

std::string Argument(char kind, double value) {
    static const std::map<double, std::string> ENUMS = {
        {GL_TEXTURE_2D, "TEXTURE_2D"}, {GL_FOG, "FOG"},
        {GL_LIGHTING, "LIGHTING"},     {GL_LIGHT0, "LIGHT0"},
        {GL_QUADS, "QUADS"},           {GL_QUAD_STRIP, "QUAD_STRIP"},
        {GL_SRC_ALPHA, "SRC_ALPHA"},   {GL_ONE, "ONE"},
        {GL_TEXTURE_WRAP_S, "WRAP_S"}, {GL_TEXTURE_WRAP_T, "WRAP_T"},
        {GL_CLAMP, "CLAMP"},           {GL_REPEAT, "REPEAT"},
        {GL_FRONT, "FRONT"},           {GL_SHININESS, "SHININESS"},
        {GL_EMISSION, "EMISSION"}};
    using Names = std::map<double, std::string>;
    Names names = kind == 'e'   ? ENUMS
                  : kind == 't' ? Names{{fontTexture, "font"},     {ringTexture, "ring"},
                                        {panelTexture, "panel"},   {titleTexture1, "title1"},
                                        {titleTexture2, "title2"}, {pictureTexture, "picture"}}
                  : kind == 'l' ? Names{{shapeList, "shape"}}
                                : Names{{reinterpret_cast<uintptr_t>(&OnMusicSync), "OnMusicSync"}};
    if (names.count(value) != 0)
        return names[value];
    char text[32];
    std::snprintf(text, sizeof text, value == std::floor(value) ? "%.0f" : "%g", value);
    return text;
}

} // namespace

std::string Trace(const std::vector<RecordedCall> &list, const std::string &only) {
    std::string text;
    for (const RecordedCall &call : list) {
        // Without the "gl" of GL names and the "BASSMOD_" of the player's.
        std::string name =
            call.name.substr(call.name.rfind("gl", 0) == 0 ? 2 : call.name.find('_') + 1);
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
    return int(std::count_if(
        list.begin(), list.end(), [&](auto &call) { return call.name == name; }));
}

size_t FindCall(const std::vector<RecordedCall> &list, const std::string &name, size_t from) {
    while (from < list.size() && list[from].name != name)
        from++;
    return from;
}

// A wrapped entry point, of the type its header declares (a wrapper that no
// longer matches does not compile): logged with its arguments, then passed on.
#define WRAP(name, params, ...)                                                                    \
    decltype(name) __real_##name, __wrap_##name;                                                   \
    void __wrap_##name params {                                                                    \
        Record(#name __VA_OPT__(, ) __VA_ARGS__);                                                  \
        __real_##name(__VA_ARGS__);                                                                \
    }                                                                                              \
    const bool name##Heard = RecordedEntryPoints().insert(#name).second;

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
WRAP(TitleStep, ())
WRAP(WipeStep, ())
WRAP(PulseStep, (float a), a)

decltype(glVertex3fv) __real_glVertex3fv, __wrap_glVertex3fv;
void __wrap_glVertex3fv(const GLfloat *v) {
    Record("glVertex3fv", v[0], v[1], v[2]);
    __real_glVertex3fv(v);
}
decltype(glMaterialfv) __real_glMaterialfv, __wrap_glMaterialfv;
void __wrap_glMaterialfv(GLenum face, GLenum pname, const GLfloat *v) {
    if (pname == GL_SHININESS)
        Record("glMaterialfv", face, pname, v[0]);
    else
        Record("glMaterialfv", face, pname, v[0], v[1], v[2], v[3]);
    __real_glMaterialfv(face, pname, v);
}

// The stand-in player's report of a call that reached it by name through the
// binding, "BASSMOD_Name(arguments)"; every call succeeds.
int64_t FakePlayerCall(const char *call) {
    std::string text = call;
    std::vector<double> args;
    for (char *at = text.data() + text.find('('); *at != ')' && at[1] != ')';)
        args.push_back(std::strtod(at + 1, &at));
    if (recording)
        calls.push_back({text.substr(0, text.find('(')), args});
    return 1;
}
}
