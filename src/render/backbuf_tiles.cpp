#include "render/backbuf_tiles.h"

#include <algorithm>

namespace yw {

void BackbufTiles::Shift(int dx, int dy) {
  const int cols = stamp_.cols, rows = stamp_.rows;
  std::vector<int32_t> moved(cells_.size(), kUnknown);
  for (int br = 0; br < rows; ++br) {
    const int from = br + dy;
    if (from < 0 || from >= rows) continue;
    // Columns bc whose source bc + dx lies in the buffer.
    const int first = std::max(0, -dx), last = std::min(cols, cols - dx);
    for (int bc = first; bc < last; ++bc)
      moved[static_cast<size_t>(br) * cols + bc] =
          cells_[static_cast<size_t>(from) * cols + bc + dx];
  }
  cells_ = std::move(moved);
}

}  // namespace yw
