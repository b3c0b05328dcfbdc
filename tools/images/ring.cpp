// The tunnel's wall pattern: short diagonal brush strokes in light, clearly
// different colours on a mottled, quieter ground. The strokes come in
// crossing pairs, one leaning each way, so the pattern looks alike mirrored:
// the tunnel mirrors it on every second facet, where strokes that all leaned
// one way would turn into chevrons. The canvas is painted as a torus (every
// stroke is drawn again one period to the left and right, and above and
// below), so the left and right edges join without a seam when the texture
// repeats along s.
// Every byte is lifted above a floor: the tunnel shows no dark holes.
#include "tools/images/canvas.h"
#include "tools/images/images.h"

#include <array>
#include <cmath>

namespace {

constexpr int SIZE = 128;
constexpr float FLOOR = 72.0f / 255.0f; // darkest value any byte may take
constexpr float KNEE = 0.06f;
constexpr int PAIR_COUNT = 58;
constexpr float EIGHTH_TURN = 0.7853982f; // 45 degrees

const std::array<Rgb, 7> PALETTE = {{
    {0.74f, 0.56f, 1.0f}, // lavender
    {0.45f, 1.0f, 0.40f}, // pale green
    {1.0f, 0.58f, 0.80f}, // pink
    {1.0f, 0.28f, 0.92f}, // magenta
    {1.0f, 0.42f, 0.34f}, // salmon red
    {0.36f, 0.58f, 1.0f}, // steel blue
    {1.0f, 0.74f, 0.18f}, // ochre
}};

struct Stroke {
    float x, y;    // centre
    float ux, uy;  // unit vector along the stroke
    float halfLen; // half length
    float halfWid; // half width
    Rgb colour;
    uint32_t seed;
};

// A stroke through (x, y) at `angle` radians from the s axis.
Stroke MakeStroke(Prng &rng, float x, float y, float angle, int colour, uint32_t seed) {
    Stroke s{};
    s.x = x;
    s.y = y;
    s.ux = std::cos(angle);
    s.uy = std::sin(angle);
    s.halfLen = rng.Range(10.0f, 19.0f);
    s.halfWid = rng.Range(3.2f, 5.2f);
    s.colour = Scale(PALETTE[static_cast<size_t>(colour)], rng.Range(0.94f, 1.06f));
    s.seed = seed;
    return s;
}

// Two strokes of different colours that cross near their middles, one
// leaning down and one up by about 45 degrees; which one lies on top varies.
void RandomPair(Prng &rng, int index, Stroke out[2]) {
    float x = rng.Range(0.0f, SIZE), y = rng.Range(0.0f, SIZE);
    int first = rng.Below(static_cast<int>(PALETTE.size()));
    int second = (first + 1 + rng.Below(static_cast<int>(PALETTE.size()) - 1)) %
                 static_cast<int>(PALETTE.size());
    float down = EIGHTH_TURN + rng.Range(-0.14f, 0.14f);
    float up = 3.14159265f - (EIGHTH_TURN + rng.Range(-0.14f, 0.14f));
    float slide = rng.Range(-6.0f, 6.0f); // the crossing is off the middle
    bool downFirst = rng.Uniform() < 0.5f;
    float a0 = downFirst ? down : up, a1 = downFirst ? up : down;
    uint32_t seed = 1000u + 2u * static_cast<uint32_t>(index);
    out[0] = MakeStroke(rng, x, y, a0, first, seed);
    out[1] =
        MakeStroke(rng, x + slide * std::cos(a0), y + slide * std::sin(a0), a1, second, seed + 1u);
}

// Paints one copy of a stroke at an offset: a capsule with tapered ends and
// bristle streaks along its length, over what is already there.
void PaintStrokeAt(Canvas &canvas, const Stroke &s, float ox, float oy) {
    float cx = s.x + ox, cy = s.y + oy;
    float reach = s.halfLen + s.halfWid + 2.0f;
    int x0 = static_cast<int>(std::floor(cx - reach)), x1 = static_cast<int>(std::ceil(cx + reach));
    int y0 = static_cast<int>(std::floor(cy - reach)), y1 = static_cast<int>(std::ceil(cy + reach));
    for (int y = std::max(0, y0); y <= std::min(SIZE - 1, y1); ++y) {
        for (int x = std::max(0, x0); x <= std::min(SIZE - 1, x1); ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float along = dx * s.ux + dy * s.uy;
            float across = -dx * s.uy + dy * s.ux;
            float t = along / s.halfLen; // -1 .. 1 over the stroke
            // Loaded brush at the start, thinning and drying toward the end.
            float width = s.halfWid * (1.0f - 0.45f * SmoothStep(-0.2f, 1.1f, t));
            float d = std::max(std::fabs(across) - width, std::fabs(along) - s.halfLen);
            float edge = Fbm(along * 0.25f, across * 0.9f, s.seed, 2) - 0.5f;
            float cover = Cover(d + edge * 1.6f, 0.7f);
            if (cover <= 0.0f)
                continue;
            float bristle = Fbm(along * 0.12f, across * 1.4f, s.seed + 77u, 3);
            float dry = SmoothStep(0.3f, 1.0f, t) * SmoothStep(0.45f, 0.7f, bristle);
            float alpha = cover * (0.92f - 0.7f * dry);
            float light = 0.96f + 0.2f * (bristle - 0.5f) - 0.08f * across / s.halfWid;
            canvas.SetRgb(x, y, Mix(canvas.GetRgb(x, y), Scale(s.colour, light), alpha));
        }
    }
}

void PaintGround(Canvas &canvas) {
    const Rgb paper = {0.74f, 0.72f, 0.76f};
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) {
            float fx = x / 32.0f, fy = y / 32.0f;
            float a = Fbm(fx, fy, 11u, 3, SIZE / 32, SIZE / 32);
            float b = Fbm(fx + 7.3f, fy, 12u, 3, SIZE / 32, SIZE / 32);
            Rgb tint = Mix(PALETTE[0], PALETTE[1], b);
            canvas.SetRgb(x, y, Mix(paper, Scale(tint, 0.85f), 0.35f + 0.3f * a));
        }
    }
}

} // namespace

std::vector<uint8_t> PaintRing() {
    Canvas canvas(SIZE, SIZE, 3);
    PaintGround(canvas);
    Prng rng(0x1A2B3C4Du);
    for (int i = 0; i < PAIR_COUNT; ++i) {
        Stroke pair[2];
        RandomPair(rng, i, pair);
        for (const Stroke &s : pair) {
            for (int oy = -SIZE; oy <= SIZE; oy += SIZE)
                for (int ox = -SIZE; ox <= SIZE; ox += SIZE)
                    PaintStrokeAt(canvas, s, static_cast<float>(ox), static_cast<float>(oy));
        }
    }
    for (float &v : canvas.texels) {
        // Only the deepest magenta and blue come near it; a soft knee keeps
        // them from flattening into one value.
        v = Clamp01(v);
        v = v < FLOOR + KNEE ? FLOOR + KNEE * SmoothStep(FLOOR - KNEE, FLOOR + KNEE, v) : v;
    }
    return ToBytes(canvas);
}
