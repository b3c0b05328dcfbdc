// The error code is kept per thread: a sync procedure running on the player's
// thread and the application's own thread each read back the outcome of their
// own last call, never each other's.
#include "player/player_internal.h"

namespace {
thread_local int32_t lastError = PLAYER_OK;
}

int32_t Fail(int32_t code) {
    lastError = code;
    return 0;
}

int32_t Succeed(int32_t result) {
    lastError = PLAYER_OK;
    return result;
}

int32_t LastError() {
    return lastError;
}
