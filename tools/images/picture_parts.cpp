// The figure of the costume picture: a child in a sweater and jeans wearing
// a big box as the body and a smaller one over the head. The head box is
// tilted a little, as boxes sit on heads; its grey paper face and the
// things stuck and drawn on the body are what make it a robot.
#include "tools/images/picture_parts.h"

#include <algorithm>
#include <cmath>

namespace {

const Rgb BLACK_INK = {0.05f, 0.05f, 0.06f};
const Rgb SKIN = {0.88f, 0.64f, 0.52f};
const Rgb SWEATER = {0.20f, 0.40f, 0.44f};
const Rgb DENIM = {0.19f, 0.23f, 0.34f};
const Rgb TAPE = {0.80f, 0.60f, 0.34f};

// The head is drawn in its own frame, turned by HEAD_TILT about HEAD_PIVOT.
constexpr float HEAD_TILT = -0.035f;
constexpr Vec HEAD_PIVOT = {122.0f, 80.0f};

Vec HeadFrame(float x, float y) {
    float dx = x - HEAD_PIVOT.x, dy = y - HEAD_PIVOT.y;
    float c = std::cos(HEAD_TILT), s = std::sin(HEAD_TILT);
    return {HEAD_PIVOT.x + c * dx + s * dy, HEAD_PIVOT.y - s * dx + c * dy};
}

const Box HEAD = {{{62, 24}, {182, 24}, {182, 138}, {62, 138}},
                  {{62, 24}, {84, 7}, {204, 7}, {182, 24}},
                  {{182, 24}, {204, 7}, {204, 120}, {182, 138}},
                  {0.66f, 0.48f, 0.29f},
                  100u};
const Box BODY = {{{38, 152}, {194, 150}, {193, 330}, {40, 332}},
                  {{38, 152}, {60, 137}, {214, 135}, {194, 150}},
                  {{194, 150}, {214, 135}, {212, 313}, {193, 330}},
                  {0.60f, 0.43f, 0.26f},
                  200u};

LayerPaint Arm(float x, float y, Vec shoulder, Vec wrist) {
    float along = Clamp01(
        ((x - shoulder.x) * (wrist.x - shoulder.x) + (y - shoulder.y) * (wrist.y - shoulder.y)) /
        ((wrist.x - shoulder.x) * (wrist.x - shoulder.x) +
         (wrist.y - shoulder.y) * (wrist.y - shoulder.y)));
    float half = 15.0f - 3.0f * along;
    float d = SdSegment(x, y, shoulder.x, shoulder.y, wrist.x, wrist.y) - half;
    LayerPaint out = NOTHING;
    float inward = wrist.x < 124.0f ? 1.0f : -1.0f;
    float hand = std::min(SdEllipse(x, y, wrist.x + 1.0f, wrist.y + 14.0f, 10.0f, 14.5f),
                          SdEllipse(x, y, wrist.x + inward * 8.0f, wrist.y + 12.0f, 4.0f, 8.0f));
    if (hand < 1.0f) {
        float k = Roundness(x - wrist.x - 1.0f, 10.0f) * Falloff(x, y);
        float knuckles = 1.0f - 0.12f * SmoothStep(0.3f, 1.0f, std::sin((x - wrist.x) * 0.9f)) *
                                    SmoothStep(wrist.y + 18.0f, wrist.y + 26.0f, y);
        out = {Scale(SKIN, k * knuckles), Cover(hand, 0.55f)};
    }
    if (d < 1.0f) {
        // Knitted sleeve: ribs along the arm, soft folds across it.
        float cx = shoulder.x + (wrist.x - shoulder.x) * along;
        float rib = 0.93f + 0.07f * std::sin(x * 1.9f + y * 0.25f);
        float folds = 0.85f + 0.3f * Fbm(x * 0.04f, y * 0.11f, 51u, 3);
        float cuff = along > 0.9f ? 0.9f : 1.0f;
        // Where the sleeve passes behind the box it lies in the box's shade.
        float contact = 0.55f + 0.45f * SmoothStep(0.0f, 12.0f, SdConvex(BODY.front, x, y));
        float k = Roundness(x - cx, half) * Falloff(x, y) * rib * folds * cuff * contact;
        out = Over(out, {Scale(SWEATER, k), Cover(d, 0.55f)});
    }
    return out;
}

LayerPaint Arms(float x, float y) {
    return Over(Arm(x, y, {38, 176}, {24, 296}), Arm(x, y, {206, 170}, {230, 290}));
}

LayerPaint Legs(float x, float y) {
    LayerPaint out = NOTHING;
    for (float cx : {96.0f, 152.0f}) {
        float lean = (cx < 124 ? -1.0f : 1.0f) * (y - 330.0f) * 0.03f;
        float axis = cx + lean;
        // Narrower toward the ankle, a little fuller over the knee.
        float half = 23.0f - 4.0f * SmoothStep(330.0f, 470.0f, y) +
                     1.5f * std::exp(-(y - 402.0f) * (y - 402.0f) / 200.0f);
        float d = SdBox(x, y, axis, 400.0f, half, 76.0f, 6.0f);
        if (d > 1.0f)
            continue;
        float folds = 0.82f + 0.36f * Fbm(x * 0.05f, y * 0.1f, 61u, 3);
        float twill = 1.0f + 0.07f * (Fbm((x + y) * 0.9f, (x - y) * 0.15f, 62u, 1) - 0.5f);
        // The body box shades the tops of the legs.
        float shade = 0.45f + 0.55f * SmoothStep(330.0f, 372.0f, y);
        float seam = 1.0f - 0.15f * Cover(std::fabs(x - axis - 0.5f * half) - 0.6f, 0.7f);
        float k = Roundness(x - axis, half) * folds * twill * shade * seam * Falloff(x, y);
        out = Over(out, {Scale(DENIM, k), Cover(d, 0.55f)});
    }
    return out;
}

LayerPaint Shoes(float x, float y) {
    LayerPaint out = NOTHING;
    for (float cx : {90.0f, 160.0f}) {
        float toe = cx < 124 ? -6.0f : 6.0f;
        float d = std::min(SdBox(x, y, cx, 470.0f, 24.0f, 12.0f, 10.0f),
                           SdEllipse(x, y, cx + toe, 476.0f, 28.0f, 10.0f));
        if (d > 1.0f)
            continue;
        Rgb upper = {0.9f, 0.89f, 0.86f};
        float stripe = Cover(std::fabs(y - 469.0f + (x - cx) * 0.25f) - 2.2f, 0.6f);
        upper = Mix(upper, Rgb{0.75f, 0.12f, 0.1f}, stripe);
        Rgb sole = {0.62f, 0.6f, 0.58f};
        Rgb c = y > 480.0f ? sole : upper;
        float k = (0.7f + 0.35f * SmoothStep(480.0f, 460.0f, y)) * Falloff(x, y);
        out = Over(out, {Scale(c, k), Cover(d, 0.55f)});
    }
    return out;
}

LayerPaint Collar(float x, float y) {
    float d = SdBox(x, y, 124.0f, 146.0f, 32.0f, 12.0f, 8.0f);
    return {Scale(SWEATER, 0.22f), Cover(d, 0.55f)};
}

// A bottle cap glued on: a ridged rim, a dished top, a bright glint.
LayerPaint BottleCap(float x, float y, Vec at, Rgb colour) {
    float r = std::hypot(x - at.x, y - at.y);
    float d = r - 10.0f + 0.5f * std::sin(std::atan2(y - at.y, x - at.x) * 21.0f);
    if (d > 1.0f)
        return NOTHING;
    float rim = SmoothStep(6.5f, 8.5f, r);
    float lit = 0.75f + 0.3f * ((at.x - x) + (at.y - y)) / 14.0f;
    float glint = Cover(SdCircle(x, y, at.x - 4.0f, at.y - 4.0f, 1.8f), 0.8f);
    Rgb c = Scale(colour, lit * (0.8f + 0.25f * rim));
    return {Mix(c, Rgb{1, 1, 1}, glint * 0.8f), Cover(d, 0.55f)};
}

// Marker drawing on the body: a screen with a pulse line, a dial, vents.
float BodyDrawing(float x, float y) {
    float d = std::fabs(SdBox(x, y, 142.0f, 206.0f, 30.0f, 20.0f, 4.0f));
    float wave = 206.0f + 9.0f * std::sin((x - 112.0f) * 0.45f) * SmoothStep(118.0f, 130.0f, x) *
                              SmoothStep(166.0f, 154.0f, x);
    if (x > 116.0f && x < 168.0f)
        d = std::min(d, std::fabs(y - wave) * 0.7f);
    d = std::min(d, std::fabs(SdCircle(x, y, 140.0f, 264.0f, 15.0f)));
    d = std::min(d, SdSegment(x, y, 140.0f, 264.0f, 150.0f, 254.0f));
    for (float vy : {296.0f, 304.0f, 312.0f})
        d = std::min(d, SdSegment(x, y, 62.0f, vy, 100.0f, vy - 0.5f));
    return MarkerInk(d, 1.3f, x, y);
}

// Packing tape: translucent, glossy along its middle, a little crinkled.
LayerPaint Tape(const Quad &strip, float x, float y, LayerPaint under) {
    float d = SdConvex(strip, x, y);
    if (d > 1.0f || under.cover <= 0.0f)
        return under;
    float crinkle = 0.92f + 0.16f * Fbm(x * 0.3f, y * 0.05f, 91u, 2);
    Rgb c = Mix(under.colour, Scale(TAPE, Falloff(x, y) * crinkle), 0.5f);
    float gloss = 0.18f * SmoothStep(0.6f, 0.9f, Fbm(x * 0.08f, y * 0.4f, 92u, 2));
    c = Add(c, Rgb{gloss, gloss, gloss * 0.9f});
    return Over(under, {c, Cover(d, 0.55f) * under.cover});
}

LayerPaint Body(float x, float y) {
    LayerPaint p = PaintBox(BODY, x, y);
    if (p.cover <= 0.0f)
        return p;
    // The head box and the collar shade the top of the body.
    float shadow = SmoothStep(40.0f, 0.0f, y - 140.0f) * SmoothStep(50.0f, 80.0f, x) *
                   SmoothStep(230.0f, 190.0f, x);
    p.colour = Scale(p.colour, 1.0f - 0.5f * shadow);
    p.colour = Mix(p.colour, BLACK_INK, BodyDrawing(x, y) * 0.9f);
    p = Over(p, BottleCap(x, y, {76, 198}, {0.78f, 0.1f, 0.1f}));
    p = Over(p, BottleCap(x, y, {76, 232}, {0.15f, 0.3f, 0.7f}));
    p = Tape({{112, 150}, {134, 150}, {134, 174}, {112, 175}}, x, y, p);
    return p;
}

// Grey paper glued on the head box, with a marker-drawn robot face.
LayerPaint Face(float x, float y, LayerPaint board) {
    float panel = SdBox(x, y, 122.0f, 84.0f, 45.0f, 40.0f, 1.5f);
    // The paper stands off the board a little: a soft shadow below right.
    float shadow =
        SmoothStep(5.0f, -1.0f, SdBox(x - 2.5f, y - 3.0f, 122.0f, 84.0f, 45.0f, 40.0f, 3.0f));
    board.colour = Scale(board.colour, 1.0f - 0.35f * shadow);
    if (panel > 1.0f)
        return board;
    float paper = 0.92f + 0.1f * Fbm(x * 0.09f, y * 0.09f, 400u, 3);
    Rgb c = Scale(Rgb{0.6f, 0.61f, 0.63f}, paper * (0.35f + 0.6f * Falloff(x, y)));
    float ink = 0.0f;
    for (float ex : {102.0f, 142.0f})
        ink = std::max(ink, MarkerInk(SdCircle(x, y, ex, 70.0f, 0.0f), 11.0f, x, y));
    ink = std::max(ink, MarkerInk(SdSegment(x, y, 96.0f, 104.0f, 148.0f, 105.0f), 1.5f, x, y));
    for (float sx = 100.0f; sx <= 145.0f; sx += 8.0f)
        ink = std::max(ink, MarkerInk(SdSegment(x, y, sx, 97.0f, sx + 1.0f, 112.0f), 1.1f, x, y));
    c = Mix(c, BLACK_INK, ink);
    float glint = 0.0f;
    for (float ex : {98.0f, 138.0f})
        glint = std::max(glint, Cover(SdCircle(x, y, ex, 66.0f, 3.2f), 0.6f));
    c = Mix(c, Rgb{0.93f, 0.93f, 0.92f}, glint);
    return Over(board, {c, Cover(panel, 0.55f)});
}

LayerPaint Head(float x, float y) {
    Vec p = HeadFrame(x, y);
    LayerPaint out = PaintBox(HEAD, p.x, p.y);
    if (out.cover <= 0.0f)
        return out;
    // The flaps meet along the middle of the top; tape holds them and runs
    // over the front edge.
    float seam = Cover(std::fabs(p.y - 15.5f) - 0.5f, 0.5f) * (p.x > 74.0f && p.x < 194.0f);
    out.colour = Scale(out.colour, 1.0f - 0.5f * seam);
    out = Tape({{112, 24}, {133, 24}, {151, 8}, {130, 8}}, p.x, p.y, out);
    out = Tape({{112, 24}, {133, 24}, {133, 40}, {112, 41}}, p.x, p.y, out);
    return Face(p.x, p.y, out);
}

} // namespace

const std::vector<PictureLayer> &PictureLayers() {
    static const std::vector<PictureLayer> layers = {Arms, Legs, Shoes, Collar, Body, Head};
    return layers;
}
