// A stand-in for the module player, built as a shared object with the same
// exported names. Every function reports its call (name and arguments) to the
// test executable's recorder, which also scripts the results; FAKE_TAG marks
// the calls of the second build, and FAKE_PARTIAL leaves some names out.
#include <cstdint>
#include <sstream>
#include <string>

#include "player/player_api.h"

extern "C" int64_t FakePlayerCall(const char *call);

namespace {

template <typename... Arguments> int64_t Record(const char *name, Arguments... arguments) {
    std::ostringstream text;
    [[maybe_unused]] const char *separator = "";
    ((text << separator << arguments, separator = ","), ...);
    return FakePlayerCall((FAKE_TAG + std::string(name) + "(" + text.str() + ")").c_str());
}

// Unloading is recorded too, so that tests see it after BASSMOD_Free.
__attribute__((destructor)) void RecordUnload() {
    Record("unload");
}

} // namespace

// One exported function that records its call and returns the scripted result.
#define FAKE(RESULT, NAME, PARAMETERS, ...)                                                        \
    RESULT BASSMOD_##NAME PARAMETERS {                                                             \
        return static_cast<RESULT>(Record("BASSMOD_" #NAME __VA_OPT__(, ) __VA_ARGS__));           \
    }

extern "C" {
FAKE(int32_t, Init, (int32_t device, uint32_t frequency, uint32_t flags), device, frequency, flags)
FAKE(int32_t, Free, ())
FAKE(uint32_t, MusicSetSync, (uint32_t type, uint32_t param, SyncProcedure proc, uint32_t user),
     type, param, reinterpret_cast<void *>(proc), user)
FAKE(int32_t, MusicRemoveSync, (uint32_t sync), sync)
#ifndef FAKE_PARTIAL
FAKE(int32_t, MusicPlay, ())
FAKE(int32_t, ErrorGetCode, ())
#endif
FAKE(int32_t, MusicPause, ())
FAKE(uint32_t, GetVersion, ())
FAKE(int32_t, SetVolume, (uint32_t volume), volume)
FAKE(int32_t, MusicGetLength, (int32_t playlen), playlen)
FAKE(int32_t, MusicGetPosition, ())
FAKE(int32_t, MusicPlayEx, (int32_t position, int32_t flags, int32_t reset), position, flags, reset)
FAKE(int32_t, MusicSetAmplify, (uint32_t amplification), amplification)
FAKE(int32_t, MusicSetPanSep, (uint32_t separation), separation)
FAKE(int32_t, MusicSetPosition, (uint32_t position), position)
FAKE(int32_t, MusicSetPositionScaler, (uint32_t scale), scale)

// From memory the pointer itself is the datum; otherwise it is a path.
int32_t BASSMOD_MusicLoad(int32_t mem, const void *file, uint32_t offset, uint32_t length,
                          uint32_t flags) {
    std::string path = mem == 1 ? "" : static_cast<const char *>(file);
    return static_cast<int32_t>(
        mem == 1 ? Record("BASSMOD_MusicLoad", mem, file, offset, length, flags)
                 : Record("BASSMOD_MusicLoad", mem, path, offset, length, flags));
}
float BASSMOD_GetCPU() {
    return static_cast<float>(Record("BASSMOD_GetCPU")) / 100.0f;
}
const char *BASSMOD_MusicGetName() {
    return Record("BASSMOD_MusicGetName") == 0 ? nullptr : "fake text";
}
}
