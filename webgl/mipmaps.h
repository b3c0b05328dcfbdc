// GLU's box filter, open to the tests.
#pragma once

#include <cstdint>
#include <vector>

// The next smaller mipmap level of a width x height image of components
// bytes per texel, rows packed: each texel the rounded mean of a 2 x 2 block,
// or, where one side is already 1, the truncated mean of a pair, as GLU
// builds the chain.
std::vector<uint8_t> HalveImage(const uint8_t *image, int width, int height, int components);
