#include "render/surface.h"

#include <algorithm>
#include <cstring>

namespace yw {

namespace {
int ClampSide(int v) { return std::clamp(v, 0, kMaxSurfaceSide); }
}  // namespace

Surface::Surface(int width, int height, uint32_t fill) {
  width_ = ClampSide(width);
  height_ = ClampSide(height);
  pixels_.assign(static_cast<size_t>(width_) * height_, fill & kPixelMask);
}

void Surface::Resize(int width, int height) {
  width = ClampSide(width);
  height = ClampSide(height);
  if (width == width_ && height == height_) return;
  std::vector<uint32_t> next(static_cast<size_t>(width) * height, 0);
  const int cw = std::min(width, width_);
  const int ch = std::min(height, height_);
  for (int y = 0; y < ch; ++y)
    std::memcpy(next.data() + static_cast<size_t>(y) * width, Row(y), sizeof(uint32_t) * cw);
  pixels_ = std::move(next);
  width_ = width;
  height_ = height;
}

void Surface::Fill(uint32_t pixel) { std::fill(pixels_.begin(), pixels_.end(), pixel & kPixelMask); }

uint32_t Surface::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return Row(y)[x];
}

void Surface::Set(int x, int y, uint32_t pixel) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Row(y)[x] = pixel & kPixelMask;
}

namespace {

// One row of a raster operation. The pointers never alias within a row: an
// overlapping self-copy is routed through a scratch row by the caller.
void RopRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n, Rop rop) {
  switch (rop) {
    case Rop::SrcCopy:
      std::memcpy(d, s, sizeof(uint32_t) * n);
      break;
    case Rop::SrcAnd:
      for (int i = 0; i < n; ++i) d[i] &= s[i];
      break;
    case Rop::SrcInvert:
      for (int i = 0; i < n; ++i) d[i] ^= s[i];
      break;
    case Rop::MergePaint:
      for (int i = 0; i < n; ++i) d[i] = (~s[i] | d[i]) & kPixelMask;
      break;
    case Rop::Blackness:
      std::memset(d, 0, sizeof(uint32_t) * n);
      break;
  }
}

// Clips a copy of w x h at (dx, dy) from (sx, sy) against both surfaces.
// Returns false when nothing is left.
bool ClipCopy(int& dx, int& dy, int& w, int& h, int& sx, int& sy, int dw, int dh, int sw, int sh) {
  if (sx < 0) { dx -= sx; w += sx; sx = 0; }
  if (sy < 0) { dy -= sy; h += sy; sy = 0; }
  if (dx < 0) { sx -= dx; w += dx; dx = 0; }
  if (dy < 0) { sy -= dy; h += dy; dy = 0; }
  w = std::min({w, sw - sx, dw - dx});
  h = std::min({h, sh - sy, dh - dy});
  return w > 0 && h > 0;
}

}  // namespace

void BitBlt(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
            Rop rop) {
  if (rop == Rop::Blackness) {
    // Blackness ignores the source: clip against the destination only.
    int bx = 0, by = 0;
    if (!ClipCopy(dx, dy, w, h, bx, by, dst.Width(), dst.Height(), dst.Width() + w,
                  dst.Height() + h))
      return;
    for (int y = 0; y < h; ++y) std::memset(dst.Row(dy + y) + dx, 0, sizeof(uint32_t) * w);
    return;
  }
  if (!ClipCopy(dx, dy, w, h, sx, sy, dst.Width(), dst.Height(), src.Width(), src.Height()))
    return;
  if (&dst == &src) {
    // Same surface: walk rows so that no row is overwritten before it is
    // read, and copy within a row through a scratch buffer.
    std::vector<uint32_t> scratch(w);
    auto one = [&](int y) {
      std::memcpy(scratch.data(), src.Row(sy + y) + sx, sizeof(uint32_t) * w);
      RopRow(dst.Row(dy + y) + dx, scratch.data(), w, rop);
    };
    if (dy > sy)
      for (int y = h - 1; y >= 0; --y) one(y);
    else
      for (int y = 0; y < h; ++y) one(y);
    return;
  }
  for (int y = 0; y < h; ++y) RopRow(dst.Row(dy + y) + dx, src.Row(sy + y) + sx, w, rop);
}

void StretchBlt(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                int sw, int sh, Rop rop) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  if (dw == sw && dh == sh) {
    BitBlt(dst, dx, dy, dw, dh, src, sx, sy, rop);
    return;
  }
  // Destination pixel (x, y) of the rectangle samples source pixel
  // (sx + x * sw / dw, sy + y * sh / dh). Clip the destination rectangle to
  // the surface, then skip samples that fall outside the source.
  const int x0 = std::max(0, -dx), x1 = std::min(dw, dst.Width() - dx);
  const int y0 = std::max(0, -dy), y1 = std::min(dh, dst.Height() - dy);
  if (x0 >= x1 || y0 >= y1) return;
  std::vector<int32_t> column(x1 - x0);
  int first = -1, last = -1;  // columns whose source lies inside src
  for (int x = x0; x < x1; ++x) {
    const int64_t s = sx + static_cast<int64_t>(x) * sw / dw;
    column[x - x0] = static_cast<int32_t>(s);
    if (s >= 0 && s < src.Width()) {
      if (first < 0) first = x - x0;
      last = x - x0;
    }
  }
  if (first < 0) return;
  const int n = last - first + 1;
  std::vector<uint32_t> row(n);
  const Surface* from = &src;
  Surface copy;
  if (&dst == &src) {
    copy = src;
    from = &copy;
  }
  int cached = -1;
  for (int y = y0; y < y1; ++y) {
    const int64_t syy = sy + static_cast<int64_t>(y) * sh / dh;
    if (syy < 0 || syy >= from->Height()) continue;
    if (syy != cached) {
      const uint32_t* __restrict s = from->Row(static_cast<int>(syy));
      const int32_t* __restrict c = column.data() + first;
      uint32_t* __restrict r = row.data();
      for (int i = 0; i < n; ++i) r[i] = s[c[i]];
      cached = static_cast<int>(syy);
    }
    RopRow(dst.Row(dy + y) + dx + x0 + first, row.data(), n, rop);
  }
}

}  // namespace yw
