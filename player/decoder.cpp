// The decoder: libxmp renders one tick per call, and for every tick we note
// the song position and the notes that really start on it, stamped with the
// music sample at which the tick begins. Those records drive the syncs.
#include "player/player_internal.h"

#include <xmp.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <string>
#include <vector>

bool musicLoaded = false;
PlayState playState = PlayState::Stopped;
uint64_t musicFrames = 0;

namespace {

// Effect numbers as libxmp stores XM events.
constexpr uint8_t FX_TONEPORTA = 0x03;
constexpr uint8_t FX_TONE_VSLIDE = 0x05;
constexpr uint8_t FX_EXTENDED = 0x0e;
constexpr uint8_t EX_NOTE_DELAY = 0x0d;
// libxmp numbers notes an octave above XM's 1..96.
constexpr int XMP_NOTE_OFFSET = 12;
constexpr int XM_LAST_NOTE = 96;
constexpr size_t RECORD_CAPACITY = 1024;

xmp_context decoder = nullptr;
bool loopMusic = false;
int playerVolume = 100;
int playerAmplify = 50; // 50 is unity gain
int panSeparation = -1; // -1: libxmp's default
// What the player's thread touches is never destroyed: the thread may still be
// mixing while an exit() during playback destroys the statics. Nor does it
// stay on the heap once the song is freed, so unloading the library leaks
// nothing.
int16_t tickSamples[XMP_MAX_FRAMESIZE];
uint32_t tickFrames = 0;
uint32_t tickRead = 0;
// On the heap while a song is loaded: a static array would be carried as that
// many zero bytes in the web's side module, whose data is its file image.
alignas(std::vector<TickRecord>) unsigned char recordsStorage[sizeof(std::vector<TickRecord>)];
std::vector<TickRecord> &records = *new (recordsStorage) std::vector<TickRecord>;
size_t recordHead = 0;
size_t recordCount = 0;
xmp_frame_info frameInfo;
std::string musicName;
double decodeSeconds = 0;
uint64_t decodeFrames = 0;

// The loaded module as libxmp holds it.
const xmp_module &Song() {
    xmp_module_info info;
    xmp_get_module_info(decoder, &info);
    return *info.mod;
}

void ApplyPlayerSettings() {
    xmp_set_player(decoder, XMP_PLAYER_INTERP, XMP_INTERP_SPLINE);
    if (panSeparation >= 0)
        xmp_set_player(decoder, XMP_PLAYER_MIX, panSeparation);
}

// Where this tick falls in a row whose note waits for an EDx delay, the note
// starts on tick x; a delay as long as the row never starts it.
int TriggerTick(const xmp_event &event) {
    if (event.fxt == FX_EXTENDED && (event.fxp >> 4) == EX_NOTE_DELAY)
        return event.fxp & 0x0f;
    if (event.f2t == FX_EXTENDED && (event.f2p >> 4) == EX_NOTE_DELAY)
        return event.f2p & 0x0f;
    return 0;
}

bool IsPortamento(const xmp_event &event) {
    return event.fxt == FX_TONEPORTA || event.fxt == FX_TONE_VSLIDE || event.f2t == FX_TONEPORTA ||
           event.f2t == FX_TONE_VSLIDE;
}

// The notes that start on this tick. A pattern delay repeats the row, but its
// notes only start on the first pass (frame counts on through the repeats).
void FindTriggers(const xmp_frame_info &tick, int channels, int instruments, TickRecord *record) {
    record->count = 0;
    for (int channel = 0; channel < channels && channel < XMP_MAX_CHANNELS; channel++) {
        const xmp_channel_info &state = tick.channel_info[channel];
        const xmp_event &event = state.event;
        int note = event.note - XMP_NOTE_OFFSET;
        if (event.note == 0 || note < 1 || note > XM_LAST_NOTE || IsPortamento(event))
            continue;
        int delay = TriggerTick(event);
        if (delay >= tick.speed || tick.frame != delay)
            continue;
        // A note without an instrument plays the channel's last one.
        int instrument = event.ins ? event.ins : state.instrument + 1;
        if (instrument < 1 || instrument > instruments)
            continue;
        record->triggers[record->count++] = {static_cast<uint16_t>(instrument),
                                             static_cast<uint16_t>(note)};
    }
}

void PushRecord(const TickRecord &record) {
    if (recordCount == RECORD_CAPACITY) { // never expected: the output runs behind
        recordHead = (recordHead + 1) % RECORD_CAPACITY;
        recordCount--;
    }
    records[(recordHead + recordCount) % RECORD_CAPACITY] = record;
    recordCount++;
}

void ApplyGain(int16_t *samples, uint32_t count) {
    if (playerVolume == 100 && playerAmplify == 50)
        return;
    int gain = playerVolume * playerAmplify; // unity at 5000
    for (uint32_t i = 0; i < count; i++) {
        int scaled = samples[i] * gain / 5000;
        samples[i] = static_cast<int16_t>(std::clamp(scaled, -32768, 32767));
    }
}

void UpdateCpu(double seconds, uint32_t frames) {
    decodeSeconds += seconds;
    decodeFrames += frames;
    if (decodeFrames >= outputFrequency) {
        double audio = static_cast<double>(decodeFrames) / outputFrequency;
        playerCpu.store(static_cast<float>(100.0 * decodeSeconds / audio),
                        std::memory_order_relaxed);
        decodeSeconds = 0;
        decodeFrames = 0;
    }
}

// Renders the next tick into tickSamples; false when the song is over.
bool RenderTick() {
    auto start = PlayerClock::now();
    if (xmp_play_frame(decoder) != 0)
        return false;
    xmp_get_frame_info(decoder, &frameInfo);
    // Without the loop option the song ends where libxmp would start it again.
    if (!loopMusic && frameInfo.loop_count > 0)
        return false;
    tickFrames = std::min<uint32_t>(frameInfo.buffer_size / 4, XMP_MAX_FRAMESIZE / 2);
    tickRead = 0;
    std::memcpy(tickSamples, frameInfo.buffer, tickFrames * 4);
    ApplyGain(tickSamples, tickFrames * 2);
    TickRecord record;
    record.stamp = musicFrames;
    record.order = static_cast<uint16_t>(frameInfo.pos);
    record.row = static_cast<uint16_t>(frameInfo.row);
    record.frame = static_cast<uint16_t>(frameInfo.frame);
    record.speed = static_cast<uint16_t>(frameInfo.speed);
    const xmp_module &song = Song();
    FindTriggers(frameInfo, song.chn, song.ins, &record);
    PushRecord(record);
    UpdateCpu(std::chrono::duration<double>(PlayerClock::now() - start).count(), tickFrames);
    return true;
}

} // namespace

// A new song replaces the old one only once it has loaded: a refused module
// leaves the current song, its position and its syncs as they were.
int32_t DecoderLoad(const uint8_t *module, uint64_t size, uint32_t flags) {
    xmp_context fresh = xmp_create_context();
    if (!fresh)
        return PLAYER_ERROR_MEMORY;
    int status = xmp_load_module_from_memory(fresh, module, static_cast<long>(size));
    if (status == 0) {
        status = xmp_start_player(fresh, static_cast<int>(outputFrequency), 0);
        if (status != 0)
            xmp_release_module(fresh);
    }
    if (status != 0) {
        xmp_free_context(fresh);
        return status == -XMP_ERROR_SYSTEM ? PLAYER_ERROR_MEMORY : PLAYER_ERROR_FORMAT;
    }
    DecoderFree();
    decoder = fresh;
    records.resize(RECORD_CAPACITY);
    ApplyPlayerSettings();
    musicName = Song().name;
    loopMusic = flags & MUSIC_LOOP;
    musicLoaded = true;
    return PLAYER_OK;
}

void DecoderFree() {
    if (decoder) {
        xmp_end_player(decoder);
        xmp_release_module(decoder);
        xmp_free_context(decoder);
        decoder = nullptr;
    }
    musicLoaded = false;
    playState = PlayState::Stopped;
    tickFrames = tickRead = 0;
    ClearTickRecords();
    std::vector<TickRecord>().swap(records);
}

// Back to the start of the song, as after loading. The ticks already handed
// to the output keep their records: they have yet to be heard.
void DecoderRestart() {
    xmp_end_player(decoder);
    xmp_start_player(decoder, static_cast<int>(outputFrequency), 0);
    ApplyPlayerSettings();
    tickFrames = tickRead = 0;
}

int32_t DecoderSetPosition(uint32_t order, uint32_t row) {
    const xmp_module &song = Song();
    if (order >= static_cast<uint32_t>(song.len) || song.xxo[order] >= song.pat ||
        row >= static_cast<uint32_t>(song.xxp[song.xxo[order]]->rows))
        return PLAYER_ERROR_POSITION;
    DecoderRestart();
    ClearTickRecords();
    xmp_set_position(decoder, static_cast<int>(order));
    if (row > 0)
        xmp_set_row(decoder, static_cast<int>(row));
    return PLAYER_OK;
}

uint32_t FillFromTick(int16_t *out, uint32_t frames) {
    if (playState != PlayState::Playing || frames == 0)
        return 0;
    if (tickRead == tickFrames && !RenderTick()) {
        playState = PlayState::Stopped;
        DecoderRestart();
        return 0;
    }
    uint32_t n = std::min(frames, tickFrames - tickRead);
    std::memcpy(out, tickSamples + 2 * tickRead, n * 4);
    tickRead += n;
    musicFrames += n;
    return n;
}

uint32_t FillMusic(int16_t *out, uint32_t frames) {
    uint32_t done = 0;
    while (done < frames) {
        uint32_t n = FillFromTick(out + 2 * done, frames - done);
        if (n == 0)
            break;
        done += n;
    }
    std::memset(out + 2 * done, 0, (frames - done) * 4);
    return done;
}

bool PopTickRecord(uint64_t stampLimit, TickRecord *record) {
    if (recordCount == 0 || records[recordHead].stamp >= stampLimit)
        return false;
    *record = records[recordHead];
    recordHead = (recordHead + 1) % RECORD_CAPACITY;
    recordCount--;
    return true;
}

bool PeekTickStamp(uint64_t *stamp) {
    if (recordCount == 0)
        return false;
    *stamp = records[recordHead].stamp;
    return true;
}

void ClearTickRecords() {
    recordHead = recordCount = 0;
}

void DecoderSetLoop(bool loop) {
    loopMusic = loop;
}

void DecoderSetGain(uint32_t volume, uint32_t amplify) {
    playerVolume = static_cast<int>(volume);
    playerAmplify = static_cast<int>(amplify);
}

void DecoderSetPanSeparation(uint32_t separation) {
    panSeparation = static_cast<int>(separation);
    if (decoder)
        xmp_set_player(decoder, XMP_PLAYER_MIX, panSeparation);
}

int32_t DecoderSongLength(bool seconds) {
    if (!seconds)
        return Song().len;
    xmp_frame_info timing;
    xmp_get_frame_info(decoder, &timing);
    return (timing.total_time + 500) / 1000;
}

const char *DecoderName() {
    return musicName.c_str();
}
