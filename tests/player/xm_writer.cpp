#include "tests/player/xm_writer.h"

#include <algorithm>
#include <cstring>

namespace {

void Put8(std::vector<uint8_t> &out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v));
}

void Put16(std::vector<uint8_t> &out, unsigned v) {
    Put8(out, v & 0xff);
    Put8(out, v >> 8 & 0xff);
}

void Put32(std::vector<uint8_t> &out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

void PutText(std::vector<uint8_t> &out, const std::string &text, size_t size) {
    for (size_t i = 0; i < size; i++) {
        Put8(out, i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
    }
}

void WriteHeader(std::vector<uint8_t> &out, const XmSong &song) {
    PutText(out, "Extended Module: ", 17);
    PutText(out, song.name, 20);
    Put8(out, 0x1a);
    PutText(out, "test writer", 20);
    Put16(out, 0x0104);
    Put32(out, 276);
    Put16(out, static_cast<unsigned>(song.orders.size()));
    Put16(out, song.restart);
    Put16(out, song.channels);
    Put16(out, static_cast<unsigned>(song.patterns.size()));
    Put16(out, song.instruments);
    Put16(out, 1); // linear frequencies
    Put16(out, song.speed);
    Put16(out, song.bpm);
    for (size_t i = 0; i < 256; i++) {
        Put8(out, i < song.orders.size() ? song.orders[i] : 0);
    }
}

// Every cell is written unpacked (five bytes), which XM allows.
void WritePattern(std::vector<uint8_t> &out, const XmPattern &pattern, int channels) {
    std::vector<uint8_t> data(static_cast<size_t>(pattern.rows) * channels * 5, 0);
    for (const XmCell &c : pattern.cells) {
        uint8_t *cell = &data[(static_cast<size_t>(c.row) * channels + c.channel) * 5];
        cell[0] = c.note;
        cell[1] = c.instrument;
        cell[2] = c.volume;
        cell[3] = c.effect;
        cell[4] = c.param;
    }
    Put32(out, 9);
    Put8(out, 0);
    Put16(out, pattern.rows);
    Put16(out, static_cast<unsigned>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

void WriteInstrument(std::vector<uint8_t> &out, int index, int sampleLength) {
    size_t start = out.size();
    Put32(out, 263);
    PutText(out, "instrument " + std::to_string(index), 22);
    Put8(out, 0);
    Put16(out, 1);
    Put32(out, 40);
    out.resize(start + 263, 0); // keymap, envelopes off, no vibrato, no fadeout
    Put32(out, sampleLength);
    Put32(out, 0);
    Put32(out, sampleLength); // loop over the whole sample
    Put8(out, 64);
    Put8(out, 0);
    Put8(out, 1); // forward loop, 8-bit
    Put8(out, 128);
    Put8(out, 0);
    Put8(out, 0);
    PutText(out, "sample", 22);
    // A square wave, delta-coded as XM stores samples.
    int previous = 0;
    for (int i = 0; i < sampleLength; i++) {
        int value = (i / 16) % 2 ? 48 : -48;
        Put8(out, static_cast<unsigned>(value - previous) & 0xff);
        previous = value;
    }
}

} // namespace

std::vector<uint8_t> WriteXm(const XmSong &song) {
    std::vector<uint8_t> out;
    WriteHeader(out, song);
    for (const XmPattern &p : song.patterns) {
        WritePattern(out, p, song.channels);
    }
    for (int i = 1; i <= song.instruments; i++) {
        WriteInstrument(out, i, song.sampleLength);
    }
    return out;
}
