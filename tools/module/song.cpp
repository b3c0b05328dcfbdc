// The soundtrack in A minor at 155 BPM, speed 3: a beat is 8 rows, a bar 32
// rows, a pattern two bars. The intro (patterns 0, 1, 0, 2) builds into a
// loop of patterns 3 4 9 10 9 10 13 14, which jumps back to its start.
#include "tools/module/song.h"

#include "tools/module/instruments.h"

#include <array>
#include <stdexcept>
#include <string>

namespace {

enum Channel {
    CH_KICK,
    CH_KICK_LAYER, // second kick in the straight patterns; toms in the broken ones and fills
    CH_SNARE,
    CH_HATS,
    CH_PERC,
    CH_BASS,
    CH_SUB,
    CH_PAD1,
    CH_PAD2,
    CH_PAD3,
    CH_ARP,
    CH_LEAD,
    CH_ECHO,
    CH_FX,
};

constexpr uint8_t FX_PORTA_UP = 0x1;
constexpr uint8_t FX_TONE_PORTA = 0x3;
constexpr uint8_t FX_PAN = 0x8;
constexpr uint8_t FX_JUMP = 0xB;
constexpr int ECHO_DELAY = 6; // a dotted eighth

// "A-4" -> XM note number (1 = C-0).
uint8_t N(const char *name) {
    static const std::string LETTERS = "C-C#D-D#E-F-F#G-G#A-A#B-";
    std::string text(name);
    size_t at = LETTERS.find(text.substr(0, 2));
    if (text.size() != 3 || at == std::string::npos || at % 2)
        throw std::invalid_argument("bad note " + text);
    return static_cast<uint8_t>((text[2] - '0') * 12 + static_cast<int>(at / 2) + 1);
}

uint8_t Vol(int v) {
    return static_cast<uint8_t>(0x10 + v);
}

void Note(XmPattern &p, int row, int ch, uint8_t note, uint8_t ins, int vol = -1) {
    XmCell &c = p.At(row, ch);
    c.note = note;
    c.instrument = ins;
    c.volume = vol >= 0 ? Vol(vol) : 0;
}

void Effect(XmPattern &p, int row, int ch, uint8_t effect, uint8_t param) {
    p.At(row, ch).effect = effect;
    p.At(row, ch).param = param;
}

void KeyOff(XmPattern &p, int row, int ch) {
    if (row < p.rows && p.At(row, ch).note == 0)
        p.At(row, ch).note = XM_KEY_OFF;
}

struct Chord {
    const char *bass; // the sub's note; the bass line plays an octave higher
    std::array<const char *, 3> pad;
    std::array<const char *, 3> arp; // lowest octave of the arpeggio
};

const Chord AM{"A-1", {"A-3", "C-4", "E-4"}, {"A-4", "C-5", "E-5"}};
const Chord FM{"F-1", {"A-3", "C-4", "F-4"}, {"A-4", "C-5", "F-5"}};
const Chord CM{"C-2", {"G-3", "C-4", "E-4"}, {"G-4", "C-5", "E-5"}};
const Chord GM{"G-1", {"G-3", "B-3", "D-4"}, {"G-4", "B-4", "D-5"}};
const Chord DM{"D-2", {"A-3", "D-4", "F-4"}, {"A-4", "D-5", "F-5"}};
const Chord EM{"E-1", {"G#3", "B-3", "E-4"}, {"G#4", "B-4", "E-5"}};

struct Event {
    int row;
    const char *note;
    int length;
};
using Melody = std::vector<Event>;

enum class Drums { STRAIGHT, BROKEN, BROKEN_FILL };
enum class Hats { NONE, OFFBEAT, SIXTEENTHS, BROKEN, DRIVING };
enum class Perc { NONE, SHAKER, RIMS, SHAKER_CLAP, RIDE_CLAP };
enum class Bass { NONE, OFFBEAT, ROLLING, BROKEN };
enum class Fx { NONE, WIND, CRASH, RISE, CRASH_RISE, CRASH_JUMP };

struct Section {
    Chord first, second;
    Drums drums;
    Hats hats;
    Perc perc;
    Bass bass;
    bool sub;
    uint8_t padInstrument;
    int arpVolume; // 0: no arpeggio
    Melody lead;
    Melody bell;
    Fx fx;
    int leadVolume = -1; // -1: the instrument's own
    int subVolume = -1;
};

const int STRAIGHT_KICKS[] = {0, 8, 16, 24, 32, 40, 48, 56};
const int BROKEN_KICKS[] = {0, 12, 20, 24, 32, 44, 52, 56};
const int BACKBEATS[] = {8, 24, 40, 56};

void PlaceDrums(XmPattern &p, Drums drums) {
    if (drums == Drums::STRAIGHT) {
        for (int row : STRAIGHT_KICKS) {
            Note(p, row, CH_KICK, N("C-4"), INS_KICK);
            Note(p, row, CH_KICK_LAYER, N("C-5"), INS_KICK, 18);
        }
    } else {
        for (int row : BROKEN_KICKS)
            Note(p, row, CH_KICK, N("C-4"), INS_KICK);
    }
    for (int row : BACKBEATS)
        Note(p, row, CH_SNARE, N("C-4"), INS_SNARE);
    if (drums == Drums::BROKEN_FILL) {
        // The roll into the main groove, rising in level, with falling toms.
        const int fill[][2] = {{50, 30}, {52, 38}, {60, 46}, {62, 56}};
        for (const auto &hit : fill)
            Note(p, hit[0], CH_SNARE, N("C-4"), INS_SNARE, hit[1]);
        Note(p, 54, CH_KICK_LAYER, N("A-4"), INS_TOM, 36);
        Note(p, 58, CH_KICK_LAYER, N("E-4"), INS_TOM, 40);
        Note(p, 61, CH_KICK_LAYER, N("C-4"), INS_TOM, 44);
    }
}

void PlaceHats(XmPattern &p, Hats hats) {
    for (int row = 0; row < p.rows; row += 2) {
        int inBeat = row % 8;
        switch (hats) {
        case Hats::NONE:
            break;
        case Hats::OFFBEAT:
            if (inBeat == 4)
                Note(p, row, CH_HATS, N("C-4"), INS_HAT, 26);
            break;
        case Hats::SIXTEENTHS:
            Note(p, row, CH_HATS, N("C-4"), row >= 56 && inBeat == 4 ? INS_OPEN_HAT : INS_HAT,
                 inBeat == 4 ? 32 : 16 + row / 8);
            break;
        case Hats::BROKEN:
            Note(p, row, CH_HATS, N("C-4"), row % 32 == 14 ? INS_OPEN_HAT : INS_HAT,
                 inBeat == 0 ? 28 : (inBeat == 4 ? 22 : 14));
            break;
        case Hats::DRIVING:
            Note(p, row, CH_HATS, N("C-4"), inBeat == 4 ? INS_OPEN_HAT : INS_HAT,
                 inBeat == 4 ? 30 : (inBeat == 0 ? 22 : 16));
            break;
        }
    }
    // Successive hats alternate between left and right.
    for (int row = 0, count = 0; row < p.rows; row++)
        if (p.At(row, CH_HATS).instrument)
            Effect(p, row, CH_HATS, FX_PAN, count++ % 2 ? 192 : 64);
}

void PlacePerc(XmPattern &p, Perc perc) {
    for (int row = 0; row < p.rows; row += 2) {
        bool offSixteenth = row % 4 == 2;
        bool backbeat = row % 16 == 8;
        if ((perc == Perc::SHAKER || perc == Perc::SHAKER_CLAP) && offSixteenth)
            Note(p, row, CH_PERC, N("C-4"), INS_SHAKER, row % 8 == 2 ? 12 : 18);
        if ((perc == Perc::SHAKER_CLAP || perc == Perc::RIDE_CLAP) && backbeat)
            Note(p, row, CH_PERC, N("C-4"), INS_CLAP, perc == Perc::RIDE_CLAP ? 30 : 26);
        if (perc == Perc::RIDE_CLAP && row % 8 == 4)
            Note(p, row, CH_PERC, N("C-4"), INS_RIDE, 32);
        if (perc == Perc::RIMS && (row % 32 == 6 || row % 32 == 14 || row % 32 == 30))
            Note(p, row, CH_PERC, N("C-4"), INS_RIM, row % 32 == 30 ? 18 : 24);
    }
}

// Places a line of notes; a note that is followed by a rest is keyed off so
// its envelope releases before the next note starts. With `glide`, a note
// that follows a short pick-up note without a rest slides there by tone
// portamento instead of restarting the sample; longer notes are struck anew.
void PlaceLine(XmPattern &p, int ch, uint8_t ins, const std::vector<Event> &line, int vol,
               int shift = 0, uint8_t glide = 0) {
    int previousEnd = -1;
    for (size_t i = 0; i < line.size(); i++) {
        int row = line[i].row + shift;
        if (row >= p.rows)
            break;
        bool legato = glide && row == previousEnd && line[i - 1].length <= 2;
        Note(p, row, ch, N(line[i].note), legato ? 0 : ins, vol);
        if (legato)
            Effect(p, row, ch, FX_TONE_PORTA, glide);
        int end = row + line[i].length;
        int next = i + 1 < line.size() ? line[i + 1].row + shift : p.rows;
        if (end < next)
            KeyOff(p, end, ch);
        previousEnd = end;
    }
}

// Transposes a note name by octaves: ("A-1", 1) -> "A-2".
std::string Octave(const char *note, int up) {
    std::string s(note);
    s[2] = static_cast<char>(s[2] + up);
    return s;
}

void PlaceBass(XmPattern &p, const Section &s) {
    std::vector<std::string> names; // keeps the strings the events point to
    names.reserve(64);
    std::vector<Event> line;
    for (int bar = 0; bar < 2; bar++) {
        const Chord &c = bar == 0 ? s.first : s.second;
        const std::string &root = names.emplace_back(Octave(c.bass, 1));
        const std::string &high = names.emplace_back(Octave(c.bass, 2));
        int at = bar * 32;
        if (s.bass == Bass::OFFBEAT) {
            for (int beat = 0; beat < 4; beat++)
                line.push_back({at + beat * 8 + 4, root.c_str(), 3});
        } else if (s.bass == Bass::ROLLING) {
            for (int beat = 0; beat < 4; beat++) {
                line.push_back({at + beat * 8 + 2, root.c_str(), 2});
                line.push_back({at + beat * 8 + 4, high.c_str(), 2});
                line.push_back({at + beat * 8 + 6, root.c_str(), 2});
            }
        } else if (s.bass == Bass::BROKEN) {
            const int rows[][3] = {{0, 0, 5},  {6, 1, 2},  {10, 0, 2}, {12, 0, 4},
                                   {18, 1, 2}, {20, 0, 3}, {24, 0, 4}, {28, 1, 3}};
            for (const auto &r : rows)
                line.push_back({at + r[0], (r[1] ? high : root).c_str(), r[2]});
        }
    }
    PlaceLine(p, CH_BASS, INS_BASS, line, -1);
    if (s.sub) {
        PlaceLine(p, CH_SUB, INS_SUB, {{0, s.first.bass, 30}, {32, s.second.bass, 30}},
                  s.subVolume);
    }
}

// Pads: a fresh attack at the pattern start, a seamless change of chord by
// an instant tone portamento at the bar line, a release before the next one.
// The three voices stand left, centre and right.
void PlacePads(XmPattern &p, const Section &s) {
    const int channels[] = {CH_PAD1, CH_PAD2, CH_PAD3};
    const uint8_t pans[] = {32, 128, 224};
    for (int v = 0; v < 3; v++) {
        Note(p, 0, channels[v], N(s.first.pad[static_cast<size_t>(v)]), s.padInstrument);
        Effect(p, 0, channels[v], FX_PAN, pans[v]);
        p.At(32, channels[v]).note = N(s.second.pad[static_cast<size_t>(v)]);
        Effect(p, 32, channels[v], FX_TONE_PORTA, 0xff);
        KeyOff(p, 63, channels[v]);
    }
}

void PlaceArp(XmPattern &p, const Section &s) {
    if (s.arpVolume == 0)
        return;
    const int steps[16] = {0, 1, 2, 3, 1, 2, 3, 4, 2, 3, 4, 5, 4, 3, 2, 1};
    for (int row = 0; row < p.rows; row += 2) {
        const Chord &c = row < 32 ? s.first : s.second;
        int step = steps[(row / 2) % 16];
        uint8_t note =
            static_cast<uint8_t>(N(c.arp[static_cast<size_t>(step % 3)]) + 12 * (step / 3));
        Note(p, row, CH_ARP, note, INS_ARP, row % 8 == 0 ? s.arpVolume : s.arpVolume * 3 / 4);
        Effect(p, row, CH_ARP, FX_PAN, row % 4 ? 200 : 56); // notes alternate left, right
    }
}

// Lead (or bell) with its echo a dotted eighth later, quieter and on the
// other side.
void PlaceMelody(XmPattern &p, const Melody &melody, uint8_t ins, int vol, int echoVol,
                 uint8_t glide, uint8_t echoPan) {
    const std::vector<Event> &line = melody;
    if (line.empty())
        return;
    PlaceLine(p, CH_LEAD, ins, line, vol, 0, glide);
    PlaceLine(p, CH_ECHO, ins, line, echoVol, ECHO_DELAY, glide);
    for (int row = 0; row < p.rows; row++)
        if (p.At(row, CH_ECHO).instrument)
            Effect(p, row, CH_ECHO, FX_PAN, echoPan);
}

// Clears a channel over rows [from, to).
void Clear(XmPattern &p, int ch, int from, int to) {
    for (int row = from; row < to; row++)
        p.At(row, ch) = XmCell{};
}

// Off-beat chord stabs for the climax in place of the middle pad voice: the
// chord's lowest arpeggio note an octave down, in a dotted rhythm.
void PlaceStabs(XmPattern &p, const Chord &first, const Chord &second) {
    Clear(p, CH_PAD2, 0, p.rows);
    for (int bar = 0; bar < 2; bar++) {
        uint8_t note = static_cast<uint8_t>(N((bar ? second : first).arp[0]) - 12);
        for (int row : {6, 12, 22, 28})
            Note(p, bar * 32 + row, CH_PAD2, note, INS_STAB, row == 6 ? 34 : 26);
    }
}

// A noise sweep from `from` to `to`: pitch rising by portamento, level by a
// curve written row by row so it ends at `top`.
void PlaceRiser(XmPattern &p, int from, int to, uint8_t speed, int top) {
    Note(p, from, CH_FX, N("C-4"), INS_RISER, 4);
    for (int row = from + 1; row <= to; row++) {
        double x = static_cast<double>(row - from) / (to - from);
        Effect(p, row, CH_FX, FX_PORTA_UP, speed);
        p.At(row, CH_FX).volume = Vol(4 + static_cast<int>((top - 4) * x * x));
    }
}

void PlaceFx(XmPattern &p, Fx fx) {
    if (fx == Fx::WIND) {
        Note(p, 0, CH_FX, N("C-4"), INS_WIND);
        KeyOff(p, 44, CH_FX);
    }
    if (fx == Fx::CRASH || fx == Fx::CRASH_RISE || fx == Fx::CRASH_JUMP)
        Note(p, 0, CH_FX, N("C-4"), INS_CRASH);
    if (fx == Fx::RISE)
        PlaceRiser(p, 16, 63, 2, 44);
    if (fx == Fx::CRASH_RISE || fx == Fx::CRASH_JUMP)
        PlaceRiser(p, 40, 62, 3, 30);
    if (fx == Fx::CRASH_JUMP) {
        // The loop: back to order 4 after the last row of this pattern.
        Effect(p, 63, CH_FX, FX_JUMP, 4);
    }
}

XmPattern Build(const Section &s) {
    XmPattern p = EmptyPattern(SONG_ROWS, SONG_CHANNELS);
    PlaceDrums(p, s.drums);
    PlaceHats(p, s.hats);
    PlacePerc(p, s.perc);
    PlaceBass(p, s);
    PlacePads(p, s);
    PlaceArp(p, s);
    PlaceMelody(p, s.lead, INS_LEAD, s.leadVolume, 16, 0x30, 224);
    PlaceMelody(p, s.bell, INS_BELL, -1, 12, 0, 64);
    PlaceFx(p, s.fx);
    return p;
}

// The tune over the main loop: patterns 9, 10, 13 and 14.
const Melody LEAD_9 = {{0, "A-4", 6},  {6, "C-5", 2},  {8, "E-5", 8},  {16, "D-5", 4},
                       {20, "C-5", 4}, {24, "B-4", 4}, {28, "C-5", 4}, {32, "A-4", 12},
                       {44, "G-4", 4}, {48, "A-4", 4}, {52, "C-5", 4}, {56, "F-5", 4},
                       {60, "E-5", 3}};
const Melody LEAD_10 = {{0, "E-5", 6},  {6, "D-5", 2},  {8, "C-5", 8},   {16, "G-5", 8},
                        {24, "E-5", 4}, {28, "C-5", 4}, {32, "D-5", 12}, {44, "B-4", 4},
                        {48, "D-5", 4}, {52, "G-5", 4}, {56, "F-5", 4},  {60, "D-5", 3}};
const Melody LEAD_13 = {{0, "A-5", 8},  {8, "G-5", 4},  {12, "F-5", 4}, {16, "E-5", 4},
                        {20, "F-5", 4}, {24, "C-5", 8}, {32, "B-4", 4}, {36, "D-5", 4},
                        {40, "G-5", 8}, {48, "F-5", 4}, {52, "E-5", 4}, {56, "D-5", 7}};
const Melody LEAD_14 = {{0, "E-5", 8},  {8, "A-5", 8},  {16, "G-5", 4}, {20, "E-5", 4},
                        {24, "C-5", 8}, {32, "B-4", 8}, {40, "G#4", 8}, {48, "B-4", 4},
                        {52, "D-5", 4}, {56, "E-5", 7}};
// The bell answers the broken kicks in patterns 3 and 4 and sketches the
// theme in the intro.
const Melody BELL_0 = {{0, "E-5", 6},  {6, "A-5", 6},  {12, "G-5", 8}, {20, "E-5", 12},
                       {32, "C-5", 6}, {38, "F-5", 6}, {44, "E-5", 8}, {52, "C-5", 12}};
const Melody BELL_2 = {{0, "A-5", 6},   {6, "G-5", 6},  {12, "F-5", 8},
                       {20, "C-5", 12}, {32, "B-4", 6}, {38, "D-5", 6},
                       {44, "G-5", 8},  {52, "F-5", 4}, {56, "D-5", 8}};
const Melody BELL_3 = {{0, "A-5", 6},  {12, "E-5", 8}, {20, "C-5", 4}, {24, "B-4", 8},
                       {32, "A-5", 6}, {44, "F-5", 8}, {52, "C-5", 4}, {56, "E-5", 8}};
const Melody BELL_4 = {{0, "F-5", 6},  {12, "D-5", 8}, {20, "A-4", 4}, {24, "C-5", 8},
                       {32, "G#5", 6}, {44, "E-5", 8}, {52, "B-4", 4}, {56, "D-5", 8}};
const Melody NONE = {};
// A bell line that answers the lead where it holds or rests: over the second
// bar of pattern 9 and the first bar of pattern 10.
const Melody COUNTER_9 = {
    {34, "C-6", 4}, {38, "A-5", 4}, {42, "F-5", 6}, {50, "G-5", 4}, {54, "A-5", 6}};
const Melody COUNTER_10 = {{4, "G-5", 4},  {12, "E-5", 4}, {20, "C-6", 6},
                           {28, "B-5", 4}, {36, "G-5", 4}, {40, "D-6", 6}};
constexpr int CLIMAX_ARP = 32;
constexpr int CLIMAX_LEAD = 64;
// The groove sits a little under the climax; under the busy bass lines of
// the build-up and the groove the sub stays lower.
constexpr int GROOVE_LEAD = 50;
constexpr int LOW_SUB = 30;

// Patterns 9 and 10 each play twice in a row: a counter-melody over both, a
// drop of hats, percussion, bass and arpeggio for the beat before the last
// one of pattern 10, and tom fills that lead into the next pattern.
void AddMovement(XmPattern &nine, XmPattern &ten) {
    PlaceLine(nine, CH_FX, INS_BELL, COUNTER_9, 26);
    PlaceLine(ten, CH_FX, INS_BELL, COUNTER_10, 26);
    for (int ch : {CH_HATS, CH_PERC, CH_BASS, CH_ARP})
        Clear(ten, ch, 48, 56);
    KeyOff(ten, 48, CH_BASS);
    // Toms on the second kick's channel, between its notes.
    PlaceLine(nine, CH_KICK_LAYER, INS_TOM, {{60, "A-4", 2}, {62, "E-4", 2}}, 36);
    PlaceLine(ten, CH_KICK_LAYER, INS_TOM, {{58, "A-4", 2}, {60, "E-4", 2}, {62, "C-4", 2}}, 40);
}

std::vector<XmPattern> Patterns() {
    std::vector<XmPattern> patterns(SONG_PATTERNS, EmptyPattern(SONG_ROWS, SONG_CHANNELS));
    patterns[0] = Build({AM, FM, Drums::STRAIGHT, Hats::NONE, Perc::NONE, Bass::NONE, true, INS_PAD,
                         0, NONE, BELL_0, Fx::WIND});
    patterns[1] = Build({CM, GM, Drums::STRAIGHT, Hats::OFFBEAT, Perc::NONE, Bass::OFFBEAT, true,
                         INS_PAD, 12, NONE, NONE, Fx::CRASH});
    patterns[2] = Build({FM, GM, Drums::STRAIGHT, Hats::SIXTEENTHS, Perc::SHAKER, Bass::OFFBEAT,
                         false, INS_PAD, 20, NONE, BELL_2, Fx::RISE});
    patterns[3] = Build({AM, FM, Drums::BROKEN, Hats::BROKEN, Perc::RIMS, Bass::BROKEN, true,
                         INS_PAD, 22, NONE, BELL_3, Fx::CRASH, -1, LOW_SUB});
    patterns[4] = Build({DM, EM, Drums::BROKEN_FILL, Hats::BROKEN, Perc::RIMS, Bass::BROKEN, true,
                         INS_PAD, 22, NONE, BELL_4, Fx::RISE, -1, LOW_SUB});
    patterns[9] = Build({AM, FM, Drums::STRAIGHT, Hats::DRIVING, Perc::SHAKER_CLAP, Bass::ROLLING,
                         true, INS_PAD, 18, LEAD_9, NONE, Fx::CRASH, GROOVE_LEAD, LOW_SUB});
    patterns[10] = Build({CM, GM, Drums::STRAIGHT, Hats::DRIVING, Perc::SHAKER_CLAP, Bass::ROLLING,
                          true, INS_PAD, 18, LEAD_10, NONE, Fx::NONE, GROOVE_LEAD, LOW_SUB});
    patterns[13] = Build({FM, GM, Drums::STRAIGHT, Hats::DRIVING, Perc::RIDE_CLAP, Bass::ROLLING,
                          true, INS_CHOIR, CLIMAX_ARP, LEAD_13, NONE, Fx::CRASH, CLIMAX_LEAD});
    patterns[14] = Build({AM, EM, Drums::STRAIGHT, Hats::DRIVING, Perc::RIDE_CLAP, Bass::ROLLING,
                          true, INS_CHOIR, CLIMAX_ARP, LEAD_14, NONE, Fx::CRASH_JUMP, CLIMAX_LEAD});
    // A boom under the two scene changes that the song makes (orders 4 and 6),
    // and a zap that flicks the second half of the theme back to its start.
    Note(patterns[3], 0, CH_PERC, N("C-4"), INS_IMPACT);
    Note(patterns[9], 0, CH_PERC, N("C-4"), INS_IMPACT, 30);
    Note(patterns[10], 60, CH_FX, N("C-4"), INS_ZAP, 14);
    Note(patterns[4], 0, CH_FX, N("C-4"), INS_DOWNLIFTER);
    PlaceStabs(patterns[13], FM, GM);
    PlaceStabs(patterns[14], AM, EM);
    AddMovement(patterns[9], patterns[10]);
    // Never reached by the order list as played; kept as a quieter variant.
    patterns[15] = Build({FM, GM, Drums::STRAIGHT, Hats::OFFBEAT, Perc::NONE, Bass::OFFBEAT, false,
                          INS_CHOIR, 0, NONE, BELL_2, Fx::NONE});
    return patterns;
}

} // namespace

XmModule ComposeSong() {
    XmModule m;
    m.title = "Brumlakor";
    m.tracker = "make_module";
    m.channels = SONG_CHANNELS;
    m.restart = 0;
    m.speed = SONG_SPEED;
    m.tempo = SONG_TEMPO;
    m.orders = {0, 1, 0, 2, 3, 4, 9, 10, 9, 10, 13, 14, 15, 14};
    m.patterns = Patterns();
    m.instruments = MakeInstruments();
    return m;
}
