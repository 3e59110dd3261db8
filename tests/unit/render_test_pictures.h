// Small synthetic interface pictures for the drawing tests, built so that
// every drawn pixel tells which cell or piece it came from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/surface.h"

namespace yw::test {

constexpr uint32_t kWhite = 0xFFFFFF;

// Font: 32 x 14 cells. A glyph cell is coloured in its left half with a
// colour naming its row and column and black in its right half; its mask
// is black on the left (opaque) and white on the right (see-through).
inline uint32_t GlyphColour(int row, int column) {
  return Rgb(static_cast<uint8_t>(0x20 + row), static_cast<uint8_t>(0x40 + column), 0x99);
}

inline Surface MakeFont(int cw, int ch) {
  Surface font(32 * cw, 14 * ch, 0);
  for (int row = 0; row < 7; ++row)
    for (int col = 0; col < 32; ++col)
      for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x) {
          const bool left = x < cw / 2;
          font.Set(col * cw + x, row * ch + y, left ? GlyphColour(row, col) : 0);
          font.Set(col * cw + x, (row + 7) * ch + y, left ? 0 : kWhite);
        }
  return font;
}

// The character code whose glyph colour is at (x, y), or -1.
inline int CodeAt(const Surface& s, int x, int y) {
  const uint32_t p = s.At(x, y);
  const int row = static_cast<int>((p >> 16) & 0xFF) - 0x20;
  const int col = static_cast<int>((p >> 8) & 0xFF) - 0x40;
  if ((p & 0xFF) != 0x99 || row < 0 || row > 6 || col < 0 || col > 31) return -1;
  return 33 + row * 32 + col;
}

// The characters drawn in `count` cells from (x, y); a space reads as " "
// (its cell is that of code 160), an empty cell as "?".
inline std::string ReadCells(const Surface& s, int x, int y, int cw, int count) {
  std::string out;
  for (int k = 0; k < count; ++k) {
    const int c = CodeAt(s, x + k * cw, y);
    out.push_back(c == 160 ? ' ' : c < 0 ? '?' : static_cast<char>(c));
  }
  return out;
}

// Frame pieces, numbered 1 to 9 row by row (corner, edge, corner / edge,
// inside, edge / corner, edge, corner). Each pixel names its piece and its
// offset in the piece; the masks are black (opaque) everywhere.
struct FrameLayout {
  int cw, ch, hw, vh;
  int MaskOffset() const { return 2 * cw + hw; }
};

inline uint32_t PieceColour(int piece, int ox, int oy) {
  return Rgb(static_cast<uint8_t>(piece * 20), static_cast<uint8_t>(ox + 1),
             static_cast<uint8_t>(oy + 1));
}

inline Surface MakeFrame(const FrameLayout& f) {
  Surface pic(2 * f.MaskOffset(), 2 * f.ch + f.vh, 0);
  const int xs[3] = {0, f.cw, f.cw + f.hw}, ws[3] = {f.cw, f.hw, f.cw};
  const int ys[3] = {0, f.ch, f.ch + f.vh}, hs[3] = {f.ch, f.vh, f.ch};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      for (int oy = 0; oy < hs[r]; ++oy)
        for (int ox = 0; ox < ws[c]; ++ox)
          pic.Set(xs[c] + ox, ys[r] + oy, PieceColour(r * 3 + c + 1, ox, oy));
  return pic;
}

}  // namespace yw::test
