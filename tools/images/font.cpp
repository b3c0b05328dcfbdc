// The font strip: 36 pen-drawn capitals and marks in 12 x 16 cells, one bit
// per texel in effect (0 or 255). Letters are pen paths whose points wobble a
// little, so no two strokes are quite straight and the strip reads as lettering drawn by hand. The
// small marks sit on exact rows (the text drawer and the message rely on
// them), so they are drawn texel by texel.
#include "tools/images/canvas.h"
#include "tools/images/images.h"
#include "tools/images/pen.h"

namespace {

constexpr int FONT_WIDTH = 512;
constexpr float PEN_RADIUS = 1.0f; // two texels wide
constexpr float WOBBLE = 0.4f;
constexpr float MAX_LEAN = 0.07f;
constexpr int SUPERSAMPLE = 4;

// Pen paths in cell units (x 0..12, y 0..16, y down); strokes centred on
// x 1..10 and y 1..15 fill columns 0..10 and rows 0..15 of the cell.
const char *const LETTER_PATHS[26] = {
    "M1,15 L4.8,1.5 Q5.5,0.6 6.2,1.5 L10,15 M2.6,10 L8.6,10",
    "M1.2,1 L1,15 M1,1 L6,1 Q10,1 9.8,4.5 Q9.6,7.8 5.5,8 L1.2,8 M5.5,8 Q10.6,8.2 10.4,11.6 "
    "Q10.2,15 5.8,15 L1,15",
    "M10,3.4 Q8.8,1 6,1 Q1,1.2 1,8 Q1,15 6,15 Q8.9,15 10,12.6",
    "M1.2,1 L1,15 M1,1 L5,1 Q10.2,1.4 10,8 Q9.8,15 5,15 L1,15",
    "M10,1 L1.4,1 L1,15 L10,15 M1.2,7.8 L7.4,8",
    "M10,1 L1.3,1 L1,15 M1.1,7.6 L7.2,7.8",
    "M10,3.2 Q8.8,1 6,1 Q1,1.2 1,8 Q1,15 6,15 Q10,15 10,10.6 L10,9 L6.2,9.2",
    "M1,1 L1.2,15 M10,1 L9.8,15 M1.1,8 L9.9,7.8",
    "M2,1 L9.2,1 M5.5,1 L5.7,15 M2.2,15 L9,15",
    "M3,1 L10,1 M8,1 L8.2,11 Q8.2,15 4.8,15 Q1.2,15 1,11.2",
    "M1.2,1 L1,15 M10,1 L1.2,9.4 M4.2,6.8 L10,15",
    "M1.2,1 L1,15 L10,15",
    "M1,15 L1.2,1 L5.5,9.2 L9.8,1 L10,15",
    "M1,15 L1.2,1 L9.8,15 L10,1",
    "M5.5,1 Q1,1.2 1,8 Q1.1,15 5.5,15 Q10,15 10,8 Q9.9,1 5.5,1",
    "M1,15 L1.2,1 L6,1 Q10,1.2 10,4.8 Q9.8,8.6 6,8.6 L1.2,8.6",
    "M5.5,1 Q1,1.2 1,8 Q1.1,15 5.5,15 Q10,15 10,8 Q9.9,1 5.5,1 M6.4,10.6 L10.4,15",
    "M1,15 L1.2,1 L6,1 Q10,1.2 10,4.8 Q9.8,8.4 6,8.6 L1.2,8.6 M5.4,8.6 L10,15",
    "M10,2.8 Q8.6,1 5.6,1 Q1.2,1.1 1.2,4.5 Q1.3,7.6 5.5,8 Q10,8.4 9.9,11.6 Q9.7,15 5.4,15 "
    "Q2.4,15 1,13.2",
    "M1,1.2 L10,1 M5.4,1 L5.6,15",
    "M1,1 L1.1,11 Q1.2,15 5.5,15 Q9.8,15 9.9,11 L10,1",
    "M1,1 L5.4,15 L10,1",
    "M1,1 L2.8,15 L5.5,5.6 L8.2,15 L10,1",
    "M1.2,1 L10,15 M9.8,1 L1,15",
    "M1,1 L5.5,8.2 L10,1 M5.5,8.2 L5.6,15",
    "M1.4,1 L10,1.2 L1,15 L10,15",
};

// Marks as texel art (cell columns 0..11, '#' = ink); rows not listed are
// empty. Full stop and comma sit in the bottom four rows, the colon's bars
// in rows 6-9 and 12-15, the exclamation mark's bar in rows 0-9 over a dot
// in rows 12-15, the hyphen in rows 7-8.
struct MarkRows {
    int firstRow;
    const char *rows[16];
};

const MarkRows FULL_STOP = {12, {"    ##", "   ####", "   ####", "    ##"}};
const MarkRows COMMA = {12, {"    ###", "    ###", "     ##", "    ##"}};
const MarkRows SEMICOLON = {
    6,
    {"    ##", "   ####", "   ####", "    ##", "", "", "    ###", "    ###", "     ##", "    ##"}};
const MarkRows COLON = {
    6,
    {"    ##", "   ####", "   ####", "    ##", "", "", "    ##", "   ####", "   ####", "    ##"}};
const MarkRows EXCLAMATION = {0,
                              {"   ####", "   ####", "   ####", "   ###", "   ###", "    ###",
                               "    ##", "    ##", "    ##", "    ##", "", "", "    ##", "   ####",
                               "   ####", "    ##"}};
const MarkRows HYPHEN = {7, {" #########", "  ########"}};

// The remaining marks are pen paths like the letters. The number sign's
// upper bar runs one texel past its cell, as a quick hand would draw it.
const char *const BACKSLASH_PATH = "M1,1 L10,15";
const char *const SLASH_PATH = "M10,1 L1,15";
const char *const QUESTION_PATH =
    "M1.4,4.2 Q1.6,1 5.5,1 Q10,1 10,4.6 Q9.8,7.4 6.6,8.4 Q5.5,8.9 5.5,10.4 M5.5,14 L5.5,15";
const char *const NUMBER_PATH = "M4.2,1 L3.4,15 M8.8,1 L8,15 M1,5 L12.2,5 M0.6,11 L10.4,11";

// Inks every texel of the cell that the pen covers for at least half.
void InkPath(std::vector<uint8_t> &strip, int cell, const char *path, int lastColumn) {
    Prng rng(0x5EED0000u + static_cast<uint64_t>(cell) * 7919u);
    std::vector<PenStroke> strokes = ParsePenPath(path, rng, WOBBLE);
    // Each letter leans its own way a little, as in quick lettering.
    float lean = rng.Range(-MAX_LEAN, MAX_LEAN);
    for (PenStroke &stroke : strokes)
        for (PenPoint &p : stroke)
            p.x += lean * (8.0f - p.y);
    // And the pen presses harder in some strokes than in others.
    std::vector<float> radius;
    for (size_t i = 0; i < strokes.size(); ++i)
        radius.push_back(PEN_RADIUS * rng.Range(0.92f, 1.18f));
    for (int y = 0; y < FONT_CELL_HEIGHT; ++y) {
        for (int x = 0; x <= lastColumn; ++x) {
            int inside = 0;
            for (int sy = 0; sy < SUPERSAMPLE; ++sy) {
                for (int sx = 0; sx < SUPERSAMPLE; ++sx) {
                    float px = static_cast<float>(x) + (sx + 0.5f) / SUPERSAMPLE;
                    float py = static_cast<float>(y) + (sy + 0.5f) / SUPERSAMPLE;
                    for (size_t i = 0; i < strokes.size(); ++i) {
                        if (PenDistance({strokes[i]}, px, py) < radius[i]) {
                            ++inside;
                            break;
                        }
                    }
                }
            }
            if (2 * inside >= SUPERSAMPLE * SUPERSAMPLE)
                strip[static_cast<size_t>(y) * FONT_WIDTH + cell * FONT_CELL_WIDTH + x] = 255;
        }
    }
}

void InkMark(std::vector<uint8_t> &strip, int cell, const MarkRows &mark) {
    for (int r = 0; r < 16 && mark.rows[r]; ++r) {
        const char *row = mark.rows[r];
        for (int x = 0; row[x] && x < FONT_CELL_WIDTH; ++x) {
            if (row[x] == '#') {
                size_t y = static_cast<size_t>(mark.firstRow + r);
                strip[y * FONT_WIDTH + cell * FONT_CELL_WIDTH + x] = 255;
            }
        }
    }
}

} // namespace

std::vector<uint8_t> PaintFont() {
    std::vector<uint8_t> strip(IMAGE_INFO[0].Size(), 0);
    const int lastColumn = FONT_CELL_WIDTH - 1;
    for (int letter = 0; letter < 26; ++letter)
        InkPath(strip, letter, LETTER_PATHS[letter], lastColumn);
    InkMark(strip, 26, FULL_STOP);
    InkMark(strip, 27, COMMA);
    InkMark(strip, 28, SEMICOLON);
    InkMark(strip, 29, COLON);
    InkPath(strip, 30, BACKSLASH_PATH, lastColumn);
    InkPath(strip, 31, SLASH_PATH, lastColumn);
    InkMark(strip, 32, HYPHEN);
    InkPath(strip, 33, QUESTION_PATH, lastColumn);
    InkMark(strip, 34, EXCLAMATION);
    InkPath(strip, 35, NUMBER_PATH, lastColumn + 1);
    return strip;
}
