#include "render/masked_runs.h"

#include <algorithm>
#include <cstddef>

#include "render/wide_kernel.h"

namespace yw {
namespace {

enum class PixelKind { Skip, Copy, TwoPass };

PixelKind KindOf(uint32_t mask, uint32_t picture) {
  if (mask == 0) return PixelKind::Copy;
  if (picture == 0 && (mask & kPixelMask) == kPixelMask) return PixelKind::Skip;
  return PixelKind::TwoPass;
}

bool OnSheet(const Surface& sheet, int x, int y, int w, int h) {
  return x >= 0 && y >= 0 && x <= sheet.Width() - w && y <= sheet.Height() - h;
}

// The runs of `rows` rows from rowStart, the first drawn to d and each
// next one `stride` pixels further; cut to the columns [from, to). `left`
// is the destination column of the sprite's column 0.
// Runs are a few dozen pixels: their copies stay loops (YW_INLINE_COPIES).
YW_INLINE_COPIES YW_WIDE_KERNEL void DrawRuns(uint32_t* __restrict d, ptrdiff_t stride,
                                              int64_t rows, const uint32_t* rowStart,
                                              const MaskedRuns::Run* runs,
                                              const uint32_t* __restrict picture,
                                              const uint32_t* __restrict mask, int left, int from,
                                              int to) {
  for (int64_t r = 0; r < rows; ++r, d += stride) {
    for (uint32_t k = rowStart[r]; k < rowStart[r + 1]; ++k) {
      const MaskedRuns::Run& run = runs[k];
      const int a = std::max(left + run.x, from);
      const int b = std::min(left + run.x + run.length, to);
      if (a >= b) continue;
      const int skip = a - left - run.x;
      const uint32_t* p = picture + run.at + skip;
      uint32_t* out = d + a;
      const int n = b - a;
      if (run.twoPass) {
        const uint32_t* m = mask + run.at + skip;
        for (int i = 0; i < n; ++i) out[i] = (out[i] & m[i]) ^ p[i];
      } else {
        for (int i = 0; i < n; ++i) out[i] = p[i];
      }
    }
  }
}

}  // namespace

std::optional<MaskedRuns> MaskedRuns::Build(const Surface& sheet, int mx, int my, int px, int py,
                                            int w, int h) {
  if (w <= 0 || h <= 0 || !OnSheet(sheet, mx, my, w, h) || !OnSheet(sheet, px, py, w, h))
    return std::nullopt;
  MaskedRuns r;
  r.rowStart_.reserve(static_cast<size_t>(h) + 1);
  int left = w, right = 0, top = h, bottom = 0;
  for (int y = 0; y < h; ++y) {
    const size_t before = r.runs_.size();
    r.AddRow(sheet.Row(my + y) + mx, sheet.Row(py + y) + px, w);
    if (r.runs_.size() == before) continue;
    left = std::min(left, r.runs_[before].x);
    right = std::max(right, r.runs_.back().x + r.runs_.back().length);
    top = std::min(top, y);
    bottom = y + 1;
  }
  r.rowStart_.push_back(static_cast<uint32_t>(r.runs_.size()));
  if (top < bottom) r.drawn_ = {left, top, right - left, bottom - top};
  return r;
}

void MaskedRuns::AddRow(const uint32_t* mask, const uint32_t* picture, int w) {
  rowStart_.push_back(static_cast<uint32_t>(runs_.size()));
  for (int x = 0; x < w;) {
    const PixelKind kind = KindOf(mask[x], picture[x]);
    int end = x + 1;
    while (end < w && KindOf(mask[end], picture[end]) == kind) ++end;
    if (kind != PixelKind::Skip) {
      runs_.push_back(
          {x, end - x, static_cast<int32_t>(picture_.size()), kind == PixelKind::TwoPass});
      picture_.insert(picture_.end(), picture + x, picture + end);
      mask_.insert(mask_.end(), mask + x, mask + end);
    }
    x = end;
  }
}

void MaskedRuns::Draw(Surface& dst, int dx, int dy, const PixelRect& clip) const {
  const int64_t from = std::max<int64_t>(clip.x, 0);
  const int64_t to = std::min<int64_t>(int64_t{clip.x} + clip.w, dst.Width());
  const int64_t top = std::max({int64_t{clip.y}, int64_t{0}, int64_t{dy} + drawn_.y});
  const int64_t bottom = std::min(
      {int64_t{clip.y} + clip.h, int64_t{dst.Height()}, int64_t{dy} + drawn_.y + drawn_.h});
  if (from >= to || top >= bottom) return;
  DrawRuns(dst.Row(static_cast<int>(top)), dst.Width(), bottom - top, rowStart_.data() + (top - dy),
           runs_.data(), picture_.data(), mask_.data(), dx, static_cast<int>(from),
           static_cast<int>(to));
}

}  // namespace yw
