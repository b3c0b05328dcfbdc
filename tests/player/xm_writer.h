// A small XM writer for the player's tests: patterns of notes, instruments of
// one looped square-wave sample each, written in format 1.04.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct XmCell {
    int row;
    int channel;
    uint8_t note;       // 1..96 (C-0 is 1), 97 key off, 0 none
    uint8_t instrument; // from 1, 0 none
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct XmPattern {
    int rows = 64;
    std::vector<XmCell> cells;
};

struct XmSong {
    std::string name = "player test";
    int channels = 4;
    int speed = 3;
    int bpm = 155;
    int instruments = 2;
    int sampleLength = 256; // sample frames per instrument
    bool adpcm = false;     // samples packed to 4 bits (a 16-byte table, two a byte)
    std::vector<uint8_t> orders;
    std::vector<XmPattern> patterns;
};

std::vector<uint8_t> WriteXm(const XmSong &song);

// Offsets inside what WriteXm produces, for tests that damage a module.
constexpr size_t XM_HEADER_END = 60 + 276;
