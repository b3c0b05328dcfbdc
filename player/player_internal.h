// State shared by the player's sources. Everything below is guarded by
// playerLock unless its comment says otherwise; the lock is never held while a
// sync procedure runs, because procedures call back into the player.
#pragma once

#include "player/player_api.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

using PlayerClock = std::chrono::steady_clock;

enum class PlayState { Stopped, Playing, Paused };

// A note that really started on a tick: instrument counted from 1, XM note 1..96.
struct Trigger {
    uint16_t instrument;
    uint16_t note;
};

constexpr int MAX_TICK_TRIGGERS = 64;

// What happened on one tick, stamped with the music sample at which it starts.
struct TickRecord {
    uint64_t stamp;
    uint16_t order;
    uint16_t row;
    uint16_t frame;
    uint16_t speed;
    uint16_t count;
    Trigger triggers[MAX_TICK_TRIGGERS];
};

extern std::mutex playerLock;
extern bool playerInitialised;
extern bool playerOffline;
extern uint32_t outputFrequency;
extern std::atomic<float> playerCpu; // percent of real time spent decoding

// error.cpp: the last error of the calling thread.
int32_t Fail(int32_t code); // records code, returns 0
int32_t Succeed(int32_t result = 1);
int32_t LastError();

// api.cpp: the checks that open most calls: initialised, and (if asked)
// music loaded; PLAYER_OK or the error code.
int32_t Ready(bool needMusic);

// What an exported call needs before it can run: an initialised player, and
// for the calls on the song, a loaded one.
enum class Needs { Player, Song };

// The opening of the exported calls: playerLock is held for the whole call.
// When the call's needs are not met it records the error (not initialised
// first, then no music) and returns `failed` without running `body`.
template <Needs needs, auto failed, typename Body> auto Guarded(Body body) -> decltype(body()) {
    std::lock_guard lock(playerLock);
    if (int32_t error = Ready(needs == Needs::Song)) {
        Fail(error);
        return failed;
    }
    return body();
}

// music_api.cpp
void ResetPositionScaler();

// decoder.cpp
extern bool musicLoaded;
extern PlayState playState;
extern uint64_t musicFrames; // music frames handed to the output so far
int32_t DecoderLoad(const uint8_t *module, uint64_t size, uint32_t flags);
void DecoderFree();
void DecoderRestart();
int32_t DecoderSetPosition(uint32_t order, uint32_t row);
uint32_t FillFromTick(int16_t *out, uint32_t frames);
uint32_t FillMusic(int16_t *out, uint32_t frames);
bool PopTickRecord(uint64_t stampLimit, TickRecord *record);
bool PeekTickStamp(uint64_t *stamp);
void ClearTickRecords();
void DecoderSetLoop(bool loop);
void DecoderSetGain(uint32_t volume, uint32_t amplify);
void DecoderSetPanSeparation(uint32_t separation);
int32_t DecoderSongLength(bool seconds);
const char *DecoderName();

// syncs.cpp
uint32_t SyncAdd(uint32_t type, uint32_t param, SyncProcedure proc, uint32_t user);
bool SyncRemove(uint32_t handle);
void SyncClear();
void DeliverDue(uint64_t stampLimit); // called without playerLock
extern TickRecord heardTick;          // the last tick delivered: the position heard
// Measurement hook for benchmarks: called with playerLock held as each tick
// is delivered. Not reachable through the library's exports.
extern void (*tickDeliveredHook)(uint64_t stamp);
extern bool heardTickValid;

// output.cpp
int32_t OutputOpen(int32_t device, uint32_t frequency);
void OutputClose();
void OutputPlayStarted(); // the music went from paused or stopped to playing
bool OutputIsPlayerThread();
// When the block holding music frame `stamp` was handed on and when that frame
// is heard by our accounting of the device's buffer; false if not handed on.
bool OutputFrameTimes(uint64_t stamp, PlayerClock::time_point *handedOn,
                      PlayerClock::time_point *heard);
const char *OutputDeviceName(int32_t device);
