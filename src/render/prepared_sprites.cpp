#include "render/prepared_sprites.h"

namespace yw {
namespace {

bool OnSheet(const Surface& sheet, int x, int y, int w, int h) {
  return x >= 0 && y >= 0 && x <= sheet.Width() - w && y <= sheet.Height() - h;
}

// Any bit set in both rows.
bool Overlap(const uint32_t* __restrict picture, const uint32_t* __restrict mask, int n) {
  uint32_t any = 0;
  for (int i = 0; i < n; ++i) any |= picture[i] & mask[i];
  return any != 0;
}

}  // namespace

bool IsCleanSprite(const Surface& sheet, const SpriteDef& s) {
  if (s.width <= 0 || s.height <= 0) return false;
  if (!OnSheet(sheet, s.picX, s.picY, s.width, s.height) ||
      !OnSheet(sheet, s.maskX, s.maskY, s.width, s.height))
    return false;
  for (int y = 0; y < s.height; ++y)
    if (Overlap(sheet.Row(s.picY + y) + s.picX, sheet.Row(s.maskY + y) + s.maskX, s.width))
      return false;
  return true;
}

const PreparedSprite& PreparedSprites::Get(const Surface& sheet, const SpriteDef& s) {
  if (sheet_ != &sheet || version_ != sheet.Version()) {
    known_.clear();
    sheet_ = &sheet;
    version_ = sheet.Version();
  }
  const std::array<int16_t, 6> key{s.picX, s.picY, s.maskX, s.maskY, s.width, s.height};
  const auto [it, added] = known_.try_emplace(key);
  if (added) {
    it->second.clean = IsCleanSprite(sheet, s);
    it->second.runs = MaskedRuns::Build(sheet, s.maskX, s.maskY, s.picX, s.picY, s.width, s.height);
  }
  return it->second;
}

}  // namespace yw
