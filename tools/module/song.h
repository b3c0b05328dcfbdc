// The composition: patterns, order list and song header of the soundtrack.
#pragma once

#include "tools/module/xm_writer.h"

constexpr int SONG_CHANNELS = 14;
constexpr int SONG_PATTERNS = 16;
constexpr int SONG_ROWS = 64;
constexpr int SONG_SPEED = 3;
constexpr int SONG_TEMPO = 155;

// The whole module, instruments included.
XmModule ComposeSong();
