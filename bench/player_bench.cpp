// Player figures: decoding CPU per second of music (offline, so nothing but
// the decoder is timed), and how sync delivery lines up with the output: for
// every tick, the delay from the moment its first sample was handed to SDL to
// the moment its syncs were delivered, and the delivery's lateness against the
// moment our accounting of the device buffer says the sample is heard.
//
// Usage: player_bench [module.xm]   (without a module, a song of the demo's
// shape is written: 14 channels, 25 instruments, the same order list).
#include "player/player_internal.h"
#include "tests/player/xm_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

namespace {

constexpr int REPEATS = 5;
constexpr uint32_t MUSIC_SECONDS = 60;
constexpr uint32_t BLOCK = 882; // one 50 Hz frame of the demo

XmSong DemoShapedSong() {
    XmSong song;
    song.name = "bench";
    song.channels = 14;
    song.instruments = 25;
    song.sampleLength = 8192;
    song.orders = {0, 1, 0, 2, 3, 4, 9, 10, 9, 10, 13, 14, 15, 14};
    for (int p = 0; p < 16; p++) {
        SongPattern pattern;
        for (int ch = 0; ch < 14; ch++) {
            for (int row = ch % 4; row < 64; row += 4) {
                uint8_t note = static_cast<uint8_t>(25 + (row + 3 * ch + p) % 48);
                uint8_t instrument = static_cast<uint8_t>(1 + (ch + row / 4) % 25);
                pattern.cells.push_back({row, ch, note, instrument});
            }
        }
        if (p == 14)
            pattern.cells.push_back({63, 13, 0, 0, 0x0b, 4});
        song.patterns.push_back(pattern);
    }
    return song;
}

double ThreadCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[static_cast<size_t>(p * (v.size() - 1))];
}

bool LoadSong(const std::vector<uint8_t> &module, const char *path) {
    if (path)
        return BASSMOD_MusicLoad(0, path, 0, 0, MUSIC_LOOP) != 0;
    return BASSMOD_MusicLoad(1, module.data(), 0, 0, MUSIC_LOOP) != 0;
}

void DecodeCpu(const std::vector<uint8_t> &module, const char *path) {
    std::vector<double> perSecond;
    std::vector<int16_t> buffer(2 * BLOCK);
    for (int r = 0; r < REPEATS; r++) {
        BASSMOD_InitOffline(44100, 0);
        if (!LoadSong(module, path)) {
            std::printf("load failed: error %d\n", BASSMOD_ErrorGetCode());
            std::exit(1);
        }
        BASSMOD_MusicPlay();
        double start = ThreadCpuSeconds();
        for (uint32_t done = 0; done < MUSIC_SECONDS * 44100; done += BLOCK)
            BASSMOD_RenderFrames(buffer.data(), BLOCK);
        perSecond.push_back((ThreadCpuSeconds() - start) / MUSIC_SECONDS);
        BASSMOD_Free();
    }
    double median = Median(perSecond);
    std::printf(
        "player CPU per second of music: median %.2f ms (%.2f %% of one core), "
        "min %.2f ms, max %.2f ms over %d runs of %u s\n",
        median * 1e3, median * 100, *std::min_element(perSecond.begin(), perSecond.end()) * 1e3,
        *std::max_element(perSecond.begin(), perSecond.end()) * 1e3, REPEATS, MUSIC_SECONDS);
}

uint64_t framesRendered = 0;
std::vector<std::pair<uint32_t, uint64_t>> positionSyncs;

void OnPositionSync(uint32_t, uint32_t, uint32_t user) {
    positionSyncs.push_back({user, framesRendered});
}

// Where the demo's three position syncs (orders 2, 4 and 6, row 0) land, to
// the frame: rendered one frame at a time, a sync arrives in its own frame.
void PositionSyncSamples(const std::vector<uint8_t> &module, const char *path) {
    BASSMOD_InitOffline(44100, 0);
    LoadSong(module, path);
    for (uint32_t order : {2u, 4u, 6u})
        BASSMOD_MusicSetSync(SYNC_ONETIME_POSITION, order, OnPositionSync, order);
    BASSMOD_MusicPlay();
    int16_t frame[2];
    for (framesRendered = 0; positionSyncs.size() < 3 && framesRendered < 60 * 44100;
         framesRendered++)
        BASSMOD_RenderFrames(frame, 1);
    BASSMOD_Free();
    for (auto [order, sample] : positionSyncs) {
        std::printf("position sync order %u row 0: sample %llu (%.3f s)\n", order,
                    static_cast<unsigned long long>(sample), sample / 44100.0);
    }
}

// Peak and full-scale samples over the same stretch: the default
// amplification must leave the song unclipped.
void OutputLevels(const std::vector<uint8_t> &module, const char *path) {
    BASSMOD_InitOffline(44100, 0);
    LoadSong(module, path);
    BASSMOD_MusicPlay();
    std::vector<int16_t> buffer(2 * BLOCK);
    int peak = 0;
    uint64_t fullScale = 0;
    for (uint32_t done = 0; done < MUSIC_SECONDS * 44100; done += BLOCK) {
        BASSMOD_RenderFrames(buffer.data(), BLOCK);
        for (int16_t v : buffer) {
            peak = std::max(peak, std::abs(static_cast<int>(v)));
            fullScale += v == 32767 || v == -32768;
        }
    }
    BASSMOD_Free();
    std::printf("output level over %u s: peak %d of 32767, %llu samples at full scale\n",
                MUSIC_SECONDS, peak, static_cast<unsigned long long>(fullScale));
}

struct Delivery {
    double sinceHandedOn; // ms from the block leaving for SDL to delivery
    double lateness;      // ms after the accounted moment the sample is heard
};
std::vector<Delivery> deliveries;

void OnTickDelivered(uint64_t stamp) {
    auto now = PlayerClock::now();
    PlayerClock::time_point handedOn, heard;
    if (OutputFrameTimes(stamp, &handedOn, &heard) && deliveries.size() < deliveries.capacity()) {
        deliveries.push_back({std::chrono::duration<double, std::milli>(now - handedOn).count(),
                              std::chrono::duration<double, std::milli>(now - heard).count()});
    }
}

void DeliveryTiming(const char *label, int32_t device, const std::vector<uint8_t> &module,
                    const char *path) {
    deliveries.clear();
    deliveries.reserve(100000);
    tickDeliveredHook = OnTickDelivered;
    if (!BASSMOD_Init(device, 44100, 0) || !LoadSong(module, path)) {
        std::printf("%s: cannot play (error %d)\n", label, BASSMOD_ErrorGetCode());
        BASSMOD_Free();
        return;
    }
    BASSMOD_MusicPlay();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    BASSMOD_Free(); // joins the player's thread: `deliveries` is ours again
    tickDeliveredHook = nullptr;
    std::vector<double> since, late;
    for (const Delivery &d : deliveries) {
        since.push_back(d.sinceHandedOn);
        late.push_back(d.lateness);
    }
    std::printf("%s: %zu ticks; delivery after leaving for SDL: median %.2f ms, p95 %.2f ms, "
                "max %.2f ms; after the accounted moment heard: median %.3f ms, p95 %.3f ms, "
                "max %.3f ms\n",
                label, deliveries.size(), Median(since), Percentile(since, 0.95),
                Percentile(since, 1.0), Median(late), Percentile(late, 0.95),
                Percentile(late, 1.0));
}

} // namespace

int main(int argc, char **argv) {
    const char *path = argc > 1 ? argv[1] : nullptr;
    std::vector<uint8_t> module = WriteXm(DemoShapedSong());
    DecodeCpu(module, path);
    OutputLevels(module, path);
    PositionSyncSamples(module, path);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    DeliveryTiming("SDL output (dummy driver, 1024-frame device buffer)", -1, module, path);
    unsetenv("SDL_AUDIODRIVER");
    DeliveryTiming("silent clock (no device)", 0, module, path);
    return 0;
}
