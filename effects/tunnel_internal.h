// The ring tunnel's constants and its motion step, open to the tests.
#pragma once

#include <cstdint>

// One unit in the last place below the float nearest to 0.05 (0x3D4CCCCC):
// with it the advance runs through six values, not five, before it wraps.
constexpr float TUNNEL_STEP = 0.049999997f;
constexpr float TUNNEL_ROLL_STEP = 2.0f;
constexpr float RING_LENGTH = 0.25f;
constexpr int32_t TUNNEL_LAST_RING = 50;
constexpr int32_t RING_STEP_DEGREES = 48;
constexpr float RING_QUAD_DEGREES = 24.0f;

// tunnelAdvance += step, back to 0 once it is no longer below one ring length.
void TunnelStep();
