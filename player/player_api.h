// The C interface that the module-player library exports. The demo never links
// against it: the binding looks every function up by name at each call, and
// uses these declarations only for the functions' signatures.
#pragma once

#include <cstdint>

// Error codes, as ErrorGetCode reports them. The code is kept per thread: it
// is the outcome of the calling thread's own last call (a sync procedure, on
// the player's thread, reads its own).
enum : int32_t {
    PLAYER_OK = 0,
    PLAYER_ERROR_MEMORY = 1,
    PLAYER_ERROR_FILEOPEN = 2,
    PLAYER_ERROR_DRIVER = 3,
    PLAYER_ERROR_HANDLE = 5,
    PLAYER_ERROR_FORMAT = 6,
    PLAYER_ERROR_POSITION = 7,
    PLAYER_ERROR_INIT = 8,
    PLAYER_ERROR_ALREADY = 14,
    PLAYER_ERROR_NOTPAUSED = 16,
    PLAYER_ERROR_ILLTYPE = 19,
    PLAYER_ERROR_ILLPARAM = 20,
    PLAYER_ERROR_DEVICE = 23,
    PLAYER_ERROR_NOPLAY = 24,
    PLAYER_ERROR_NOMUSIC = 28,
    PLAYER_ERROR_NOSYNC = 30,
    PLAYER_ERROR_UNKNOWN = -1,
};

// Sync types; the parameter packs two 16-bit halves (low half first).
constexpr uint32_t SYNC_POSITION = 0;          // order low, row high
constexpr uint32_t SYNC_INSTRUMENT = 1;        // instrument (from 1) low, note high (0xFFFF any)
constexpr uint32_t SYNC_ONETIME = 0x80000000u; // flag: fires once, then removed
constexpr uint32_t SYNC_ONETIME_POSITION = SYNC_ONETIME | SYNC_POSITION;

// MusicLoad flags.
constexpr uint32_t MUSIC_LOOP = 4;

// `data`: for a position sync, the order (low half) and row (high half) that
// were reached; for an instrument sync, the XM note (1..96) that started.
// Procedures run on the player's thread (offline: inside RenderFrames) with no
// lock held, and may call MusicSetSync and MusicRemoveSync.
using SyncProcedure = void (*)(uint32_t sync, uint32_t data, uint32_t user);

extern "C" {
// The functions the demo calls.
int32_t BASSMOD_Init(int32_t device, uint32_t frequency, uint32_t flags);
int32_t BASSMOD_Free();
int32_t BASSMOD_MusicLoad(int32_t mem, const void *file, uint32_t offset, uint32_t length,
                          uint32_t flags);
uint32_t BASSMOD_MusicSetSync(uint32_t type, uint32_t param, SyncProcedure proc, uint32_t user);
int32_t BASSMOD_MusicRemoveSync(uint32_t sync);
int32_t BASSMOD_MusicPlay();
int32_t BASSMOD_MusicPause();
int32_t BASSMOD_ErrorGetCode();

// The rest of the interface.
float BASSMOD_GetCPU();
const char *BASSMOD_GetDeviceDescription(int32_t device);
uint32_t BASSMOD_GetVersion();
int32_t BASSMOD_GetVolume();
int32_t BASSMOD_SetVolume(uint32_t volume);
int32_t BASSMOD_MusicFree();
int32_t BASSMOD_MusicGetLength(int32_t playlen);
const char *BASSMOD_MusicGetName();
int32_t BASSMOD_MusicGetPosition(); // order low, row high; -1 on failure
int32_t BASSMOD_MusicIsActive();    // 0 stopped, 1 playing, 3 paused
int32_t BASSMOD_MusicStop();
int32_t BASSMOD_MusicPlayEx(int32_t position, int32_t flags, int32_t reset);
int32_t BASSMOD_MusicSetAmplify(uint32_t amplification);
int32_t BASSMOD_MusicSetPanSep(uint32_t separation);
int32_t BASSMOD_MusicSetPosition(uint32_t position);
int32_t BASSMOD_MusicSetPositionScaler(uint32_t scale);

// Offline mode (frame-exact capture): no output device; RenderFrames renders
// the given number of stereo 16-bit sample frames into the caller's buffer on
// the caller's thread and delivers the syncs whose tick starts inside them.
int32_t BASSMOD_InitOffline(uint32_t frequency, uint32_t flags);
uint32_t BASSMOD_RenderFrames(int16_t *buffer, uint32_t frames);
}
