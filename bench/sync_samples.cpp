// Where the music's three position syncs fall, to the sample: renders the
// module offline one sample frame at a time (a sync fires inside the render
// call whose frame starts its tick) and prints the frame of each, then
// writes the render up to the last of them plus a second as raw 16-bit
// stereo for bench/web_sync.js, which finds it again in what the page played.
// Usage: sync_samples MODULE.xm OUT.pcm
#include "player/player_api.h"

#include <cstdio>
#include <vector>

namespace {

constexpr uint32_t FREQUENCY = 44100;
constexpr uint32_t ORDERS[] = {2, 4, 6}; // the slide, the object, the tunnel
constexpr int SYNCS = 3;
uint64_t rendered = 0;
uint64_t firedAt[SYNCS] = {};
int fired = 0;

void OnSync(uint32_t, uint32_t, uint32_t user) {
    firedAt[user] = rendered;
    fired++;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 3 || !BASSMOD_InitOffline(FREQUENCY, 0) ||
        !BASSMOD_MusicLoad(0, argv[1], 0, 0, 0)) {
        std::fprintf(stderr,
                     "sync_samples: usage: sync_samples MODULE.xm OUT.pcm (player error %d)\n",
                     BASSMOD_ErrorGetCode());
        return 1;
    }
    for (uint32_t i = 0; i < SYNCS; i++)
        BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, ORDERS[i], OnSync, i);
    BASSMOD_MusicPlay();
    std::vector<int16_t> pcm;
    int16_t frame[2];
    uint64_t end = 0;
    while (fired < SYNCS || rendered < end) {
        if (BASSMOD_RenderFrames(frame, 1) != 1 || rendered > 600ull * FREQUENCY) {
            std::fprintf(stderr, "sync_samples: the render stopped at frame %llu\n",
                         static_cast<unsigned long long>(rendered));
            return 1;
        }
        pcm.insert(pcm.end(), frame, frame + 2);
        rendered++;
        if (fired == SYNCS && end == 0)
            end = rendered + FREQUENCY;
    }
    BASSMOD_Free();
    FILE *out = std::fopen(argv[2], "wb");
    if (out == nullptr || std::fwrite(pcm.data(), sizeof pcm[0], pcm.size(), out) != pcm.size() ||
        std::fclose(out) != 0) {
        std::fprintf(stderr, "sync_samples: cannot write %s\n", argv[2]);
        return 1;
    }
    for (int i = 0; i < SYNCS; i++)
        std::printf("order %u: frame %llu\n", ORDERS[i],
                    static_cast<unsigned long long>(firedAt[i]));
    return 0;
}
