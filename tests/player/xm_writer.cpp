#include "tests/player/xm_writer.h"

namespace {

// Rewrites the 8-bit samples at the module's end as 4-bit ADPCM: a table of
// deltas -48, 0, +48 and two indices a byte, so a sample of n frames takes
// 16 + (n + 1) / 2 bytes.
std::vector<uint8_t> PackedToAdpcm(const std::vector<uint8_t> &module, const XmSong &song) {
    const size_t headers = XM_INSTRUMENT_HEADER_SIZE + XM_SAMPLE_HEADER_SIZE,
                 each = headers + static_cast<size_t>(song.sampleLength);
    size_t at = module.size() - each * static_cast<size_t>(song.instruments);
    std::vector<uint8_t> out(module.data(), module.data() + at);
    for (; at < module.size(); at += each) {
        out.insert(out.end(), module.data() + at, module.data() + at + headers);
        out[out.size() - 23] = 0xad; // the sample header's byte before its name
        out.insert(out.end(), {static_cast<uint8_t>(-48), 0, 48});
        out.resize(out.size() + 13, 0);
        for (int i = 0; i < (song.sampleLength + 1) / 2; i++)
            out.push_back(i % 16 == 0 ? 0x12 : 0x11);
    }
    return out;
}

} // namespace

std::vector<uint8_t> WriteXm(const XmSong &song) {
    XmModule module;
    module.title = song.name;
    module.tracker = "test writer";
    module.channels = song.channels;
    module.speed = song.speed;
    module.tempo = song.bpm;
    module.orders = song.orders;
    for (const SongPattern &notes : song.patterns) {
        XmPattern &pattern = module.patterns.emplace_back(EmptyPattern(notes.rows, song.channels));
        for (const SongCell &c : notes.cells)
            pattern.At(c.row, c.channel) = {c.note, c.instrument, 0, c.effect, c.param};
    }
    XmInstrument instrument;
    instrument.sample.eightBit = true;
    instrument.sample.loopLength = song.sampleLength; // forward, over the whole sample
    for (int i = 0; i < song.sampleLength; i++)       // 16 frames low, 16 high
        instrument.sample.frames.push_back(static_cast<int16_t>(i / 16 % 2 ? 48 * 256 : -48 * 256));
    module.instruments.assign(static_cast<size_t>(song.instruments), instrument);
    std::vector<uint8_t> bytes = SerializeXm(module);
    return song.adpcm ? PackedToAdpcm(bytes, song) : bytes;
}
