#include "tools/images/pen.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

PenPoint Wobble(PenPoint p, Prng &rng, float wobble) {
    p.x += rng.Range(-wobble, wobble);
    if (p.y > 1.0f && p.y < 15.0f)
        p.y += rng.Range(-wobble, wobble);
    return p;
}

void AddCurve(PenStroke &stroke, PenPoint from, PenPoint bend, PenPoint to) {
    constexpr int STEPS = 8;
    for (int i = 1; i <= STEPS; ++i) {
        float t = static_cast<float>(i) / STEPS, u = 1.0f - t;
        stroke.push_back({u * u * from.x + 2 * u * t * bend.x + t * t * to.x,
                          u * u * from.y + 2 * u * t * bend.y + t * t * to.y});
    }
}

[[noreturn]] void BadPath(const char *at) {
    std::fprintf(stderr, "make_images: bad pen path at \"%s\"\n", at);
    std::abort();
}

} // namespace

std::vector<PenStroke> ParsePenPath(const char *path, Prng &rng, float wobble) {
    std::vector<PenStroke> strokes;
    PenPoint pen{0, 0};
    for (const char *s = path; *s;) {
        int used = 0;
        PenPoint p{}, c{};
        if (*s == 'M' && std::sscanf(s, "M%f,%f%n", &p.x, &p.y, &used) == 2) {
            p = Wobble(p, rng, wobble);
            strokes.push_back({p});
        } else if (*s == 'L' && !strokes.empty() &&
                   std::sscanf(s, "L%f,%f%n", &p.x, &p.y, &used) == 2) {
            p = Wobble(p, rng, wobble);
            strokes.back().push_back(p);
        } else if (*s == 'Q' && !strokes.empty() &&
                   std::sscanf(s, "Q%f,%f %f,%f%n", &c.x, &c.y, &p.x, &p.y, &used) == 4) {
            c = Wobble(c, rng, wobble);
            p = Wobble(p, rng, wobble);
            AddCurve(strokes.back(), pen, c, p);
        } else {
            BadPath(s);
        }
        pen = p;
        s += used;
        while (*s == ' ')
            ++s;
    }
    return strokes;
}

float PenDistance(const std::vector<PenStroke> &strokes, float px, float py) {
    float best = 1e9f;
    for (const PenStroke &stroke : strokes) {
        if (stroke.size() == 1)
            best = std::min(best, SdCircle(px, py, stroke[0].x, stroke[0].y, 0.0f));
        for (size_t i = 1; i < stroke.size(); ++i) {
            best = std::min(best, SdSegment(px, py, stroke[i - 1].x, stroke[i - 1].y, stroke[i].x,
                                            stroke[i].y));
        }
    }
    return best;
}
