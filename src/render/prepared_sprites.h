// Sprite frames prepared for drawing: their runs (masked_runs.h) and
// whether they are clean. A clean sprite has a black picture wherever its
// mask keeps any of the background, so drawing it (mask AND, picture XOR)
// over its own result changes nothing: a second draw at the same place
// only matters where something else was drawn since the first. A sprite
// that is not clean (stray colour outside its figure) flips those pixels
// on every draw and has to be drawn in full each time.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>

#include "render/masked_runs.h"
#include "render/surface.h"
#include "world/world.h"

namespace yw {

// Whether the sprite's mask and picture lie wholly on the sheet and the
// picture has no bit set where the mask has one.
bool IsCleanSprite(const Surface& sheet, const SpriteDef& s);

struct PreparedSprite {
  bool clean = false;
  std::optional<MaskedRuns> runs;  // none when the sprite is not wholly on its sheet
};

// The prepared frames of one sheet, each worked out on first use and kept
// until the sheet changes (Surface::Version).
class PreparedSprites {
 public:
  const PreparedSprite& Get(const Surface& sheet, const SpriteDef& s);

 private:
  const Surface* sheet_ = nullptr;
  uint64_t version_ = 0;
  std::map<std::array<int16_t, 6>, PreparedSprite> known_;
};

}  // namespace yw
