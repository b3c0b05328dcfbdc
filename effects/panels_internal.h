// The steps and constants of the panels, the sliding picture and the lit
// object, open to the tests.
#pragma once

constexpr float PANEL_STEP = 0.1f;
// 0x3D4CCCCC, one unit in the last place below the float nearest to 0.05.
constexpr float SLIDE_STEP = 0.049999997f;
constexpr float SLIDE_HOP_DIVISOR = 1.2f;
constexpr float SPIN_STEP = 1.5f;
constexpr float LIT_OBJECT_DEPTH = -3.5f;
constexpr float INNER_SCALE = 0.8f;
