// A masked sprite taken apart along its rows for drawing. Each pixel of
// the sprite is one of three kinds: where the mask is black the result is
// the picture's pixel, so it is copied; where the mask keeps the whole
// background and the picture is black nothing changes, so it is skipped;
// every other pixel takes both passes (mask AND, picture XOR). Rows become
// runs of copied and of two-pass pixels, each run with its own copy of the
// picture and mask pixels. Drawing the runs gives the same pixels as
// MaskedBlt with the same rectangles on any surface, whose pixels have a
// top byte of 0.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "render/surface.h"

namespace yw {

// A rectangle in pixels; empty when w or h is 0.
struct PixelRect {
  int x = 0, y = 0, w = 0, h = 0;
};

class MaskedRuns {
 public:
  // The runs of the w x h sprite whose mask is at (mx, my) and picture at
  // (px, py) of `sheet`; nothing when either rectangle is not wholly on
  // the sheet or the size is not positive.
  static std::optional<MaskedRuns> Build(const Surface& sheet, int mx, int my, int px, int py,
                                         int w, int h);

  // The part of the sprite's rectangle that drawing it can change (the
  // smallest rectangle around its runs), relative to its top-left corner.
  const PixelRect& Drawn() const { return drawn_; }

  struct Run {
    int32_t x = 0, length = 0;
    int32_t at = 0;  // first pixel in picture_ and mask_
    bool twoPass = false;
  };

  // Draws the sprite with its top-left corner at (dx, dy), changing only
  // pixels inside `clip` (which is cut to dst).
  void Draw(Surface& dst, int dx, int dy, const PixelRect& clip) const;

 private:
  MaskedRuns() = default;
  void AddRow(const uint32_t* mask, const uint32_t* picture, int w);

  PixelRect drawn_;
  std::vector<uint32_t> rowStart_;  // the runs of row y: [rowStart_[y], rowStart_[y + 1])
  std::vector<Run> runs_;
  std::vector<uint32_t> picture_, mask_;
};

}  // namespace yw
