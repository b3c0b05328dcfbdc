// Cardboard and light for the costume picture: the board's texture, the
// shading of box faces, and small shared helpers.
#include "tools/images/picture_parts.h"

#include <algorithm>
#include <cmath>

float SdConvex(const Quad &q, float x, float y) {
    Vec centre{0, 0};
    for (const Vec &v : q) {
        centre.x += v.x / q.size();
        centre.y += v.y / q.size();
    }
    // The largest distance to an edge line, outward positive: exact inside
    // and along the edges, a little short beyond the corners.
    float d = -1e9f;
    for (size_t i = 0; i < q.size(); ++i) {
        Vec a = q[i], b = q[(i + 1) % q.size()];
        float nx = b.y - a.y, ny = a.x - b.x;
        float len = std::hypot(nx, ny);
        nx /= len;
        ny /= len;
        if (nx * (centre.x - a.x) + ny * (centre.y - a.y) > 0) {
            nx = -nx;
            ny = -ny;
        }
        d = std::max(d, nx * (x - a.x) + ny * (y - a.y));
    }
    return d;
}

float Falloff(float x, float y) {
    float pool = std::exp(-((x - 90) * (x - 90) + (y - 150) * (y - 150)) / (2 * 190.0f * 190.0f));
    return 0.72f + 0.38f * pool - 0.06f * (y / 512.0f);
}

float Roundness(float offset, float halfWidth) {
    float t = std::clamp(offset / halfWidth, -1.0f, 1.0f);
    float nz = std::sqrt(std::max(0.0f, 1.0f - t * t));
    // Light from the left and front, a little bounce on the far side.
    return 0.3f + 0.8f * std::max(0.0f, 0.75f * nz - 0.5f * t) + 0.08f * SmoothStep(0.7f, 1.0f, t);
}

LayerPaint Over(LayerPaint under, LayerPaint top) {
    if (top.cover <= 0.0f)
        return under;
    float cover = under.cover + (1.0f - under.cover) * top.cover;
    // Colours are kept unweighted by their own cover.
    Rgb colour =
        Add(Scale(under.colour, under.cover * (1.0f - top.cover)), Scale(top.colour, top.cover));
    return {Scale(colour, 1.0f / cover), cover};
}

float MarkerInk(float d, float half, float x, float y) {
    float wobble = (Fbm(x * 0.2f, y * 0.2f, 777u, 2) - 0.5f) * 0.8f;
    float body = Cover(d - half + wobble, 0.55f);
    float soak = 0.82f + 0.18f * Fbm(x * 0.6f, y * 0.6f, 778u, 2);
    return body * soak;
}

namespace {

// Corrugated board: a mottled liner, fibres, the flutes showing faintly
// through it, and a few water stains.
float BoardTexture(float x, float y, uint32_t seed, bool flutesAcross) {
    float mottle = 0.9f + 0.2f * Fbm(x * 0.035f, y * 0.035f, seed, 4);
    float fibre = 0.07f * (Fbm(x * 0.8f, y * 0.06f, seed + 1, 2) - 0.5f);
    float speck = 0.05f * (Fbm(x * 1.3f, y * 1.3f, seed + 3, 1) - 0.5f);
    float u = flutesAcross ? y : x;
    float flute = 0.028f * std::sin(u * 6.2831853f / 3.8f);
    float stain = 0.1f * SmoothStep(0.6f, 0.72f, Fbm(x * 0.018f, y * 0.018f, seed + 2, 3));
    return mottle + fibre + speck + flute - stain;
}

// One face of a box: board shaded by how much it faces the light, darker
// into the corners where it meets the other faces, its edges a little
// crushed and pale, and not quite straight.
LayerPaint BoardFace(const Quad &q, const Box &box, float x, float y, float facing, uint32_t seed,
                     bool across) {
    float bend = (Fbm(x * 0.06f, y * 0.06f, seed + 5, 2) - 0.5f) * 1.6f;
    float d = SdConvex(q, x, y) + bend;
    float cover = Cover(d, 0.55f);
    if (cover <= 0.0f)
        return NOTHING;
    float inside = std::max(0.0f, -d);
    float corner = 0.78f + 0.22f * SmoothStep(0.0f, 9.0f, inside);
    float worn = 0.12f * std::exp(-inside / 1.1f);
    float k = facing * Falloff(x, y) * corner * BoardTexture(x, y, seed, across);
    Rgb c = Add(Scale(box.board, k), Scale(Rgb{1.0f, 0.88f, 0.7f}, worn * facing));
    return {c, cover};
}

} // namespace

LayerPaint PaintBox(const Box &box, float x, float y) {
    LayerPaint out = BoardFace(box.top, box, x, y, 1.12f, box.seed + 10, true);
    out = Over(out, BoardFace(box.side, box, x, y, 0.5f, box.seed + 20, false));
    return Over(out, BoardFace(box.front, box, x, y, 0.88f, box.seed, false));
}
