// In-memory form of an XM module (format 1.04) and its serialisation.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One pattern cell. note: 0 none, 1..96 (1 = C-0, 49 = C-4), 97 key off.
// volume: the volume column byte (0x10 + v sets volume v, 0xC0 + p pans...).
struct XmCell {
    uint8_t note = 0;
    uint8_t instrument = 0;
    uint8_t volume = 0;
    uint8_t effect = 0;
    uint8_t param = 0;
};

constexpr uint8_t XM_KEY_OFF = 97;

struct XmPattern {
    int rows = 64;
    int channels = 0;
    std::vector<XmCell> cells; // row-major: rows x channels

    XmCell &At(int row, int channel) {
        return cells[static_cast<size_t>(row * channels + channel)];
    }
    const XmCell &At(int row, int channel) const {
        return cells[static_cast<size_t>(row * channels + channel)];
    }
};

XmPattern EmptyPattern(int rows, int channels);

// Envelope points are (tick, value 0..64); sustain/loop are point indices or -1.
struct XmEnvelope {
    std::vector<std::pair<uint16_t, uint16_t>> points;
    int sustain = -1;
    int loopStart = -1;
    int loopEnd = -1;
};

// Sample frames are signed 16-bit; eightBit stores them as their high bytes.
struct XmSample {
    std::string name;
    std::vector<int16_t> frames;
    bool eightBit = false;
    int loopStart = 0;  // in frames
    int loopLength = 0; // in frames; 0 means no loop
    uint8_t volume = 64;
    int8_t finetune = 0;
    uint8_t panning = 128;
    int8_t relativeNote = 0;
};

struct XmInstrument {
    std::string name;
    XmSample sample;
    XmEnvelope volumeEnvelope;
    XmEnvelope panningEnvelope;
    uint16_t fadeout = 0;
    uint8_t vibratoType = 0;
    uint8_t vibratoSweep = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoRate = 0;
};

struct XmModule {
    std::string title;
    std::string tracker;
    int channels = 0;
    int restart = 0;
    int speed = 6;
    int tempo = 125;
    std::vector<uint8_t> orders;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

constexpr uint16_t XM_VERSION = 0x0104;
constexpr uint32_t XM_HEADER_SIZE = 276;
constexpr uint32_t XM_INSTRUMENT_HEADER_SIZE = 263;
constexpr uint32_t XM_SAMPLE_HEADER_SIZE = 40;

// The whole file image: song header, packed patterns, instruments with their
// delta-encoded sample data.
std::vector<uint8_t> SerializeXm(const XmModule &module);
