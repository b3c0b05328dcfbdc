// Fuzzes MusicLoad from memory: the XM extent walk, libxmp behind it, the
// error codes, and a few ticks of playback with syncs set on what loaded.
#include "player/player_api.h"
#include "player/xm_extent.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void IgnoreSync(uint32_t, uint32_t, uint32_t) {}

bool Refusal(int32_t code) {
    return code == PLAYER_ERROR_FORMAT || code == PLAYER_ERROR_MEMORY;
}

// A load either succeeds or is refused as FORMAT or MEMORY, nothing else.
bool LoadChecked(const uint8_t *data, uint32_t length) {
    if (BASSMOD_MusicLoad(1, data, 0, length, MUSIC_LOOP))
        return true;
    if (!Refusal(BASSMOD_ErrorGetCode()))
        std::abort();
    return false;
}

void PlayBriefly() {
    BASSMOD_MusicSetSync(SYNC_POSITION, 0, IgnoreSync, 1);
    BASSMOD_MusicSetSync(SYNC_INSTRUMENT, 0xffff0001u, IgnoreSync, 2);
    BASSMOD_MusicPlay();
    static int16_t buffer[2 * 4096];
    BASSMOD_RenderFrames(buffer, 4096);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static bool ready = BASSMOD_InitOffline(44100, 0) != 0;
    if (!ready || size == 0 || size > (1u << 20))
        return 0;
    // The input in its own allocation, so reading past it is caught.
    std::vector<uint8_t> bytes(data, data + size);
    if (LoadChecked(bytes.data(), static_cast<uint32_t>(size)))
        PlayBriefly();
    // Length 0 trusts the module's headers; where they fit inside the input,
    // the walk must stay inside them too.
    uint64_t extent = 0;
    if (XmExtent(bytes.data(), size, &extent) == PLAYER_OK) {
        std::vector<uint8_t> exact(bytes.begin(), bytes.begin() + static_cast<long>(extent));
        if (LoadChecked(exact.data(), 0))
            PlayBriefly();
    }
    BASSMOD_MusicFree();
    return 0;
}
