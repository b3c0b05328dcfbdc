// The exported calls on the loaded song: syncs, play and pause, position and
// the song's settings. Each records its outcome for BASSMOD_ErrorGetCode.
#pragma GCC visibility push(default)
#include "player/player_api.h"
#pragma GCC visibility pop

#include "player/player_internal.h"

namespace {

uint32_t positionScaler = 1;
uint32_t masterVolume = 100;
uint32_t amplification = 50;
constexpr uint32_t ALL_ONES = 0xffffffffu;

int32_t ScaledRow(const TickRecord &t) {
    uint32_t row = t.row * positionScaler;
    if (t.speed) {
        row += t.frame % t.speed * positionScaler / t.speed;
    }
    return static_cast<int32_t>(t.order | (row & 0xffff) << 16);
}

} // namespace

void ResetPositionScaler() {
    positionScaler = 1;
}

extern "C" {

uint32_t BASSMOD_MusicSetSync(uint32_t type, uint32_t param, SyncProcedure proc, uint32_t user) {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    uint32_t kind = type & ~SYNC_ONETIME;
    if (kind != SYNC_POSITION && kind != SYNC_INSTRUMENT) {
        return Fail(PLAYER_ERROR_ILLTYPE);
    }
    if (!proc) {
        return Fail(PLAYER_ERROR_ILLPARAM);
    }
    uint32_t handle = SyncAdd(type, param, proc, user);
    return handle ? Succeed(handle) : Fail(PLAYER_ERROR_NOSYNC);
}

int32_t BASSMOD_MusicRemoveSync(uint32_t sync) {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    return SyncRemove(sync) ? Succeed() : Fail(PLAYER_ERROR_HANDLE);
}

int32_t BASSMOD_MusicPlay() {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    if (playState != PlayState::Playing) { // a playing song goes on where it is
        playState = PlayState::Playing;
        OutputPlayStarted();
    }
    return Succeed();
}

int32_t BASSMOD_MusicPause() {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    if (playState != PlayState::Playing) {
        return Fail(PLAYER_ERROR_NOPLAY);
    }
    playState = PlayState::Paused;
    return Succeed();
}

int32_t BASSMOD_MusicStop() {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    playState = PlayState::Stopped;
    return Succeed();
}

int32_t BASSMOD_MusicIsActive() {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    constexpr int32_t PLAYING = 1, PAUSED = 3;
    Succeed();
    return playState == PlayState::Playing ? PLAYING : playState == PlayState::Paused ? PAUSED : 0;
}

int32_t BASSMOD_MusicPlayEx(int32_t position, int32_t flags, int32_t) {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    if (position != -1) {
        uint32_t p = static_cast<uint32_t>(position);
        if (int32_t r = DecoderSetPosition(p & 0xffff, p >> 16)) {
            return Fail(r);
        }
        heardTick = {};
        heardTick.order = static_cast<uint16_t>(p & 0xffff);
        heardTick.row = static_cast<uint16_t>(p >> 16);
        heardTickValid = true;
    }
    if (static_cast<uint32_t>(flags) != ALL_ONES) {
        DecoderSetLoop(flags & MUSIC_LOOP);
    }
    if (playState != PlayState::Playing) {
        playState = PlayState::Playing;
        OutputPlayStarted();
    }
    return Succeed();
}

int32_t BASSMOD_MusicSetPosition(uint32_t position) {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    if (int32_t r = DecoderSetPosition(position & 0xffff, position >> 16)) {
        return Fail(r);
    }
    heardTick = {};
    heardTick.order = static_cast<uint16_t>(position & 0xffff);
    heardTick.row = static_cast<uint16_t>(position >> 16);
    heardTickValid = true;
    return Succeed();
}

int32_t BASSMOD_MusicGetPosition() {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        Fail(r);
        return -1;
    }
    Succeed();
    return heardTickValid ? ScaledRow(heardTick) : 0;
}

int32_t BASSMOD_MusicGetLength(int32_t playlen) {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        Fail(r);
        return -1;
    }
    return Succeed(DecoderSongLength(playlen != 0));
}

const char *BASSMOD_MusicGetName() {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        Fail(r);
        return nullptr;
    }
    Succeed();
    return DecoderName();
}

int32_t BASSMOD_MusicSetAmplify(uint32_t amplify) {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    if (amplify > 100) {
        return Fail(PLAYER_ERROR_ILLPARAM);
    }
    amplification = amplify;
    DecoderSetGain(masterVolume, amplification);
    return Succeed();
}

int32_t BASSMOD_MusicSetPanSep(uint32_t separation) {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    if (separation > 100) {
        return Fail(PLAYER_ERROR_ILLPARAM);
    }
    DecoderSetPanSeparation(separation);
    return Succeed();
}

int32_t BASSMOD_MusicSetPositionScaler(uint32_t scale) {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(true)) {
        return Fail(r);
    }
    if (scale < 1 || scale > 256) {
        return Fail(PLAYER_ERROR_ILLPARAM);
    }
    positionScaler = scale;
    return Succeed();
}

int32_t BASSMOD_GetVolume() {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(false)) {
        Fail(r);
        return -1;
    }
    return Succeed(static_cast<int32_t>(masterVolume));
}

int32_t BASSMOD_SetVolume(uint32_t volume) {
    std::lock_guard lock(playerLock);
    if (int32_t r = Ready(false)) {
        Fail(r);
        return -1;
    }
    if (volume > 100) {
        Fail(PLAYER_ERROR_ILLPARAM);
        return -1;
    }
    masterVolume = volume;
    DecoderSetGain(masterVolume, amplification);
    return Succeed();
}

} // extern "C"
