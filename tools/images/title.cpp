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
#include <cstdio>
#include <cstdlib>

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
    for (const Letter &letter : LETTERS)
        if (letter.name == name)
            return letter;
    std::abort();
}

// One letter placed on the canvas: its strokes in texels.
struct Placed {
    std::vector<PenStroke> strokes;
    int clipFirst, clipLast; // columns this letter may paint
    float inkLeft, inkRight; // extent of its stroke centres
};

// Puts letter `name` with its left stroke edge at `left`. Each letter
// position keeps its own seed, so a letter in both words is the same.
Placed Place(char name, float left, float unitX, int index) {
    const Letter &letter = Find(name);
    Prng rng(0x7171u + static_cast<uint64_t>(index) * 104729u + static_cast<uint64_t>(name));
    Placed placed{ParsePenPath(letter.path, rng, 0.25f), 0, WIDTH - 1, 1e9f, -1e9f};
    float tilt = rng.Range(-0.05f, 0.05f);
    float lift = rng.Range(-1.0f, 1.0f);
    float cx = letter.width * 0.5f, cy = 8.0f;
    for (PenStroke &stroke : placed.strokes) {
        for (PenPoint &p : stroke) {
            float dx = p.x - cx, dy = p.y - cy;
            p.x = (cx + dx * std::cos(tilt) - dy * std::sin(tilt)) * unitX;
            p.y = TOP + lift + (cy + dx * std::sin(tilt) + dy * std::cos(tilt)) * UNIT_Y;
            placed.inkLeft = std::min(placed.inkLeft, p.x);
            placed.inkRight = std::max(placed.inkRight, p.x);
        }
    }
    float shift = left + BRUSH_RADIUS - placed.inkLeft;
    for (PenStroke &stroke : placed.strokes)
        for (PenPoint &p : stroke)
            p.x += shift;
    placed.inkLeft += shift;
    placed.inkRight += shift;
    return placed;
}

float LeftEdge(const Placed &p) {
    return p.inkLeft - BRUSH_RADIUS;
}
float RightEdge(const Placed &p) {
    return p.inkRight + BRUSH_RADIUS;
}

// Places `word` from column `left`, `gap` texels of black between letters;
// `firstIndex` numbers the positions for the seeds.
std::vector<Placed> PlaceWord(const char *word, float left, float unitX, float gap,
                              int firstIndex) {
    std::vector<Placed> placed;
    for (int i = 0; word[i]; ++i) {
        placed.push_back(Place(word[i], left, unitX, firstIndex + i));
        left = RightEdge(placed.back()) + gap;
    }
    return placed;
}

float WordWidth(const char *word, float unitX, float gap) {
    std::vector<Placed> placed = PlaceWord(word, 0.0f, unitX, gap, 0);
    return RightEdge(placed.back());
}

// The unit width at which `word` spans `width` texels (the widths grow
// with the unit, so halving the interval finds it).
float UnitForWidth(const char *word, float gap, float width) {
    float lo = 1.0f, hi = 6.0f;
    for (int i = 0; i < 40; ++i) {
        float mid = 0.5f * (lo + hi);
        (WordWidth(word, mid, gap) < width ? lo : hi) = mid;
    }
    return lo;
}

// The lettering of one word: from column 31, sized so that the second
// word's ROW ends just inside the band where the words may differ; the
// middle of either word is set in the same space and clipped to the band.
std::vector<Placed> LayOut(int version) {
    // Ragged edges and the loaded start of a stroke reach a little past
    // the round brush that the layout measures.
    const float reach = 2.5f, gap = 3.0f;
    const float first = 31.0f + reach, last = 458.5f - reach;
    const float middleEnd = TITLE_CHANGE_LAST + 0.5f - reach;
    float unitX = UnitForWidth("OVERTHROW", gap, middleEnd - first);
    std::vector<Placed> letters = PlaceWord("OVERTH", first, unitX, gap, 0);
    float middleLeft = RightEdge(letters.back()) + gap;
    float middleRight = middleLeft + WordWidth("ROW", unitX, gap);
    // ING takes the rest of the width to column 458, a little looser.
    const float suffixGap = 1.5f * gap, suffixLeft = middleRight + suffixGap;
    float suffixUnit = UnitForWidth("ING", suffixGap, last - suffixLeft);
    std::vector<Placed> suffix = PlaceWord("ING", suffixLeft, suffixUnit, suffixGap, 9);
    std::vector<Placed> middle;
    if (version == 1) {
        // INK is narrower than ROW: wider letters, wider spacing, centred.
        float inkUnit = unitX * 1.2f;
        float room = middleRight - middleLeft - WordWidth("INK", inkUnit, 0.0f);
        middle = PlaceWord("INK", middleLeft + room / 4, inkUnit, room / 4, 6);
    } else {
        middle = PlaceWord("ROW", middleLeft, unitX, gap, 6);
    }
    if (LeftEdge(middle.front()) < TITLE_CHANGE_FIRST - 0.5f + reach ||
        RightEdge(middle.back()) > middleEnd + 0.01f) {
        std::fprintf(stderr, "make_images: title middle outside its band\n");
        std::abort();
    }
    for (Placed &p : middle) {
        p.clipFirst = TITLE_CHANGE_FIRST;
        p.clipLast = TITLE_CHANGE_LAST;
    }
    letters.insert(letters.end(), middle.begin(), middle.end());
    letters.insert(letters.end(), suffix.begin(), suffix.end());
    return letters;
}

// The nearest brush mark to a point: how far inside the stroke the point
// lies, and where along the stroke (0 at the start, 1 at the lift).
struct BrushHit {
    float inside = -1e9f;
    float along = 0.0f;  // texels from the start of the stroke
    float across = 0.0f; // signed offset from the centre line
    float t = 0.0f;
};

void NearestInStroke(const PenStroke &stroke, float x, float y, BrushHit &hit) {
    float length = 0.0f;
    for (size_t i = 1; i < stroke.size(); ++i)
        length += std::hypot(stroke[i].x - stroke[i - 1].x, stroke[i].y - stroke[i - 1].y);
    float walked = 0.0f;
    for (size_t i = 1; i < stroke.size(); ++i) {
        PenPoint a = stroke[i - 1], b = stroke[i];
        float vx = b.x - a.x, vy = b.y - a.y;
        float len = std::hypot(vx, vy);
        if (len <= 0.0f)
            continue;
        float u = std::clamp(((x - a.x) * vx + (y - a.y) * vy) / (len * len), 0.0f, 1.0f);
        float d = std::hypot(x - a.x - vx * u, y - a.y - vy * u);
        float t = (walked + u * len) / std::max(length, 1.0f);
        // A loaded brush lays a broad mark and thins as it lifts.
        float radius = BRUSH_RADIUS * (1.12f - 0.3f * t);
        if (radius - d > hit.inside)
            hit = {radius - d, walked + u * len, ((x - a.x) * vy - (y - a.y) * vx) / len, t};
        walked += len;
    }
}

// Brush value at (x, y): a ragged-edged mark with streaks along the
// stroke, drier where the brush lifts.
float BrushTexel(const std::vector<Placed> &letters, float x, float y) {
    BrushHit hit;
    for (const Placed &letter : letters) {
        if (x < letter.clipFirst || x >= letter.clipLast + 1 || x < LeftEdge(letter) - 3.0f ||
            x > RightEdge(letter) + 3.0f)
            continue;
        for (const PenStroke &stroke : letter.strokes)
            NearestInStroke(stroke, x, y, hit);
    }
    if (hit.inside < -3.0f)
        return 0.0f;
    float ragged = (Fbm(x * 0.18f, y * 0.18f, 5u, 3) - 0.5f) * 1.8f;
    float cover = Cover(-hit.inside + ragged, 0.6f);
    float bristle = Fbm(hit.along * 0.045f, hit.across * 0.9f, 9u, 3);
    float dry = SmoothStep(0.6f, 1.0f, hit.t) * SmoothStep(0.55f, 0.42f, bristle);
    return cover * (0.78f + 0.3f * bristle) * (1.0f - 0.7f * dry);
}

} // namespace

std::vector<uint8_t> PaintTitle(int version) {
    std::vector<Placed> letters = LayOut(version);
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
