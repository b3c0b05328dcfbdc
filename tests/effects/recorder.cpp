// The recording layer: the link wraps the GL entry points and the timeline,
// music and random calls that the effects make (ld --wrap), so every call is
// logged in order while recording and then passed on unchanged.
#include <GL/gl.h>
#include <cstdint>

#include "gl_harness.h"

namespace {

bool recording = false;
std::vector<RecordedCall> calls;
int musicPlayCalls = 0;
void (*pulseStepHook)() = nullptr;

void Record(const char *name, std::initializer_list<double> args) {
    if (recording)
        calls.push_back({name, args, {}});
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

std::vector<std::string> CallNames(const std::vector<RecordedCall> &list) {
    std::vector<std::string> names;
    for (const RecordedCall &call : list)
        names.push_back(call.name);
    return names;
}

int CountCalls(const std::vector<RecordedCall> &list, const std::string &name) {
    int count = 0;
    for (const RecordedCall &call : list)
        count += call.name == name;
    return count;
}

int MusicPlayCalls() {
    return musicPlayCalls;
}

void SetPulseStepHook(void (*hook)()) {
    pulseStepHook = hook;
}

#define REAL(name) __real_##name
#define WRAP(name) __wrap_##name

extern "C" {

// GL entry points the effects use.
void REAL(glEnable)(GLenum);
void REAL(glDisable)(GLenum);
void REAL(glBindTexture)(GLenum, GLuint);
void REAL(glTexParameteri)(GLenum, GLenum, GLint);
void REAL(glPushMatrix)();
void REAL(glPopMatrix)();
void REAL(glRotatef)(GLfloat, GLfloat, GLfloat, GLfloat);
void REAL(glTranslatef)(GLfloat, GLfloat, GLfloat);
void REAL(glScalef)(GLfloat, GLfloat, GLfloat);
void REAL(glBegin)(GLenum);
void REAL(glEnd)();
void REAL(glTexCoord2f)(GLfloat, GLfloat);
void REAL(glVertex3f)(GLfloat, GLfloat, GLfloat);
void REAL(glVertex3fv)(const GLfloat *);
void REAL(glNormal3f)(GLfloat, GLfloat, GLfloat);
void REAL(glColor4f)(GLfloat, GLfloat, GLfloat, GLfloat);
void REAL(glBlendFunc)(GLenum, GLenum);
void REAL(glMaterialfv)(GLenum, GLenum, const GLfloat *);
void REAL(glCallList)(GLuint);
GLuint REAL(glGenLists)(GLsizei);
void REAL(glNewList)(GLuint, GLenum);
void REAL(glEndList)();

void WRAP(glEnable)(GLenum cap) {
    Record("glEnable", {double(cap)});
    REAL(glEnable)(cap);
}
void WRAP(glDisable)(GLenum cap) {
    Record("glDisable", {double(cap)});
    REAL(glDisable)(cap);
}
void WRAP(glBindTexture)(GLenum target, GLuint name) {
    Record("glBindTexture", {double(target), double(name)});
    REAL(glBindTexture)(target, name);
}
void WRAP(glTexParameteri)(GLenum target, GLenum pname, GLint value) {
    Record("glTexParameteri", {double(target), double(pname), double(value)});
    REAL(glTexParameteri)(target, pname, value);
}
void WRAP(glPushMatrix)() {
    Record("glPushMatrix", {});
    REAL(glPushMatrix)();
}
void WRAP(glPopMatrix)() {
    Record("glPopMatrix", {});
    REAL(glPopMatrix)();
}
void WRAP(glRotatef)(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
    Record("glRotatef", {a, x, y, z});
    REAL(glRotatef)(a, x, y, z);
}
void WRAP(glTranslatef)(GLfloat x, GLfloat y, GLfloat z) {
    Record("glTranslatef", {x, y, z});
    REAL(glTranslatef)(x, y, z);
}
void WRAP(glScalef)(GLfloat x, GLfloat y, GLfloat z) {
    Record("glScalef", {x, y, z});
    REAL(glScalef)(x, y, z);
}
void WRAP(glBegin)(GLenum mode) {
    if (recording) {
        calls.push_back({"glBegin", {double(mode)}, {}});
        glGetFloatv(GL_MODELVIEW_MATRIX, calls.back().modelView.data());
    }
    REAL(glBegin)(mode);
}
void WRAP(glEnd)() {
    Record("glEnd", {});
    REAL(glEnd)();
}
void WRAP(glTexCoord2f)(GLfloat s, GLfloat t) {
    Record("glTexCoord2f", {s, t});
    REAL(glTexCoord2f)(s, t);
}
void WRAP(glVertex3f)(GLfloat x, GLfloat y, GLfloat z) {
    Record("glVertex3f", {x, y, z});
    REAL(glVertex3f)(x, y, z);
}
void WRAP(glVertex3fv)(const GLfloat *v) {
    Record("glVertex3fv", {v[0], v[1], v[2]});
    REAL(glVertex3fv)(v);
}
void WRAP(glNormal3f)(GLfloat x, GLfloat y, GLfloat z) {
    Record("glNormal3f", {x, y, z});
    REAL(glNormal3f)(x, y, z);
}
void WRAP(glColor4f)(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
    Record("glColor4f", {r, g, b, a});
    REAL(glColor4f)(r, g, b, a);
}
void WRAP(glBlendFunc)(GLenum source, GLenum destination) {
    Record("glBlendFunc", {double(source), double(destination)});
    REAL(glBlendFunc)(source, destination);
}
void WRAP(glMaterialfv)(GLenum face, GLenum pname, const GLfloat *v) {
    if (pname == GL_SHININESS)
        Record("glMaterialfv", {double(face), double(pname), v[0]});
    else
        Record("glMaterialfv", {double(face), double(pname), v[0], v[1], v[2], v[3]});
    REAL(glMaterialfv)(face, pname, v);
}
void WRAP(glCallList)(GLuint list) {
    if (recording) {
        calls.push_back({"glCallList", {double(list)}, {}});
        glGetFloatv(GL_MODELVIEW_MATRIX, calls.back().modelView.data());
    }
    REAL(glCallList)(list);
}
GLuint WRAP(glGenLists)(GLsizei range) {
    Record("glGenLists", {double(range)});
    return REAL(glGenLists)(range);
}
void WRAP(glNewList)(GLuint list, GLenum mode) {
    Record("glNewList", {double(list), double(mode)});
    REAL(glNewList)(list, mode);
}
void WRAP(glEndList)() {
    Record("glEndList", {});
    REAL(glEndList)();
}

// Timeline steps (TitleStep, WipeStep, PulseStep), Random and MusicPlay, by
// their mangled names.
int32_t __real__Z6Randomi(int32_t);
void __real__Z9TitleStepv();
void __real__Z8WipeStepv();
void __real__Z9PulseStepf(float);

void __wrap__Z9TitleStepv() {
    Record("TitleStep", {});
    __real__Z9TitleStepv();
}
void __wrap__Z8WipeStepv() {
    Record("WipeStep", {});
    __real__Z8WipeStepv();
}
void __wrap__Z9PulseStepf(float drawn) {
    Record("PulseStep", {drawn});
    if (pulseStepHook != nullptr)
        pulseStepHook();
    __real__Z9PulseStepf(drawn);
}
int32_t __wrap__Z6Randomi(int32_t n) {
    int32_t value = __real__Z6Randomi(n);
    Record("Random", {double(n), double(value)});
    return value;
}
// The player is never started by these tests: the call is only counted.
int32_t __wrap__Z9MusicPlayi(int32_t slot) {
    musicPlayCalls++;
    Record("MusicPlay", {double(slot)});
    return 0;
}
}
