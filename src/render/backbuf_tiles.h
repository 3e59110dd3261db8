// What each cell of Backbuf shows of the tile layer, so that a frame redraws
// only the cells whose picture changed.
//
// Backbuf holds the view plus a margin of one cell, (cols + 2) x (rows + 2)
// cells. For each of them this keeps the place on Tilemap of the picture
// drawn there. The record is dropped when Tilemap changed since the last
// draw (its version counter), when the buffer's size in cells changed or
// when the map's drawing state was cleared (a new map, a relink). Whoever
// else draws into Backbuf asks for a full redraw, as the title does by
// loading a map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace yw {

class BackbufTiles {
 public:
  // No picture known: never the place of a real one.
  static constexpr int32_t kUnknown = INT32_MIN;

  // What the record describes; equal stamps mean it still holds.
  struct Stamp {
    uint64_t tilemap = 0;
    uint32_t links = 0;
    int cols = 0, rows = 0;
    bool operator==(const Stamp&) const = default;
  };

  // Keeps the record when `now` equals the stamp of the last draw, else
  // starts over with every cell unknown.
  void Check(const Stamp& now) {
    if (now == stamp_ && !cells_.empty()) return;
    stamp_ = now;
    cells_.assign(static_cast<std::size_t>(now.cols) * static_cast<std::size_t>(now.rows),
                  kUnknown);
  }
  // After the buffer's content slid by (dx, dy) cells (a cell's picture now
  // stands dx columns left and dy rows up): the record slides with it, and
  // the cells coming in are unknown.
  void Shift(int dx, int dy);
  // The picture at buffer cell (bc, br), counted from 0.
  int32_t& At(int bc, int br) {
    return cells_[static_cast<std::size_t>(br) * static_cast<std::size_t>(stamp_.cols) +
                  static_cast<std::size_t>(bc)];
  }

 private:
  Stamp stamp_;
  std::vector<int32_t> cells_;
};

}  // namespace yw
