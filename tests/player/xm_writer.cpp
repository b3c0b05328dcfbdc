#include "tests/player/xm_writer.h"

namespace {

// Little-endian, as every XM field.
void Put(std::vector<uint8_t> &out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; i++)
        out.push_back(static_cast<uint8_t>(value >> 8 * i));
}

void PutText(std::vector<uint8_t> &out, const std::string &text, size_t size) {
    std::string field = text.substr(0, size);
    field.resize(size, '\0');
    out.insert(out.end(), field.begin(), field.end());
}

void WriteHeader(std::vector<uint8_t> &out, const XmSong &song) {
    PutText(out, "Extended Module: ", 17);
    PutText(out, song.name, 20);
    Put(out, 0x1a, 1);
    PutText(out, "test writer", 20);
    Put(out, 0x0104, 2);
    Put(out, 276, 4);
    // Flags 1: linear frequencies.
    for (size_t field : {song.orders.size(), size_t{0}, size_t(song.channels), song.patterns.size(),
                         size_t(song.instruments), size_t{1}, size_t(song.speed), size_t(song.bpm)})
        Put(out, static_cast<uint32_t>(field), 2);
    std::vector<uint8_t> orders = song.orders;
    orders.resize(256, 0);
    out.insert(out.end(), orders.begin(), orders.end());
}

// Every cell is written unpacked (five bytes, the volume column empty), which
// XM allows.
void WritePattern(std::vector<uint8_t> &out, const XmPattern &pattern, int channels) {
    std::vector<uint8_t> data(static_cast<size_t>(pattern.rows) * channels * 5, 0);
    for (const XmCell &c : pattern.cells) {
        uint8_t *cell = &data[(static_cast<size_t>(c.row) * channels + c.channel) * 5];
        cell[0] = c.note;
        cell[1] = c.instrument;
        cell[3] = c.effect;
        cell[4] = c.param;
    }
    Put(out, 9, 4);
    Put(out, 0, 1);
    Put(out, pattern.rows, 2);
    Put(out, static_cast<uint32_t>(data.size()), 2);
    out.insert(out.end(), data.begin(), data.end());
}

void WriteInstrument(std::vector<uint8_t> &out, int index, const XmSong &song) {
    size_t start = out.size();
    Put(out, 263, 4);
    PutText(out, "instrument " + std::to_string(index), 22);
    Put(out, 0, 1);
    Put(out, 1, 2);
    Put(out, 40, 4);
    out.resize(start + 263, 0); // keymap, envelopes off, no vibrato, no fadeout
    // Looped over the whole sample, forward, 8-bit: volume 64, centre pan.
    for (uint32_t field : {song.sampleLength, 0, song.sampleLength})
        Put(out, field, 4);
    for (uint32_t field : {64, 0, 1, 128, 0, song.adpcm ? 0xad : 0})
        Put(out, field, 1);
    PutText(out, "sample", 22);
    if (song.adpcm) { // deltas -48, 0, +48 by table index, as a square wave
        uint8_t table[16] = {static_cast<uint8_t>(-48), 0, 48};
        out.insert(out.end(), table, table + 16);
        for (int i = 0; i < (song.sampleLength + 1) / 2; i++)
            Put(out, i % 16 == 0 ? 0x12 : 0x11, 1);
        return;
    }
    // A square wave, delta-coded as XM stores samples.
    for (int i = 0; i < song.sampleLength; i++)
        Put(out, i == 0 ? 0xd0 : i % 16 == 0 ? (i / 16 % 2 ? 0x60 : 0xa0) : 0, 1);
}

} // namespace

std::vector<uint8_t> WriteXm(const XmSong &song) {
    std::vector<uint8_t> out;
    WriteHeader(out, song);
    for (const XmPattern &p : song.patterns)
        WritePattern(out, p, song.channels);
    for (int i = 1; i <= song.instruments; i++)
        WriteInstrument(out, i, song);
    return out;
}
