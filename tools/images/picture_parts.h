// The parts of the costume picture, each a layer that says what it paints
// at a point: its colour there and how much of the point it covers.
#pragma once

#include "tools/images/canvas.h"

#include <vector>

struct LayerPaint {
    Rgb colour;
    float cover; // 0 where the layer leaves the point to what lies behind
};

using PictureLayer = LayerPaint (*)(float x, float y);

// Back to front: the figure's arms, legs and shoes, the body box with its
// decorations, the head box with its face.
const std::vector<PictureLayer> &PictureLayers();

// Shared by the parts (picture_board.cpp).
struct Vec {
    float x, y;
};
using Quad = std::vector<Vec>; // convex, four corners in order

constexpr LayerPaint NOTHING = {{0, 0, 0}, 0.0f};

float SdConvex(const Quad &q, float x, float y);
// Soft light from the upper left, fading across the figure.
float Falloff(float x, float y);
// Brightness of a round part (an arm, a leg) `offset` from its axis.
float Roundness(float offset, float halfWidth);
// Paints `top` over `under`.
LayerPaint Over(LayerPaint under, LayerPaint top);
// Marker ink of a stroke `d` texels from its centre line, `half` wide.
float MarkerInk(float d, float half, float x, float y);

// A cardboard box seen from the upper left: front, top and right side.
struct Box {
    Quad front, top, side;
    Rgb board;
    uint32_t seed;
};
LayerPaint PaintBox(const Box &box, float x, float y);
