// The library's exported functions: start-up and shutdown, loading, offline
// rendering and the player-wide queries (the calls on the loaded song are in
// music_api.cpp). Each records its outcome for BASSMOD_ErrorGetCode (per
// calling thread) and returns 0 (or -1 where the interface says so) on failure.
#pragma GCC visibility push(default)
#include "player/player_api.h"
#pragma GCC visibility pop

#include "player/player_internal.h"
#include "player/xm_extent.h"

#include <xmp.h>

#include <cstdio>
#include <cstring>
#include <vector>

std::mutex playerLock;
bool playerInitialised = false;
bool playerOffline = false;
uint32_t outputFrequency = 44100;
std::atomic<float> playerCpu{0.0f};

namespace {

// Serialises Init, InitOffline and Free, which start and stop threads that
// need playerLock themselves.
std::mutex lifecycleLock;
constexpr uint32_t VERSION = 1; // "1.0": major in the low half

int32_t StartPlayer(int32_t device, uint32_t frequency, bool offline) {
    std::lock_guard life(lifecycleLock);
    if (playerInitialised)
        return Fail(PLAYER_ERROR_ALREADY);
    if (frequency < XMP_MIN_SRATE || frequency > XMP_MAX_SRATE)
        return Fail(PLAYER_ERROR_ILLPARAM);
    if (device < -1)
        return Fail(PLAYER_ERROR_DEVICE);
    outputFrequency = frequency;
    if (!offline) {
        int32_t r = OutputOpen(device, frequency);
        if (r != PLAYER_OK)
            return Fail(r);
    }
    std::lock_guard lock(playerLock);
    playerOffline = offline;
    playerInitialised = true;
    return Succeed();
}

bool ReadFile(const char *path, uint32_t offset, uint32_t length, std::vector<uint8_t> *bytes) {
    FILE *stream = std::fopen(path, "rb");
    if (!stream)
        return false;
    bool ok = std::fseek(stream, offset, SEEK_SET) == 0;
    uint8_t chunk[65536];
    size_t want = length ? length : SIZE_MAX;
    while (ok && bytes->size() < want) {
        size_t got = std::fread(chunk, 1, std::min(sizeof chunk, want - bytes->size()), stream);
        bytes->insert(bytes->end(), chunk, chunk + got);
        if (got == 0 || bytes->size() > XM_MAX_EXTENT)
            break;
    }
    std::fclose(stream);
    return ok;
}

int32_t LoadModule(const uint8_t *data, uint64_t limit, uint32_t flags) {
    uint64_t extent = 0;
    int32_t r = XmExtent(data, limit, &extent);
    if (r != PLAYER_OK)
        return r;
    // libxmp sees exactly the module's bytes, never what follows it.
    r = DecoderLoad(data, extent, flags);
    if (r == PLAYER_OK) {
        SyncClear();
        ResetPositionScaler();
    }
    return r;
}

} // namespace

// The checks that open most calls: initialised, and (if asked) music loaded.
int32_t Ready(bool needMusic) {
    if (!playerInitialised)
        return PLAYER_ERROR_INIT;
    if (needMusic && !musicLoaded)
        return PLAYER_ERROR_NOMUSIC;
    return PLAYER_OK;
}

extern "C" {

int32_t BASSMOD_Init(int32_t device, uint32_t frequency, uint32_t) {
    return StartPlayer(device, frequency, false);
}

int32_t BASSMOD_InitOffline(uint32_t frequency, uint32_t) {
    return StartPlayer(0, frequency, true);
}

int32_t BASSMOD_Free() {
    std::lock_guard life(lifecycleLock);
    if (!playerInitialised)
        return Fail(PLAYER_ERROR_INIT);
    if (OutputIsPlayerThread())
        return Fail(PLAYER_ERROR_UNKNOWN); // the thread cannot wait for itself
    if (!playerOffline)
        OutputClose();
    std::lock_guard lock(playerLock);
    DecoderFree();
    SyncClear();
    playerInitialised = false;
    playerOffline = false;
    return Succeed();
}

int32_t BASSMOD_MusicLoad(int32_t mem, const void *file, uint32_t offset, uint32_t length,
                          uint32_t flags) {
    return Guarded<Needs::Player, 0>([&] {
        if (!file)
            return Fail(mem == 1 ? PLAYER_ERROR_ILLPARAM : PLAYER_ERROR_FILEOPEN);
        int32_t r;
        if (mem == 1) {
            r = LoadModule(static_cast<const uint8_t *>(file) + offset, length, flags);
        } else {
            std::vector<uint8_t> bytes;
            if (!ReadFile(static_cast<const char *>(file), offset, length, &bytes))
                return Fail(PLAYER_ERROR_FILEOPEN);
            r = bytes.empty() ? PLAYER_ERROR_FORMAT : LoadModule(bytes.data(), bytes.size(), flags);
        }
        return r == PLAYER_OK ? Succeed() : Fail(r);
    });
}

int32_t BASSMOD_MusicFree() {
    return Guarded<Needs::Player, 0>([&] {
        DecoderFree();
        SyncClear();
        return Succeed();
    });
}

float BASSMOD_GetCPU() {
    Succeed();
    return playerCpu.load(std::memory_order_relaxed);
}

uint32_t BASSMOD_GetVersion() {
    Succeed();
    return VERSION;
}

const char *BASSMOD_GetDeviceDescription(int32_t device) {
    std::lock_guard life(lifecycleLock);
    const char *name = OutputDeviceName(device);
    if (!name) {
        Fail(PLAYER_ERROR_DEVICE);
        return nullptr;
    }
    Succeed();
    return name;
}

int32_t BASSMOD_ErrorGetCode() {
    return LastError();
}

uint32_t BASSMOD_RenderFrames(int16_t *buffer, uint32_t frames) {
    {
        std::lock_guard lock(playerLock);
        if (!playerInitialised || !playerOffline)
            return Fail(PLAYER_ERROR_INIT);
        if (!buffer)
            return Fail(PLAYER_ERROR_ILLPARAM);
    }
    uint32_t done = 0;
    while (done < frames) {
        uint32_t n;
        uint64_t end;
        {
            std::lock_guard lock(playerLock);
            n = FillFromTick(buffer + 2 * done, frames - done);
            end = musicFrames;
        }
        if (n == 0)
            break;
        done += n;
        DeliverDue(end); // this stretch's ticks, before the rest is decoded
    }
    std::memset(buffer + 2 * done, 0, (frames - done) * 4u);
    return Succeed(frames);
}

} // extern "C"
