// The sliding picture: a small figure in a cardboard-box robot costume, cut
// out of a photograph and laid on pure black. A box over the head carries a
// grey paper face drawn with a marker (two eyes, a stitched mouth); a bigger
// box is the body, sweater sleeves hang at its sides, and below are the
// legs in jeans and sneakers. Soft light from the upper left, brown
// corrugated board with fibres, stains and tape, and a little film grain
// make it look photographed rather than drawn.
#include "tools/images/canvas.h"
#include "tools/images/images.h"
#include "tools/images/picture_parts.h"

#include <cmath>

namespace {

constexpr int WIDTH = 256;
constexpr int HEIGHT = 512;
constexpr int SUPERSAMPLE = 3;

struct Sample {
    Rgb colour;
    float cover;
};

Sample PaintPoint(float x, float y) {
    LayerPaint out = NOTHING;
    for (PictureLayer layer : PictureLayers())
        out = Over(out, layer(x, y));
    // On the black ground: the colour weighted by how much the figure covers.
    return {Scale(out.colour, out.cover), out.cover};
}

// A camera's lens is never quite sharp: soften by a small separable kernel
// (1 6 1) / 8. The ground stays black but for the figure's own edge.
void Soften(Canvas &canvas) {
    Canvas copy = canvas;
    for (int pass = 0; pass < 2; ++pass) {
        int dx = pass == 0, dy = pass == 1;
        for (int y = dy; y < HEIGHT - dy; ++y) {
            for (int x = dx; x < WIDTH - dx; ++x) {
                for (int c = 0; c < 3; ++c) {
                    canvas.At(x, y, c) = (copy.At(x - dx, y - dy, c) + 6 * copy.At(x, y, c) +
                                          copy.At(x + dx, y + dy, c)) /
                                         8.0f;
                }
            }
        }
        copy = canvas;
    }
}

} // namespace

std::vector<uint8_t> PaintPicture() {
    Canvas canvas(WIDTH, HEIGHT, 3);
    Prng grain(0xF11Au);
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < WIDTH; ++x) {
            Rgb sum{0, 0, 0};
            float cover = 0.0f;
            for (int sy = 0; sy < SUPERSAMPLE; ++sy) {
                for (int sx = 0; sx < SUPERSAMPLE; ++sx) {
                    Sample s =
                        PaintPoint(x + (sx + 0.5f) / SUPERSAMPLE, y + (sy + 0.5f) / SUPERSAMPLE);
                    sum = Add(sum, s.colour);
                    cover += s.cover;
                }
            }
            const float n = SUPERSAMPLE * SUPERSAMPLE;
            // Film grain, a little different in each dye layer, only on the
            // photograph and never on the black ground.
            float weight = 0.07f * cover / n;
            Rgb noise = {1.0f + weight * (grain.Uniform() - 0.5f),
                         1.0f + weight * (grain.Uniform() - 0.5f),
                         1.0f + weight * (grain.Uniform() - 0.5f)};
            canvas.SetRgb(x, y, {sum.r * noise.r / n, sum.g * noise.g / n, sum.b * noise.b / n});
        }
    }
    Soften(canvas);
    return ToBytes(canvas);
}
