// Sound output and the player's thread. With a sound device, the device's
// thread pulls the music through OutputFillBlock; without one, the player's
// thread pulls it itself at the pace of the clock and throws it away, so the
// song and its syncs advance in real time either way. The player's thread
// delivers each tick's syncs when the tick's first sample is being heard.
// Where the platform has no threads (the web) the same pass runs from a timer
// (player_thread.h).
#include "player/output_device.h"
#include "player/player_thread.h"

#include <algorithm>
#include <vector>

namespace {

// A stretch of output handed on at `time`: it starts to be heard `latency`
// frames later, its music (`count` frames from `start`) first, then silence.
struct Block {
    PlayerClock::time_point time;
    uint64_t start;
    uint32_t count;
    uint32_t latency;
};

constexpr size_t BLOCK_HISTORY = 32;
constexpr uint32_t CLOCK_CHUNK_FRAMES = 441; // the silent clock's step: 10 ms
constexpr auto LONGEST_WAIT = std::chrono::milliseconds(5);
constexpr auto LONGEST_CATCH_UP = std::chrono::seconds(1);

bool deviceOpen = false;
bool silentOutput = false;
Block blocks[BLOCK_HISTORY];
size_t blockCount = 0; // total ever recorded; the last BLOCK_HISTORY are kept
PlayerClock::time_point clockOrigin;
uint64_t clockFrames = 0;
int16_t clockScratch[2 * CLOCK_CHUNK_FRAMES]; // no destructor: see tickSamples
PlayerClock::time_point playingSince;

PlayerClock::duration FramesToTime(uint64_t frames) {
    return std::chrono::duration_cast<PlayerClock::duration>(
        std::chrono::duration<double>(static_cast<double>(frames) / outputFrequency));
}

void RecordBlock(PlayerClock::time_point time, uint64_t start, uint32_t count, uint32_t latency) {
    blocks[blockCount % BLOCK_HISTORY] = {time, start, count, latency};
    blockCount++;
}

// The music frame being heard now: everything before it has been heard.
uint64_t HeardPosition(PlayerClock::time_point now) {
    size_t oldest = blockCount > BLOCK_HISTORY ? blockCount - BLOCK_HISTORY : 0;
    for (size_t i = blockCount; i > oldest; i--) {
        const Block &b = blocks[(i - 1) % BLOCK_HISTORY];
        auto heardFrom = b.time + FramesToTime(b.latency);
        if (heardFrom <= now) {
            double elapsed = std::chrono::duration<double>(now - heardFrom).count();
            auto played = static_cast<uint64_t>(elapsed * outputFrequency);
            return b.start + std::min<uint64_t>(b.count, played);
        }
    }
    return blockCount > oldest ? blocks[oldest % BLOCK_HISTORY].start : musicFrames;
}

const Block *BlockHolding(uint64_t stamp) {
    size_t oldest = blockCount > BLOCK_HISTORY ? blockCount - BLOCK_HISTORY : 0;
    for (size_t i = blockCount; i > oldest; i--) {
        const Block &b = blocks[(i - 1) % BLOCK_HISTORY];
        if (stamp >= b.start && stamp < b.start + b.count)
            return &b;
    }
    return nullptr;
}

// When the music frame `stamp` will be heard, if it has been handed on yet.
bool HeardTime(uint64_t stamp, PlayerClock::time_point *when) {
    const Block *b = BlockHolding(stamp);
    if (b)
        *when = b->time + FramesToTime(b->latency + (stamp - b->start));
    return b != nullptr;
}

// The silent output: pull music in 10 ms steps as the clock passes them. A
// step whose time came before the music was (re)started stays silent, even
// when the thread gets to it late: the music cannot have been heard then.
void RunSilentClock(PlayerClock::time_point now) {
    if (now - (clockOrigin + FramesToTime(clockFrames)) > LONGEST_CATCH_UP)
        clockOrigin = now - FramesToTime(clockFrames); // stalled: don't race to catch up
    for (auto due = clockOrigin + FramesToTime(clockFrames); due <= now;
         due = clockOrigin + FramesToTime(clockFrames)) {
        uint64_t start = musicFrames;
        uint32_t count = 0;
        if (due >= playingSince)
            count = FillMusic(clockScratch, CLOCK_CHUNK_FRAMES);
        RecordBlock(due, start, count, 0);
        clockFrames += CLOCK_CHUNK_FRAMES;
    }
}

// One pass of the player's thread: the silent clock's steps, the syncs now
// heard; returns when the next tick is heard or the clock's next step is due.
PlayerClock::time_point RunPlayerPass(std::unique_lock<std::mutex> &lock) {
    auto now = PlayerClock::now();
    if (silentOutput)
        RunSilentClock(now);
    uint64_t heard = HeardPosition(now);
    lock.unlock();
    DeliverDue(heard);
    lock.lock();
    auto wake = PlayerClock::now() + LONGEST_WAIT;
    PlayerClock::time_point when;
    if (PeekTickStamp(&heard) && HeardTime(heard, &when))
        wake = std::min(wake, when);
    if (silentOutput)
        wake = std::min(wake, clockOrigin + FramesToTime(clockFrames));
    return wake;
}

} // namespace

void OutputFillBlock(int16_t *out, uint32_t frames, PlayerClock::time_point now, uint32_t latency) {
    std::lock_guard lock(playerLock);
    uint64_t start = musicFrames;
    uint32_t count = FillMusic(out, frames);
    RecordBlock(now, start, count, latency);
}

int32_t OutputOpen(int32_t device, uint32_t frequency) {
    outputFrequency = frequency;
    blockCount = 0;
    deviceOpen = device != 0 && DeviceOpen(device);
    silentOutput = !deviceOpen;
    if (silentOutput && device > 0) {
        OutputClose();
        return PLAYER_ERROR_DEVICE;
    }
    clockOrigin = PlayerClock::now();
    clockFrames = 0;
    StartPlayerThread(RunPlayerPass);
    if (deviceOpen)
        DeviceStart();
    return PLAYER_OK;
}

// Called without playerLock: the threads being stopped need it to finish.
void OutputClose() {
    DeviceClose();
    deviceOpen = false;
    StopPlayerThread();
}

void OutputPlayStarted() {
    playingSince = PlayerClock::now();
    WakePlayerThread();
}

// Called on the main thread, without playerLock, by a device that will
// never pull (the web's audio that the browser does not let run): from now
// on the silent clock advances the music from where it is.
void OutputFallBackToSilence() {
    {
        std::lock_guard lock(playerLock);
        clockOrigin = PlayerClock::now();
        clockFrames = 0;
        silentOutput = true;
        deviceOpen = false;
    }
    DeviceClose();
    WakePlayerThread();
}

bool OutputFrameTimes(uint64_t stamp, PlayerClock::time_point *handedOn,
                      PlayerClock::time_point *heard) {
    const Block *b = BlockHolding(stamp);
    if (b)
        *handedOn = b->time;
    return b && HeardTime(stamp, heard);
}

bool OutputIsPlayerThread() {
    return OnPlayerThread();
}

const char *OutputDeviceName(int32_t device) {
    return device == 0 ? "No sound" : DeviceName(device);
}
