// The binding: one operation per player function, each looking its function up
// by name at the moment of the call (through the library slot), so a slot that
// is empty, or a library that lacks the name, gives 0 without a call.
#include <algorithm>

#include "music/music.h"
#include "runtime/runtime.h"

uint32_t MakeLong(int32_t low, int32_t high) {
    return (static_cast<uint32_t>(low) & 0xFFFFu) | ((static_cast<uint32_t>(high) & 0xFFFFu) << 16);
}

namespace {

// The text at an address the player returned, or "" (and a report) for null.
std::string TextOrReport(int slot, const char *text) {
    if (text == nullptr) {
        ReportSoundError(slot);
        return "";
    }
    return text;
}

} // namespace

int32_t Init(int slot, const std::string &path, int32_t device, uint32_t frequency,
             uint32_t flags) {
    // A library that cannot be loaded leaves the slot alone and is never called.
    if (OpenLibrarySlot(slot, path.c_str()) == nullptr)
        return 0;
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_Init", device, frequency, flags);
}

int32_t Free(int slot) {
    // The player stops its thread before its code is unmapped.
    int32_t result = CallLibraryFunction<int32_t>(slot, "BASSMOD_Free");
    CloseLibrarySlot(slot);
    return result;
}

int32_t MusicLoad(int slot, int32_t mem, const std::string &file, uint32_t offset, uint32_t length,
                  uint32_t flags) {
    // From memory, the text carries the module's address as a decimal number,
    // 64 bits wide so that it holds any address of this platform.
    const void *data = file.c_str();
    if (mem == 1)
        data = reinterpret_cast<const void *>(static_cast<intptr_t>(TextToNumber64(file)));
    int32_t result =
        CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicLoad", mem, data, offset, length, flags);
    if (result == 0)
        ReportSoundError(slot);
    return result;
}

uint32_t MusicSetSync(int slot, uint32_t type, uint32_t param, SyncProcedure proc, uint32_t user) {
    uint32_t sync =
        CallLibraryFunction<uint32_t>(slot, "BASSMOD_MusicSetSync", type, param, proc, user);
    if (sync == 0)
        ReportSoundError(slot);
    return sync;
}

int32_t MusicRemoveSync(int slot, uint32_t sync) {
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicRemoveSync", sync);
}

int32_t MusicPlay(int slot) {
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicPlay");
}

int32_t MusicPause(int slot) {
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicPause");
}

int32_t GetCPU(int slot) {
    // The player's load in percent of one core, as hundredths of a percent.
    float percent = CallLibraryFunction<float>(slot, "BASSMOD_GetCPU");
    return static_cast<int32_t>(percent * 100.0f + 0.5f);
}

std::string GetDeviceDescription(int slot, int32_t device) {
    return TextOrReport(
        slot, CallLibraryFunction<const char *>(slot, "BASSMOD_GetDeviceDescription", device));
}

std::string GetVersion(int slot) {
    uint32_t version = CallLibraryFunction<uint32_t>(slot, "BASSMOD_GetVersion");
    return std::to_string(version & 0xFFFFu) + "." + std::to_string(version >> 16);
}

int32_t GetVolume(int slot) {
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_GetVolume");
}

int32_t SetVolume(int slot, int32_t volume) {
    // Only an upper bound: the player itself refuses what is below range.
    uint32_t passed = static_cast<uint32_t>(std::min(volume, 100));
    int32_t result = CallLibraryFunction<int32_t>(slot, "BASSMOD_SetVolume", passed);
    if (result == -1)
        ReportSoundError(slot);
    return result;
}

int32_t MusicFree(int slot) {
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicFree");
}

int32_t MusicGetLength(int slot, int32_t playlen) {
    auto length =
        static_cast<int16_t>(CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicGetLength", playlen));
    if (length == -1)
        ReportSoundError(slot);
    return length;
}

std::string MusicGetName(int slot) {
    return TextOrReport(slot, CallLibraryFunction<const char *>(slot, "BASSMOD_MusicGetName"));
}

int32_t MusicGetPosition(int slot) {
    auto position =
        static_cast<int16_t>(CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicGetPosition"));
    if (position == -1)
        ReportSoundError(slot);
    return position;
}

int32_t MusicIsActive(int slot) {
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicIsActive");
}

int32_t MusicStop(int slot) {
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicStop");
}

int32_t MusicPlayEx(int slot, int16_t position, int32_t flags, int32_t reset) {
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicPlayEx", static_cast<int32_t>(position),
                                        flags, reset);
}

int32_t MusicSetAmplify(int slot, int32_t amplification) {
    uint32_t passed = static_cast<uint32_t>(std::min(amplification, 100));
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicSetAmplify", passed);
}

int32_t MusicSetPanSep(int slot, int32_t separation) {
    uint32_t passed = static_cast<uint32_t>(std::min(separation, 100));
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicSetPanSep", passed);
}

int32_t MusicSetPosition(int slot, int16_t order, int16_t row) {
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicSetPosition", MakeLong(order, row));
}

int32_t MusicSetPositionScaler(int slot, int32_t scale) {
    uint32_t passed = static_cast<uint32_t>(std::min(scale, 256));
    return CallLibraryFunction<int32_t>(slot, "BASSMOD_MusicSetPositionScaler", passed);
}
