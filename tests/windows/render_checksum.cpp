// Renders a module offline through the player library and prints one checksum
// of everything that came out: the samples, and each instrument sync with the
// block it was delivered in. Built for Linux and for Windows from this one
// file; the two players must print the same line.
// Usage: render_checksum MODULE.xm
#include "player/player_api.h"

#include <cstdio>
#include <vector>

namespace {

constexpr uint32_t FREQUENCY = 44100;
constexpr uint32_t BLOCK_FRAMES = 4410;
constexpr uint32_t FRAMES = 441000; // ten seconds
constexpr uint32_t INSTRUMENTS = 16;

uint64_t checksum = 14695981039346656037ull; // FNV-1a, 64 bits
uint32_t block = 0;
uint32_t syncsSeen = 0;

void Mix(uint32_t value) {
    for (int i = 0; i < 4; i++)
        checksum = (checksum ^ ((value >> (8 * i)) & 0xff)) * 1099511628211ull;
}

void OnSync(uint32_t, uint32_t data, uint32_t user) {
    Mix(block);
    Mix(user);
    Mix(data);
    syncsSeen++;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2 || !BASSMOD_InitOffline(FREQUENCY, 0) ||
        !BASSMOD_MusicLoad(0, argv[1], 0, 0, 0)) {
        std::fprintf(stderr, "render_checksum: player error %d\n", BASSMOD_ErrorGetCode());
        return 1;
    }
    for (uint32_t i = 1; i <= INSTRUMENTS; i++)
        BASSMOD_MusicSetSync(SYNC_INSTRUMENT, i | 0xffff0000u, OnSync, i);
    BASSMOD_MusicPlay();
    std::vector<int16_t> pcm(2 * BLOCK_FRAMES);
    for (uint32_t done = 0; done < FRAMES; done += BLOCK_FRAMES, block++) {
        BASSMOD_RenderFrames(pcm.data(), BLOCK_FRAMES);
        for (int16_t s : pcm)
            Mix(static_cast<uint16_t>(s));
    }
    BASSMOD_Free();
    std::printf("%016llx %u frames %u syncs\n", static_cast<unsigned long long>(checksum),
                block * BLOCK_FRAMES, syncsSeen);
    return 0;
}
