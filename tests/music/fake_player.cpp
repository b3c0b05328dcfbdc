// A stand-in for the module player, built as a shared object with the same
// exported names. Every function reports its call (name and arguments) to the
// test executable's recorder, which also scripts the results; FAKE_TAG tells
// builds apart, and FAKE_PARTIAL leaves some names out.
#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "player/player_api.h"

extern "C" int64_t FakePlayerCall(const char *tag, const char *name, const char *arguments);

namespace {

int64_t Record(const char *name) {
    return FakePlayerCall(FAKE_TAG, name, "");
}

int64_t Record(const char *name, const char *format, ...) __attribute__((format(printf, 2, 3)));

int64_t Record(const char *name, const char *format, ...) {
    char arguments[160];
    va_list list;
    va_start(list, format);
    vsnprintf(arguments, sizeof arguments, format, list);
    va_end(list);
    return FakePlayerCall(FAKE_TAG, name, arguments);
}

const char *TextResult(int64_t result) {
    return result == 0 ? nullptr : "fake text";
}

// Unloading is recorded too, so that tests see it after BASSMOD_Free.
__attribute__((destructor)) void RecordUnload() {
    Record("unload");
}

} // namespace

extern "C" {

int32_t BASSMOD_Init(int32_t device, uint32_t frequency, uint32_t flags) {
    return Record("BASSMOD_Init", "%d,%u,%u", device, frequency, flags);
}
int32_t BASSMOD_Free() {
    return Record("BASSMOD_Free");
}
int32_t BASSMOD_MusicLoad(int32_t mem, const void *file, uint32_t offset, uint32_t length,
                          uint32_t flags) {
    // From memory the pointer itself is the datum; otherwise it is a path.
    if (mem == 1)
        return Record("BASSMOD_MusicLoad", "%d,%p,%u,%u,%u", mem, file, offset, length, flags);
    return Record("BASSMOD_MusicLoad", "%d,%s,%u,%u,%u", mem, static_cast<const char *>(file),
                  offset, length, flags);
}
uint32_t BASSMOD_MusicSetSync(uint32_t type, uint32_t param, SyncProcedure proc, uint32_t user) {
    return Record("BASSMOD_MusicSetSync", "%u,%u,%p,%u", type, param,
                  reinterpret_cast<void *>(proc), user);
}
int32_t BASSMOD_MusicRemoveSync(uint32_t sync) {
    return Record("BASSMOD_MusicRemoveSync", "%u", sync);
}
#ifndef FAKE_PARTIAL
int32_t BASSMOD_MusicPlay() {
    return Record("BASSMOD_MusicPlay");
}
int32_t BASSMOD_ErrorGetCode() {
    return Record("BASSMOD_ErrorGetCode");
}
#endif
int32_t BASSMOD_MusicPause() {
    return Record("BASSMOD_MusicPause");
}
float BASSMOD_GetCPU() {
    return static_cast<float>(Record("BASSMOD_GetCPU")) / 100.0f;
}
const char *BASSMOD_GetDeviceDescription(int32_t device) {
    return TextResult(Record("BASSMOD_GetDeviceDescription", "%d", device));
}
uint32_t BASSMOD_GetVersion() {
    return static_cast<uint32_t>(Record("BASSMOD_GetVersion"));
}
int32_t BASSMOD_GetVolume() {
    return Record("BASSMOD_GetVolume");
}
int32_t BASSMOD_SetVolume(uint32_t volume) {
    return Record("BASSMOD_SetVolume", "%u", volume);
}
int32_t BASSMOD_MusicFree() {
    return Record("BASSMOD_MusicFree");
}
int32_t BASSMOD_MusicGetLength(int32_t playlen) {
    return Record("BASSMOD_MusicGetLength", "%d", playlen);
}
const char *BASSMOD_MusicGetName() {
    return TextResult(Record("BASSMOD_MusicGetName"));
}
int32_t BASSMOD_MusicGetPosition() {
    return Record("BASSMOD_MusicGetPosition");
}
int32_t BASSMOD_MusicIsActive() {
    return Record("BASSMOD_MusicIsActive");
}
int32_t BASSMOD_MusicStop() {
    return Record("BASSMOD_MusicStop");
}
int32_t BASSMOD_MusicPlayEx(int32_t position, int32_t flags, int32_t reset) {
    return Record("BASSMOD_MusicPlayEx", "%d,%d,%d", position, flags, reset);
}
int32_t BASSMOD_MusicSetAmplify(uint32_t amplification) {
    return Record("BASSMOD_MusicSetAmplify", "%u", amplification);
}
int32_t BASSMOD_MusicSetPanSep(uint32_t separation) {
    return Record("BASSMOD_MusicSetPanSep", "%u", separation);
}
int32_t BASSMOD_MusicSetPosition(uint32_t position) {
    return Record("BASSMOD_MusicSetPosition", "%u", position);
}
int32_t BASSMOD_MusicSetPositionScaler(uint32_t scale) {
    return Record("BASSMOD_MusicSetPositionScaler", "%u", scale);
}
int32_t BASSMOD_InitOffline(uint32_t frequency, uint32_t flags) {
    return Record("BASSMOD_InitOffline", "%u,%u", frequency, flags);
}
}
