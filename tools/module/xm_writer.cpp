#include "tools/module/xm_writer.h"

#include <algorithm>
#include <stdexcept>

namespace {

struct Writer {
    std::vector<uint8_t> bytes;

    void U8(unsigned v) {
        bytes.push_back(static_cast<uint8_t>(v));
    }
    void U16(unsigned v) {
        U8(v & 0xff);
        U8(v >> 8 & 0xff);
    }
    void U32(uint32_t v) {
        U16(v & 0xffff);
        U16(v >> 16);
    }
    // Fixed-size text field, padded with zero bytes (names may fill it).
    void Text(const std::string &s, size_t size) {
        if (s.size() > size)
            throw std::runtime_error("name too long for its field: " + s);
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.insert(bytes.end(), size - s.size(), 0);
    }
    void Zeros(size_t count) {
        bytes.insert(bytes.end(), count, 0);
    }
};

void SongHeader(Writer &w, const XmModule &m) {
    w.Text("Extended Module: ", 17);
    w.Text(m.title, 20);
    w.U8(0x1a);
    w.Text(m.tracker, 20);
    w.U16(XM_VERSION);
    size_t sizeAt = w.bytes.size();
    w.U32(XM_HEADER_SIZE);
    w.U16(static_cast<unsigned>(m.orders.size()));
    w.U16(static_cast<unsigned>(m.restart));
    w.U16(static_cast<unsigned>(m.channels));
    w.U16(static_cast<unsigned>(m.patterns.size()));
    w.U16(static_cast<unsigned>(m.instruments.size()));
    w.U16(1); // linear frequency table
    w.U16(static_cast<unsigned>(m.speed));
    w.U16(static_cast<unsigned>(m.tempo));
    std::vector<uint8_t> orders = m.orders;
    orders.resize(256, 0);
    w.bytes.insert(w.bytes.end(), orders.begin(), orders.end());
    if (w.bytes.size() - sizeAt != XM_HEADER_SIZE)
        throw std::logic_error("song header size");
}

// Every cell is packed: a flag byte naming the fields that follow.
void PackCell(std::vector<uint8_t> &out, const XmCell &c) {
    uint8_t flags = 0x80;
    flags |= c.note ? 0x01 : 0;
    flags |= c.instrument ? 0x02 : 0;
    flags |= c.volume ? 0x04 : 0;
    flags |= c.effect ? 0x08 : 0;
    flags |= c.param ? 0x10 : 0;
    out.push_back(flags);
    for (uint8_t v : {c.note, c.instrument, c.volume, c.effect, c.param})
        if (v)
            out.push_back(v);
}

void Pattern(Writer &w, const XmPattern &p) {
    std::vector<uint8_t> packed;
    for (const XmCell &c : p.cells)
        PackCell(packed, c);
    if (packed.size() > 0xffff)
        throw std::runtime_error("pattern too large");
    w.U32(9);
    w.U8(0);
    w.U16(static_cast<unsigned>(p.rows));
    w.U16(static_cast<unsigned>(packed.size()));
    w.bytes.insert(w.bytes.end(), packed.begin(), packed.end());
}

void Envelope(Writer &w, const XmEnvelope &e) {
    if (e.points.size() > 12)
        throw std::runtime_error("envelope has more than 12 points");
    for (auto [tick, value] : e.points) {
        w.U16(tick);
        w.U16(value);
    }
    w.Zeros(4 * (12 - e.points.size()));
}

unsigned EnvelopeType(const XmEnvelope &e) {
    unsigned type = e.points.empty() ? 0 : 1;
    type |= e.sustain >= 0 ? 2 : 0;
    type |= e.loopStart >= 0 ? 4 : 0;
    return type;
}

unsigned PointIndex(int index) {
    return index < 0 ? 0 : static_cast<unsigned>(index);
}

void SampleHeader(Writer &w, const XmSample &s) {
    uint32_t width = s.eightBit ? 1 : 2;
    w.U32(static_cast<uint32_t>(s.frames.size()) * width);
    w.U32(static_cast<uint32_t>(s.loopStart) * width);
    w.U32(static_cast<uint32_t>(s.loopLength) * width);
    w.U8(s.volume);
    w.U8(static_cast<uint8_t>(s.finetune));
    w.U8((s.loopLength > 0 ? 1 : 0) | (s.eightBit ? 0 : 0x10));
    w.U8(s.panning);
    w.U8(static_cast<uint8_t>(s.relativeNote));
    w.U8(0); // plain delta encoding
    w.Text(s.name, 22);
}

// Sample data are stored as differences between successive frames.
void SampleData(Writer &w, const XmSample &s) {
    int previous = 0;
    for (int16_t frame : s.frames) {
        int value = s.eightBit ? frame >> 8 : frame;
        int delta = value - previous;
        previous = value;
        if (s.eightBit)
            w.U8(static_cast<unsigned>(delta) & 0xff);
        else
            w.U16(static_cast<unsigned>(delta) & 0xffff);
    }
}

void Instrument(Writer &w, const XmInstrument &ins) {
    size_t start = w.bytes.size();
    w.U32(XM_INSTRUMENT_HEADER_SIZE);
    w.Text(ins.name, 22);
    w.U8(0);
    w.U16(1);
    w.U32(XM_SAMPLE_HEADER_SIZE);
    w.Zeros(96); // every key plays the one sample
    Envelope(w, ins.volumeEnvelope);
    Envelope(w, ins.panningEnvelope);
    for (const XmEnvelope *e : {&ins.volumeEnvelope, &ins.panningEnvelope})
        w.U8(static_cast<unsigned>(e->points.size()));
    for (const XmEnvelope *e : {&ins.volumeEnvelope, &ins.panningEnvelope}) {
        w.U8(PointIndex(e->sustain));
        w.U8(PointIndex(e->loopStart));
        w.U8(PointIndex(e->loopEnd));
    }
    w.U8(EnvelopeType(ins.volumeEnvelope));
    w.U8(EnvelopeType(ins.panningEnvelope));
    w.U8(ins.vibratoType);
    w.U8(ins.vibratoSweep);
    w.U8(ins.vibratoDepth);
    w.U8(ins.vibratoRate);
    w.U16(ins.fadeout);
    w.Zeros(start + XM_INSTRUMENT_HEADER_SIZE - w.bytes.size());
    SampleHeader(w, ins.sample);
    SampleData(w, ins.sample);
}

} // namespace

XmPattern EmptyPattern(int rows, int channels) {
    XmPattern p;
    p.rows = rows;
    p.channels = channels;
    p.cells.resize(static_cast<size_t>(rows * channels));
    return p;
}

std::vector<uint8_t> SerializeXm(const XmModule &module) {
    Writer w;
    SongHeader(w, module);
    for (const XmPattern &p : module.patterns) {
        if (p.channels != module.channels)
            throw std::logic_error("pattern channel count differs from the song's");
        Pattern(w, p);
    }
    for (const XmInstrument &ins : module.instruments)
        Instrument(w, ins);
    return w.bytes;
}
