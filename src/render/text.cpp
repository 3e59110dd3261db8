#include "render/text.h"

#include <cstdlib>
#include <string>

#include "world/rounding.h"

namespace yw {

namespace {

// Where the glyph of character code c lies on the font sheet, in cells.
struct GlyphCell {
  int row;
  int column;
};

GlyphCell GlyphOf(int c) {
  if (c == 32) c = 160;
  const int i = c - 33;
  // Floor division: codes below 33 land on row -1, outside the sheet.
  const int row = i >= 0 ? i / 32 : (i - 31) / 32;
  return {row, i - 32 * row};
}

// Draws one cell of a sheet through its mask (AND the mask, XOR the
// picture) or copies it opaquely.
void DrawCell(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
              int maskX, int maskY, bool transparent) {
  if (transparent) {
    BitBlt(dst, dx, dy, w, h, src, maskX, maskY, Rop::SrcAnd);
    BitBlt(dst, dx, dy, w, h, src, sx, sy, Rop::SrcInvert);
  } else {
    BitBlt(dst, dx, dy, w, h, src, sx, sy, Rop::SrcCopy);
  }
}

// The state of one text box as it is filled line by line.
class TextBoxWriter {
 public:
  TextBoxWriter(const Surface& font, Surface& dst, int x, int y, int height, int cellWidth,
                int cellHeight, bool transparent)
      : font_(font),
        dst_(dst),
        x_(x),
        bottom_(static_cast<int64_t>(y) + height),
        currentY_(y),
        cellWidth_(cellWidth),
        cellHeight_(cellHeight),
        transparent_(transparent) {}

  void Draw(std::string_view line) {
    DrawTextLine(line, font_, dst_, x_, static_cast<int>(currentY_), cellWidth_, cellHeight_,
                 transparent_);
  }
  // Moves to the next line; false when that line starts below the box.
  bool NextLine() {
    currentY_ += cellHeight_;
    return currentY_ <= bottom_;
  }

 private:
  const Surface& font_;
  Surface& dst_;
  int x_;
  int64_t bottom_;
  int64_t currentY_;
  int cellWidth_, cellHeight_;
  bool transparent_;
};

}  // namespace

void DrawTextLine(std::string_view text, const Surface& font, Surface& dst, int x, int y,
                  int cellWidth, int cellHeight, bool transparent) {
  for (size_t k = 0; k < text.size(); ++k) {
    const GlyphCell g = GlyphOf(static_cast<unsigned char>(text[k]));
    const int64_t dx = x + static_cast<int64_t>(k) * cellWidth;
    if (dx > dst.Width()) break;  // everything further right is off the surface
    DrawCell(dst, static_cast<int>(dx), y, cellWidth, cellHeight, font, g.column * cellWidth,
             g.row * cellHeight, g.column * cellWidth, (g.row + 7) * cellHeight, transparent);
  }
}

size_t DrawTextBox(std::string_view text, const Surface& font, Surface& dst, int x, int y,
                   int width, int height, int cellWidth, int cellHeight, bool transparent) {
  TextBoxWriter out(font, dst, x, y, height, cellWidth, cellHeight, transparent);
  const size_t length = text.size();
  std::string line;
  size_t lastSpace = 0;  // 1-based position of the last space in `line`, 0 = none
  size_t restart = 0;    // 1-based position after which the next page continues
  // p walks the text 1-based; text[p - 1] is the character at p.
  for (size_t p = 1; p <= length;) {
    if (p < length && text[p - 1] == '\r' && text[p] == '\n') {
      out.Draw(line);
      line.clear();
      restart = p + 1;
      if (!out.NextLine()) return restart;
      p += 2;
      if (p > length) return length;
      continue;
    }
    const char c = text[p - 1];
    if (c == ' ') {
      lastSpace = line.size() + 1;
      restart = p;
    }
    line.push_back(c);
    const bool nextIsSpace = p < length && text[p] == ' ';
    const int64_t needed = static_cast<int64_t>(line.size() + 1) * cellWidth;
    if (needed > width && !nextIsSpace) {
      // The line is full: break after its last space, or cut the word here.
      if (lastSpace != 0) {
        out.Draw(std::string_view(line).substr(0, lastSpace));
        line.erase(0, lastSpace);
      } else {
        out.Draw(line);
        line.clear();
        restart = p;
      }
      lastSpace = 0;
      if (!out.NextLine()) return restart;
    }
    if (p == length) {
      out.Draw(line);
      return length;
    }
    ++p;
  }
  return length;
}

void DrawNumber(int16_t value, const Surface& digits, Surface& dst, int x, int y, int cellWidth,
                int cellHeight, int16_t style) {
  std::string s = std::to_string(std::abs(static_cast<int>(value)));
  if (value < 0) s.insert(0, 1, '-');
  else if (value >= 1) s.insert(0, 1, '+');
  for (size_t k = 0; k < s.size(); ++k) {
    const int column = s[k] == '-' ? 10 : s[k] == '+' ? 11 : s[k] - '0';
    const int sx = column * cellWidth;
    const int dx = x + static_cast<int>(k) * cellWidth;
    if (style == 1) {
      BitBlt(dst, dx, y, cellWidth, cellHeight, digits, sx, 0, Rop::MergePaint);
      continue;
    }
    BitBlt(dst, dx, y, cellWidth, cellHeight, digits, sx, 0, Rop::SrcAnd);
    if (style >= 2)
      BitBlt(dst, dx, y, cellWidth, cellHeight, digits, sx, (style - 1) * cellHeight,
             Rop::SrcInvert);
  }
}

int DigitCellWidth(const Surface& digits) { return CInt(digits.Width() / 12.0); }
int DigitCellHeight(const Surface& digits) { return CInt(digits.Height() / 5.0); }

}  // namespace yw
