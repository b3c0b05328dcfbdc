// The scroller's pieces, open to the tests.
#pragma once

#include <cstdint>

// Width of one 12-texel font cell in texture coordinates, as the font was laid
// out (slightly more than 12/512).
constexpr float GLYPH_CELL_WIDTH = 0.023438f;
constexpr float SCROLL_STEP = 0.03f;
constexpr float SCROLL_SCALE = 0.08f;
constexpr float SCROLL_X_OFFSET = 2.7f;
constexpr float SCROLL_Y = -1.9f;

// The code DrawString hands to DrawGlyph for a character; -1 for the space,
// which only advances.
int32_t GlyphCode(char c);

// The font cell DrawGlyph shows for a code: code - 65 as a signed byte.
int32_t GlyphCell(uint8_t code);

// Whether character number index (from 1) of the scroller may show on screen
// at the current scrollPos; characters outside are not submitted.
bool ScrollerCharacterMayShow(int32_t index);
