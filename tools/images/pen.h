// Pen paths: the outlines of hand-drawn lettering as text. "M x,y" lifts the
// pen and puts it down at (x, y), "L x,y" draws a line, "Q cx,cy x,y" a curve
// bent toward (cx, cy). Coordinates are in the units of a 12 x 16 letter cell.
#pragma once

#include "tools/images/canvas.h"

#include <vector>

struct PenPoint {
    float x, y;
};
// One stroke: the pen's track from putting it down to lifting it.
using PenStroke = std::vector<PenPoint>;

// Parses `path` into strokes, curves flattened into short lines. Every given
// point moves by up to `wobble` in x, and in y unless it lies on the cell's
// top (y <= 1) or bottom (y >= 15) line, so letters keep their full height.
// Aborts on a malformed path: the paths are constants of this program.
std::vector<PenStroke> ParsePenPath(const char *path, Prng &rng, float wobble);

// Distance from (px, py) to the nearest stroke.
float PenDistance(const std::vector<PenStroke> &strokes, float px, float py);
