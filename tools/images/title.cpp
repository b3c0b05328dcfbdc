// The title word, brush-lettered in white on black: "OVERTHINKING" first,
// then, when the music starts, the middle letters are painted over and the
// word becomes "OVERTHROWING". Both words share the letters around the
// middle stroke for stroke, so the two images differ only where the middle
// letters stand (columns 235 to 361).
#include "tools/images/canvas.h"
#include "tools/images/images.h"
#include "tools/images/pen.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr int WIDTH = 512;
constexpr int HEIGHT = 64;
constexpr int GREY_LEVELS = 32;
constexpr int SUPERSAMPLE = 3;
constexpr float BRUSH_RADIUS = 4.6f;
constexpr float UNIT_Y = 3.43f; // letter units (16 high) to texels
constexpr float TOP = 2.6f;

struct Letter {
    char name;
    float width; // in letter units
    const char *path;
};

// Brush paths in letter units: y from 1 (top) to 15 (bottom), x from 0 to
// the letter's width.
const Letter LETTERS[] = {
    {'O', 10, "M5,1 Q0,1.2 0,8 Q0.1,15 5,15 Q10,15 10,8 Q9.9,1 5,1"},
    {'V', 10, "M0,1 L4.8,15 L10,1"},
    {'E', 8, "M8,1 L0.3,1 L0,15 L8,15 M0.2,7.8 L6,8"},
    {'R', 9, "M0,15 L0.2,1 L4.8,1 Q9,1.2 9,4.8 Q8.8,8.4 4.8,8.6 L0.2,8.6 M4.2,8.6 L9,15"},
    {'T', 9, "M0,1.2 L9,1 M4.5,1 L4.6,15"},
    {'H', 9, "M0,1 L0.2,15 M9,1 L8.8,15 M0.1,8 L8.9,7.8"},
    {'I', 3, "M1.5,1 L1.6,15"},
    {'N', 9, "M0,15 L0.2,1 L8.8,15 L9,1"},
    {'K', 9, "M0.2,1 L0,15 M9,1 L0.2,9.4 M3.2,6.8 L9,15"},
    {'G', 10, "M10,3.2 Q8.6,1 5.5,1 Q0,1.2 0,8 Q0,15 5.5,15 Q10,15 10,10.6 L10,9 L5.8,9.2"},
    {'W', 12, "M0,1 L2.4,15 L6,5.4 L9.6,15 L12,1"},
};

const Letter &Find(char name) {
    for (const Letter &letter : LETTERS) {
        if (letter.name == name) {
            return letter;
        }
    }
    std::abort();
}

// One letter placed on the canvas: its strokes in texels.
struct Placed {
    std::vector<PenStroke> strokes;
    int clipFirst, clipLast; // columns this letter may paint
};

Placed Place(char name, float left, float unitX, int index, int clipFirst, int clipLast) {
    const Letter &letter = Find(name);
    // Each letter position keeps its own seed, so a letter painted in both
    // words comes out the same texel for texel.
    Prng rng(0x7171u + static_cast<uint64_t>(index) * 104729u + static_cast<uint64_t>(name));
    Placed placed{ParsePenPath(letter.path, rng, 0.25f), clipFirst, clipLast};
    float tilt = rng.Range(-0.05f, 0.05f);
    float lift = rng.Range(-1.2f, 1.2f);
    float cx = letter.width * 0.5f, cy = 8.0f;
    for (PenStroke &stroke : placed.strokes) {
        for (PenPoint &p : stroke) {
            float dx = p.x - cx, dy = p.y - cy;
            float rx = dx * std::cos(tilt) - dy * std::sin(tilt);
            float ry = dx * std::sin(tilt) + dy * std::cos(tilt);
            p.x = left + (cx + rx) * unitX;
            p.y = TOP + lift + (cy + ry) * UNIT_Y;
        }
    }
    return placed;
}

// Places `word` from column `left`, letters `unitX` texels per unit and
// `gap` texels apart; `firstIndex` numbers the positions for the seeds.
void PlaceWord(std::vector<Placed> &out, const char *word, float left, float unitX, float gap,
               int firstIndex, int clipFirst, int clipLast) {
    for (int i = 0; word[i]; ++i) {
        out.push_back(Place(word[i], left, unitX, firstIndex + i, clipFirst, clipLast));
        left += Find(word[i]).width * unitX + gap;
    }
}

float WordWidth(const char *word, float unitX, float gap) {
    float w = 0.0f;
    for (int i = 0; word[i]; ++i) {
        w += Find(word[i]).width * unitX + (i ? gap : 0.0f);
    }
    return w;
}

// Brush value at (x, y): a soft-edged stroke with streaks of the bristles.
float BrushTexel(const std::vector<Placed> &letters, float x, float y) {
    float best = 1e9f;
    for (const Placed &letter : letters) {
        if (x < letter.clipFirst || x >= letter.clipLast + 1) {
            continue;
        }
        best = std::min(best, PenDistance(letter.strokes, x, y));
    }
    float ragged = (Fbm(x * 0.15f, y * 0.15f, 5u, 3) - 0.5f) * 2.2f;
    float cover = Cover(best - BRUSH_RADIUS + ragged, 0.6f);
    float streak = Fbm(x * 0.05f, y * 0.6f, 9u, 3);
    return cover * (0.8f + 0.25f * streak);
}

} // namespace

std::vector<uint8_t> PaintTitle(int version) {
    const char *middle = version == 1 ? "INK" : "ROW";
    const float unitX = 2.5f, gap = 11.0f, edge = BRUSH_RADIUS + 1.5f;
    std::vector<Placed> letters;
    PlaceWord(letters, "OVERTH", 31.0f + edge, unitX, gap, 0, 0, WIDTH - 1);
    float suffixLeft = 458.0f - edge - WordWidth("ING", unitX, gap);
    PlaceWord(letters, "ING", suffixLeft, unitX, gap, 9, 0, WIDTH - 1);
    // The middle is centred in its own band and may paint nowhere else.
    float middleUnit = version == 1 ? 2.9f : unitX;
    float middleWidth = WordWidth(middle, middleUnit, gap);
    float middleLeft = 0.5f * (TITLE_CHANGE_FIRST + TITLE_CHANGE_LAST) - 0.5f * middleWidth;
    PlaceWord(letters, middle, middleLeft, middleUnit, gap, 6, TITLE_CHANGE_FIRST,
              TITLE_CHANGE_LAST);

    Canvas canvas(WIDTH, HEIGHT, 1);
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            float sum = 0.0f;
            for (int sy = 0; sy < SUPERSAMPLE; ++sy) {
                for (int sx = 0; sx < SUPERSAMPLE; ++sx) {
                    sum += BrushTexel(letters, x + (sx + 0.5f) / SUPERSAMPLE,
                                      y + (sy + 0.5f) / SUPERSAMPLE);
                }
            }
            canvas.At(x, y) = sum / (SUPERSAMPLE * SUPERSAMPLE);
        }
    }
    return ToBytes(canvas, GREY_LEVELS, 255);
}
