// The bitmap font and the digit strip.
//
// font.bmp is a grid of 32 x 14 cells: rows 0-6 hold the glyphs of codes 33
// to 255, rows 7-13 their masks (black where the stroke is, white around
// it). digit.bmp is a grid of 12 x 5 cells: columns 0-9 the digits, 10 "-",
// 11 "+"; row 0 is the mask row, rows 1-4 four colour sets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "render/surface.h"

namespace yw {

// The text transparency of the whole window: glyphs are drawn through their
// masks, so frames and pictures show between the strokes.
inline constexpr bool kTextTransparent = true;

// Character codes with a meaning of their own in the font.
inline constexpr char kSpaceGlyph = static_cast<char>(160);  // drawn for a space
inline constexpr char kMoreMarker = static_cast<char>(128);  // "more pages follow"
inline constexpr char kCaret = static_cast<char>(95);        // end of the input line

// Draws a line of text left to right from (x, y), one font cell per
// character; a space is drawn with the cell of code 160. Transparent text
// goes through the glyph masks, opaque text copies whole cells. Nothing is
// wrapped or clipped beyond the destination's edges.
void DrawTextLine(std::string_view text, const Surface& font, Surface& dst, int x, int y,
                  int cellWidth, int cellHeight, bool transparent);

// Draws text into the box (x, y, width, height) with word wrap; a CR LF pair
// starts a new line. Drawing stops once the next line would start below
// y + height. Returns the 1-based position after which the next page
// continues, or the text's length when everything was drawn.
size_t DrawTextBox(std::string_view text, const Surface& font, Surface& dst, int x, int y,
                   int width, int height, int cellWidth, int cellHeight, bool transparent);

// Draws a signed number: "-" before negative values, "+" before values of
// 1 or more, none before 0. Style 0 draws black digits, 1 white digits,
// 2 and above the colour set of row (style - 1).
void DrawNumber(int16_t value, const Surface& digits, Surface& dst, int x, int y, int cellWidth,
                int cellHeight, int16_t style);

// The cell size of the digit strip.
int DigitCellWidth(const Surface& digits);
int DigitCellHeight(const Surface& digits);

}  // namespace yw
