// The module's 25 instruments, one synthesised sample each.
#pragma once

#include "tools/module/xm_writer.h"

#include <vector>

// Instrument numbers as the patterns use them (counted from 1). The kick (2)
// and the snare (6) carry the picture's beat pulses.
enum InstrumentNumber : uint8_t {
    INS_BASS = 1,
    INS_KICK = 2,
    INS_SUB = 3,
    INS_HAT = 4,
    INS_OPEN_HAT = 5,
    INS_SNARE = 6,
    INS_PAD = 7,
    INS_ARP = 8,
    INS_LEAD = 9,
    INS_CRASH = 10,
    INS_SHAKER = 11,
    INS_TOM = 12,
    INS_RISER = 13,
    INS_BELL = 14,
    INS_STAB = 15,
    INS_DOWNLIFTER = 16,
    INS_RIM = 17,
    INS_CHOIR = 18,
    INS_RIDE = 19,
    INS_ORGAN = 20,
    INS_IMPACT = 21,
    INS_ZAP = 22,
    INS_CLAP = 23,
    INS_COWBELL = 24,
    INS_WIND = 25,
    INSTRUMENT_COUNT = 25,
};

std::vector<XmInstrument> MakeInstruments();
