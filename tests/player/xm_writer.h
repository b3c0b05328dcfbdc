// Modules for the player's tests, written by the soundtrack generator's XM
// writer: notes placed by row and channel, and instruments of one looped
// square-wave sample each.
#pragma once

#include "tools/module/xm_writer.h"

struct SongCell {
    int row;
    int channel;
    uint8_t note;       // 1..96 (C-0 is 1), 97 key off, 0 none
    uint8_t instrument; // from 1, 0 none
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct SongPattern {
    int rows = 64;
    std::vector<SongCell> cells;
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
    std::vector<SongPattern> patterns;
};

std::vector<uint8_t> WriteXm(const XmSong &song);

// Where the first pattern starts, for tests that damage a module.
constexpr size_t XM_HEADER_END = 60 + XM_HEADER_SIZE;
