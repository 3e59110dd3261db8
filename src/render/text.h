// The bitmap font, numbers and window frames.
#pragma once

#include <string_view>

#include "render/surface.h"

namespace yw {

// The text transparency of the whole window: glyphs are drawn through their
// masks, so frames and pictures show between the strokes.
inline constexpr bool kTextTransparent = true;

// Draws a line of text left to right from (x, y), one font cell per
// character; a space is drawn with the cell of code 160. Transparent text
// goes through the glyph masks, opaque text copies whole cells.
void DrawTextLine(std::string_view text, const Surface& font, Surface& dst, int x, int y,
                  int cellWidth, int cellHeight, bool transparent);

}  // namespace yw
