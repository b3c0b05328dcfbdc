// The sliding picture: a small figure in a cardboard-box robot costume, cut
// out of a photograph and laid on pure black. A box over the head carries a
// grey paper face drawn with a marker (two eyes, a stitched mouth); a bigger
// box is the body, paper-roll arms hang at its sides, and below are the
// legs in dark trousers and shoes. Soft light from the upper left, brown
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
    for (PictureLayer layer : PictureLayers()) {
        out = Over(out, layer(x, y));
    }
    // On the black ground: the colour weighted by how much the figure covers.
    return {Scale(out.colour, out.cover), out.cover};
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
            // Film grain only on the photograph, never on the black ground.
            float noise = 1.0f + 0.05f * (grain.Uniform() - 0.5f) * (cover / n);
            canvas.SetRgb(x, y, Scale(sum, noise / n));
        }
    }
    return ToBytes(canvas);
}
