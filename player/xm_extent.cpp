#include "player/xm_extent.h"

#include "player/player_api.h"

#include <cstring>

namespace {

// The walk reads every header field through a cursor that refuses any byte
// beyond the bound, so a lying header ends the walk instead of the process.
struct Cursor {
    const uint8_t *data;
    uint64_t bound; // bytes that may be read; XM_MAX_EXTENT when unknown
    bool ok;
};

bool Readable(Cursor &c, uint64_t at, uint64_t count) {
    if (at > c.bound || count > c.bound - at)
        c.ok = false;
    return c.ok;
}

uint32_t Read16(Cursor &c, uint64_t at) {
    if (!Readable(c, at, 2))
        return 0;
    return c.data[at] | c.data[at + 1] << 8;
}

uint32_t Read32(Cursor &c, uint64_t at) {
    if (!Readable(c, at, 4))
        return 0;
    return c.data[at] | c.data[at + 1] << 8 | c.data[at + 2] << 16 |
           static_cast<uint32_t>(c.data[at + 3]) << 24;
}

uint8_t Read8(Cursor &c, uint64_t at) {
    return Readable(c, at, 1) ? c.data[at] : 0;
}

constexpr char XM_SIGNATURE[] = "Extended Module: ";
constexpr uint64_t XM_SIGNATURE_SIZE = sizeof XM_SIGNATURE - 1;
constexpr uint32_t XM_MAX_CHANNELS = 64;
constexpr uint32_t XM_MAX_PATTERNS = 256;
constexpr uint32_t XM_MAX_INSTRUMENTS = 255;
constexpr uint32_t XM_MAX_ROWS = 256;
constexpr uint32_t XM_SAMPLE_HEADER_SIZE = 40;
constexpr uint8_t XM_SAMPLE_16BIT = 0x10;
constexpr uint8_t XM_SAMPLE_ADPCM = 0xad; // packed 4-bit samples (reserved byte)

// Patterns follow the song header; returns the offset after the last one.
uint64_t SkipPatterns(Cursor &c, uint64_t at, uint32_t patterns) {
    for (uint32_t i = 0; i < patterns && c.ok; i++) {
        uint32_t headerSize = Read32(c, at);
        uint32_t rows = Read16(c, at + 5);
        uint32_t packedSize = Read16(c, at + 7);
        if (headerSize < 9 || rows == 0 || rows > XM_MAX_ROWS)
            c.ok = false;
        at += headerSize + static_cast<uint64_t>(packedSize);
        Readable(c, at, 0);
    }
    return at;
}

// Bytes of sample data that one sample header announces.
uint64_t SampleDataSize(Cursor &c, uint64_t header) {
    uint64_t length = Read32(c, header);
    uint8_t type = Read8(c, header + 14);
    uint8_t reserved = Read8(c, header + 17);
    if (reserved == XM_SAMPLE_ADPCM && !(type & XM_SAMPLE_16BIT))
        return 16 + (length + 1) / 2;
    return length;
}

// One instrument: its header, its sample headers and their sample data.
uint64_t SkipInstrument(Cursor &c, uint64_t at) {
    uint32_t headerSize = Read32(c, at);
    uint32_t samples = Read16(c, at + 27);
    if (headerSize < 29 && c.ok)
        c.ok = false;
    if (samples == 0 || !c.ok) {
        at += headerSize;
        Readable(c, at, 0);
        return at;
    }
    uint32_t sampleHeaderSize = Read32(c, at + 29);
    if (sampleHeaderSize < XM_SAMPLE_HEADER_SIZE || samples > 255) {
        c.ok = false;
        return at;
    }
    uint64_t headers = at + headerSize;
    uint64_t dataSize = 0;
    for (uint32_t i = 0; i < samples && c.ok; i++)
        dataSize += SampleDataSize(c, headers + static_cast<uint64_t>(i) * sampleHeaderSize);
    at = headers + static_cast<uint64_t>(samples) * sampleHeaderSize + dataSize;
    Readable(c, at, 0);
    return at;
}

} // namespace

int32_t XmExtent(const uint8_t *data, uint64_t limit, uint64_t *extent) {
    Cursor c{data, limit ? limit : XM_MAX_EXTENT, data != nullptr};
    if (!Readable(c, 0, XM_SIGNATURE_SIZE) ||
        std::memcmp(data, XM_SIGNATURE, XM_SIGNATURE_SIZE) != 0)
        return PLAYER_ERROR_FORMAT;
    uint32_t version = Read16(c, 58);
    uint32_t headerSize = Read32(c, 60);
    uint32_t channels = Read16(c, 68);
    uint32_t patterns = Read16(c, 70);
    uint32_t instruments = Read16(c, 72);
    // Only the layout of format 1.04 (patterns before instruments) is walked.
    if (!c.ok || version != 0x0104 || headerSize < 20 || channels == 0 ||
        channels > XM_MAX_CHANNELS || patterns > XM_MAX_PATTERNS ||
        instruments > XM_MAX_INSTRUMENTS)
        return PLAYER_ERROR_FORMAT;
    uint64_t at = 60 + static_cast<uint64_t>(headerSize);
    Readable(c, at, 0); // a song header longer than the module itself
    at = SkipPatterns(c, at, patterns);
    for (uint32_t i = 0; i < instruments && c.ok; i++)
        at = SkipInstrument(c, at);
    if (!c.ok)
        return PLAYER_ERROR_FORMAT;
    *extent = at;
    return PLAYER_OK;
}
