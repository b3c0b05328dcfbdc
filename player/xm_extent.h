// Walks the headers of an XM module to find where the module ends, so that a
// module handed over without a length is never read past its own last byte.
#pragma once

#include <cstddef>
#include <cstdint>

// Largest module the walk accepts; beyond it the headers are taken for junk.
constexpr uint64_t XM_MAX_EXTENT = 256u << 20;

// Returns a PLAYER_* code: PLAYER_OK with *extent set to the module's size in
// bytes, or PLAYER_ERROR_FORMAT when the bytes are not a complete XM module.
// With limit 0 the module's headers alone bound the walk; otherwise no byte at
// or beyond data + limit is read and a module that needs more is refused.
int32_t XmExtent(const uint8_t *data, uint64_t limit, uint64_t *extent);
