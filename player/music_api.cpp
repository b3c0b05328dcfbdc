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
    if (t.speed)
        row += t.frame % t.speed * positionScaler / t.speed;
    return static_cast<int32_t>(t.order | (row & 0xffff) << 16);
}

// A playing song goes on where it is; a paused or stopped one starts playing.
void KeepPlaying() {
    if (playState != PlayState::Playing) {
        playState = PlayState::Playing;
        OutputPlayStarted();
    }
}

// Order in the low half, row in the high half; from here on that is the
// position heard. PLAYER_OK or the error code.
int32_t JumpTo(uint32_t position) {
    if (int32_t r = DecoderSetPosition(position & 0xffff, position >> 16))
        return r;
    heardTick = {};
    heardTick.order = static_cast<uint16_t>(position & 0xffff);
    heardTick.row = static_cast<uint16_t>(position >> 16);
    heardTickValid = true;
    return PLAYER_OK;
}

} // namespace

void ResetPositionScaler() {
    positionScaler = 1;
}

extern "C" {

uint32_t BASSMOD_MusicSetSync(uint32_t type, uint32_t param, SyncProcedure proc, uint32_t user) {
    return Guarded<Needs::Song, 0>([&] {
        uint32_t kind = type & ~SYNC_ONETIME;
        if (kind != SYNC_POSITION && kind != SYNC_INSTRUMENT)
            return Fail(PLAYER_ERROR_ILLTYPE);
        if (!proc)
            return Fail(PLAYER_ERROR_ILLPARAM);
        uint32_t handle = SyncAdd(type, param, proc, user);
        return handle ? Succeed(handle) : Fail(PLAYER_ERROR_NOSYNC);
    });
}

int32_t BASSMOD_MusicRemoveSync(uint32_t sync) {
    return Guarded<Needs::Song, 0>(
        [&] { return SyncRemove(sync) ? Succeed() : Fail(PLAYER_ERROR_HANDLE); });
}

int32_t BASSMOD_MusicPlay() {
    return Guarded<Needs::Song, 0>([&] {
        KeepPlaying();
        return Succeed();
    });
}

int32_t BASSMOD_MusicPause() {
    return Guarded<Needs::Song, 0>([&] {
        if (playState != PlayState::Playing)
            return Fail(PLAYER_ERROR_NOPLAY);
        playState = PlayState::Paused;
        return Succeed();
    });
}

int32_t BASSMOD_MusicStop() {
    return Guarded<Needs::Song, 0>([&] {
        playState = PlayState::Stopped;
        return Succeed();
    });
}

int32_t BASSMOD_MusicIsActive() {
    return Guarded<Needs::Song, 0>([&] {
        constexpr int32_t STOPPED = 0, PLAYING = 1, PAUSED = 3;
        Succeed();
        if (playState == PlayState::Playing)
            return PLAYING;
        return playState == PlayState::Paused ? PAUSED : STOPPED;
    });
}

int32_t BASSMOD_MusicPlayEx(int32_t position, int32_t flags, int32_t) {
    return Guarded<Needs::Song, 0>([&] {
        int32_t r = position == -1 ? PLAYER_OK : JumpTo(static_cast<uint32_t>(position));
        if (r != PLAYER_OK)
            return Fail(r);
        if (static_cast<uint32_t>(flags) != ALL_ONES)
            DecoderSetLoop(flags & MUSIC_LOOP);
        KeepPlaying();
        return Succeed();
    });
}

int32_t BASSMOD_MusicSetPosition(uint32_t position) {
    return Guarded<Needs::Song, 0>([&] {
        int32_t r = JumpTo(position);
        return r == PLAYER_OK ? Succeed() : Fail(r);
    });
}

int32_t BASSMOD_MusicGetPosition() {
    return Guarded<Needs::Song, -1>([&] {
        Succeed();
        return heardTickValid ? ScaledRow(heardTick) : 0;
    });
}

int32_t BASSMOD_MusicGetLength(int32_t playlen) {
    return Guarded<Needs::Song, -1>([&] { return Succeed(DecoderSongLength(playlen != 0)); });
}

const char *BASSMOD_MusicGetName() {
    return Guarded<Needs::Song, nullptr>([&] {
        Succeed();
        return DecoderName();
    });
}

int32_t BASSMOD_MusicSetAmplify(uint32_t amplify) {
    return Guarded<Needs::Song, 0>([&] {
        if (amplify > 100)
            return Fail(PLAYER_ERROR_ILLPARAM);
        amplification = amplify;
        DecoderSetGain(masterVolume, amplification);
        return Succeed();
    });
}

int32_t BASSMOD_MusicSetPanSep(uint32_t separation) {
    return Guarded<Needs::Song, 0>([&] {
        if (separation > 100)
            return Fail(PLAYER_ERROR_ILLPARAM);
        DecoderSetPanSeparation(separation);
        return Succeed();
    });
}

int32_t BASSMOD_MusicSetPositionScaler(uint32_t scale) {
    return Guarded<Needs::Song, 0>([&] {
        if (scale < 1 || scale > 256)
            return Fail(PLAYER_ERROR_ILLPARAM);
        positionScaler = scale;
        return Succeed();
    });
}

int32_t BASSMOD_GetVolume() {
    return Guarded<Needs::Player, -1>([&] { return Succeed(static_cast<int32_t>(masterVolume)); });
}

int32_t BASSMOD_SetVolume(uint32_t volume) {
    return Guarded<Needs::Player, -1>([&] {
        if (volume > 100) {
            Fail(PLAYER_ERROR_ILLPARAM);
            return -1;
        }
        masterVolume = volume;
        DecoderSetGain(masterVolume, amplification);
        return Succeed();
    });
}

} // extern "C"
