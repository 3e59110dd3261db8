#include "render/text.h"

namespace yw {

void DrawTextLine(std::string_view text, const Surface& font, Surface& dst, int x, int y,
                  int cellWidth, int cellHeight, bool transparent) {
  for (size_t k = 0; k < text.size(); ++k) {
    int c = static_cast<unsigned char>(text[k]);
    if (c == 32) c = 160;
    const int i = c - 33;
    // Floor division: codes below 33 land on row -1, outside the sheet.
    const int row = i >= 0 ? i / 32 : (i - 31) / 32;
    const int column = i - 32 * row;
    const int dx = x + static_cast<int>(k) * cellWidth;
    if (transparent) {
      BitBlt(dst, dx, y, cellWidth, cellHeight, font, column * cellWidth, (row + 7) * cellHeight,
             Rop::SrcAnd);
      BitBlt(dst, dx, y, cellWidth, cellHeight, font, column * cellWidth, row * cellHeight,
             Rop::SrcInvert);
    } else {
      BitBlt(dst, dx, y, cellWidth, cellHeight, font, column * cellWidth, row * cellHeight,
             Rop::SrcCopy);
    }
  }
}

}  // namespace yw
