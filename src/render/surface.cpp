#include "render/surface.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "render/wide_kernel.h"

namespace yw {

namespace {

int ClampSide(int v) { return std::clamp(v, 0, kMaxSurfaceSide); }

// Cuts the height so that the surface stays within kMaxSurfacePixels.
int ClampHeight(int width, int height) {
  if (width > 0 && static_cast<int64_t>(width) * height > kMaxSurfacePixels)
    return static_cast<int>(kMaxSurfacePixels / width);
  return height;
}

}  // namespace

Surface::Surface(int width, int height, uint32_t fill) {
  width_ = ClampSide(width);
  height_ = ClampHeight(width_, ClampSide(height));
  pixels_.assign(static_cast<size_t>(width_) * height_, fill & kPixelMask);
}

void Surface::Resize(int width, int height) {
  width = ClampSide(width);
  height = ClampHeight(width, ClampSide(height));
  if (width == width_ && height == height_) return;
  std::vector<uint32_t> next(static_cast<size_t>(width) * height, 0);
  const int cw = std::min(width, width_);
  const int ch = std::min(height, height_);
  // A side of 0 leaves nothing to keep (and no buffer to copy into).
  for (int y = 0; cw > 0 && y < ch; ++y)
    std::memcpy(next.data() + static_cast<size_t>(y) * width, Row(y), sizeof(uint32_t) * cw);
  pixels_ = std::move(next);
  width_ = width;
  height_ = height;
  ++version_;
}

void Surface::Fill(uint32_t pixel) {
  std::fill(pixels_.begin(), pixels_.end(), pixel & kPixelMask);
  ++version_;
}

uint32_t Surface::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return Row(y)[x];
}

void Surface::Set(int x, int y, uint32_t pixel) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Row(y)[x] = pixel & kPixelMask;  // Row counts the change
}

namespace {

// Row kernels. The pointers never alias: copies within one row of one
// surface are routed around them by the callers. __restrict lets the
// compiler vectorise the loops (see wide_kernel.h).

YW_WIDE_KERNEL void AndRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n) {
  for (int i = 0; i < n; ++i) d[i] &= s[i];
}

YW_WIDE_KERNEL void XorRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n) {
  for (int i = 0; i < n; ++i) d[i] ^= s[i];
}

YW_WIDE_KERNEL void MergePaintRow(uint32_t* __restrict d, const uint32_t* __restrict s, int n) {
  for (int i = 0; i < n; ++i) d[i] = (~s[i] | d[i]) & kPixelMask;
}

void RopRow(uint32_t* d, const uint32_t* s, int n, Rop rop) {
  switch (rop) {
    case Rop::SrcCopy: std::memcpy(d, s, sizeof(uint32_t) * n); break;
    case Rop::SrcAnd: AndRow(d, s, n); break;
    case Rop::SrcInvert: XorRow(d, s, n); break;
    case Rop::MergePaint: MergePaintRow(d, s, n); break;
    case Rop::Blackness: std::memset(d, 0, sizeof(uint32_t) * n); break;
  }
}

// Rectangle kernels: the rows of a rectangle in one call, so that sprites
// a few dozen pixels wide do not pay a call per row. Strides in pixels.
YW_WIDE_KERNEL void AndRect(uint32_t* __restrict d, ptrdiff_t ds, const uint32_t* __restrict s,
                            ptrdiff_t ss, int w, int h) {
  for (int y = 0; y < h; ++y, d += ds, s += ss)
    for (int i = 0; i < w; ++i) d[i] &= s[i];
}

YW_WIDE_KERNEL void XorRect(uint32_t* __restrict d, ptrdiff_t ds, const uint32_t* __restrict s,
                            ptrdiff_t ss, int w, int h) {
  for (int y = 0; y < h; ++y, d += ds, s += ss)
    for (int i = 0; i < w; ++i) d[i] ^= s[i];
}

// Mask AND then picture XOR, per pixel in that order.
YW_WIDE_KERNEL void MaskXorRect(uint32_t* __restrict d, ptrdiff_t ds,
                                const uint32_t* __restrict m, const uint32_t* __restrict p,
                                ptrdiff_t ss, int w, int h) {
  for (int y = 0; y < h; ++y, d += ds, m += ss, p += ss)
    for (int i = 0; i < w; ++i) d[i] = (d[i] & m[i]) ^ p[i];
}

// A rectangle between two different surfaces.
void RopRect(uint32_t* d, ptrdiff_t ds, const uint32_t* s, ptrdiff_t ss, int w, int h, Rop rop) {
  switch (rop) {
    case Rop::SrcAnd: AndRect(d, ds, s, ss, w, h); return;
    case Rop::SrcInvert: XorRect(d, ds, s, ss, w, h); return;
    default:
      for (int y = 0; y < h; ++y) RopRow(d + y * ds, s + y * ss, w, rop);
  }
}

bool KnownRop(Rop rop) {
  switch (rop) {
    case Rop::SrcCopy:
    case Rop::SrcAnd:
    case Rop::SrcInvert:
    case Rop::MergePaint:
    case Rop::Blackness: return true;
  }
  return false;
}

// One axis of a clipped copy: `len` pixels from `src` to `dst`.
struct Span {
  int dst = 0;
  int src = 0;
  int len = 0;
};

// Clips a run of `len` pixels at `dst` (destination of size dstSize) read
// from `src` (source of size srcSize): the part cut off one side moves the
// other side by the same amount. Computed in 64 bits so that extreme
// positions and lengths cannot overflow. Returns false when nothing is left.
bool ClipAxis(int64_t dst, int64_t src, int64_t len, int dstSize, int srcSize, Span& out) {
  if (len <= 0) return false;
  const int64_t skip = std::max({int64_t{0}, -dst, -src});
  dst += skip;
  src += skip;
  len = std::min({len - skip, dstSize - dst, srcSize - src});
  if (len <= 0) return false;
  out = {static_cast<int>(dst), static_cast<int>(src), static_cast<int>(len)};
  return true;
}

void FillBlack(Surface& dst, const Span& x, const Span& y) {
  for (int row = 0; row < y.len; ++row)
    std::memset(dst.Row(y.dst + row) + x.dst, 0, sizeof(uint32_t) * x.len);
}

// A copy inside one surface. Rows are walked away from the direction of
// the move so that no source row is overwritten before it is read; a row
// copied onto itself (a sideways move) goes through memmove or a scratch
// row.
void BlitWithin(Surface& s, const Span& x, const Span& y, Rop rop) {
  std::vector<uint32_t> scratch;
  auto one = [&](int row) {
    uint32_t* d = s.Row(y.dst + row) + x.dst;
    const uint32_t* from = s.Row(y.src + row) + x.src;
    if (y.dst != y.src) {
      RopRow(d, from, x.len, rop);
    } else if (rop == Rop::SrcCopy) {
      std::memmove(d, from, sizeof(uint32_t) * x.len);
    } else {
      scratch.assign(from, from + x.len);
      RopRow(d, scratch.data(), x.len, rop);
    }
  };
  if (y.dst > y.src) {
    for (int row = y.len - 1; row >= 0; --row) one(row);
  } else {
    for (int row = 0; row < y.len; ++row) one(row);
  }
}

}  // namespace

void BitBlt(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy,
            Rop rop) {
  if (!KnownRop(rop)) return;
  Span x, y;
  if (rop == Rop::Blackness) {
    // Blackness ignores the source: clip against the destination only.
    if (ClipAxis(dx, dx, w, dst.Width(), dst.Width(), x) &&
        ClipAxis(dy, dy, h, dst.Height(), dst.Height(), y))
      FillBlack(dst, x, y);
    return;
  }
  if (!ClipAxis(dx, sx, w, dst.Width(), src.Width(), x) ||
      !ClipAxis(dy, sy, h, dst.Height(), src.Height(), y))
    return;
  if (&dst == &src) {
    BlitWithin(dst, x, y, rop);
    return;
  }
  if (x.len == dst.Width() && x.len == src.Width()) {
    // Whole rows of both surfaces follow each other in memory: one run.
    RopRow(dst.Row(y.dst), src.Row(y.src), x.len * y.len, rop);
    return;
  }
  RopRect(dst.Row(y.dst) + x.dst, dst.Width(), src.Row(y.src) + x.src, src.Width(), x.len, y.len,
          rop);
}

void MaskedBlt(Surface& dst, int dx, int dy, int w, int h, const Surface& sheet, int mx, int my,
               int px, int py) {
  Span mxs, mys, pxs, pys;
  const bool mask = ClipAxis(dx, mx, w, dst.Width(), sheet.Width(), mxs) &&
                    ClipAxis(dy, my, h, dst.Height(), sheet.Height(), mys);
  const bool pic = ClipAxis(dx, px, w, dst.Width(), sheet.Width(), pxs) &&
                   ClipAxis(dy, py, h, dst.Height(), sheet.Height(), pys);
  const bool alike = mask && pic && mxs.dst == pxs.dst && mxs.len == pxs.len &&
                     mys.dst == pys.dst && mys.len == pys.len;
  if (!alike || &dst == &sheet) {
    BitBlt(dst, dx, dy, w, h, sheet, mx, my, Rop::SrcAnd);
    BitBlt(dst, dx, dy, w, h, sheet, px, py, Rop::SrcInvert);
    return;
  }
  MaskXorRect(dst.Row(mys.dst) + mxs.dst, dst.Width(), sheet.Row(mys.src) + mxs.src,
              sheet.Row(pys.src) + pxs.src, sheet.Width(), mxs.len, mys.len);
}

namespace {

// The source positions of the destination pixels of a stretch along one
// axis: destination pixel i (0-based in the destination rectangle) takes
// source pixel src + i * srcLen / dstLen. Only the destination pixels that
// lie inside the destination surface and whose source pixel lies inside
// the source surface are kept: [first, first + count) of the rectangle.
struct StretchAxis {
  int first = 0;
  int count = 0;
};

int64_t SourceOf(int64_t i, int64_t src, int64_t srcLen, int64_t dstLen) {
  return src + i * srcLen / dstLen;
}

// The first i in [lo, hi) whose source position is at least `limit`
// (hi when none): the mapping rises with i, so a binary search finds it.
int64_t FirstAtLeast(int64_t lo, int64_t hi, int64_t limit, int64_t src, int64_t srcLen,
                     int64_t dstLen) {
  while (lo < hi) {
    const int64_t mid = lo + (hi - lo) / 2;
    if (SourceOf(mid, src, srcLen, dstLen) >= limit) hi = mid;
    else lo = mid + 1;
  }
  return lo;
}

bool ClipStretchAxis(int64_t dst, int64_t dstLen, int dstSize, int64_t src, int64_t srcLen,
                     int srcSize, StretchAxis& out) {
  int64_t lo = std::max<int64_t>(0, -dst);
  int64_t hi = std::min<int64_t>(dstLen, dstSize - dst);
  if (lo >= hi) return false;
  lo = FirstAtLeast(lo, hi, 0, src, srcLen, dstLen);
  hi = FirstAtLeast(lo, hi, srcSize, src, srcLen, dstLen);
  if (lo >= hi) return false;
  out = {static_cast<int>(lo), static_cast<int>(hi - lo)};
  return true;
}

// Samples one source row into `out` through the column table.
YW_WIDE_KERNEL void GatherRow(uint32_t* __restrict out, const uint32_t* __restrict s,
               const int32_t* __restrict column, int n) {
  for (int i = 0; i < n; ++i) out[i] = s[column[i]];
}

// Doubles every source pixel: the common 2x zoom.
YW_WIDE_KERNEL void DoubleRow(uint32_t* __restrict out, const uint32_t* __restrict s, int n) {
  for (int i = 0; i < n / 2; ++i) {
    out[2 * i] = s[i];
    out[2 * i + 1] = s[i];
  }
  if (n % 2) out[n - 1] = s[n / 2];
}

}  // namespace

void StretchBlt(Surface& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy,
                int sw, int sh, Rop rop) {
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || !KnownRop(rop)) return;
  if (dw == sw && dh == sh) {
    BitBlt(dst, dx, dy, dw, dh, src, sx, sy, rop);
    return;
  }
  if (rop == Rop::Blackness) {
    BitBlt(dst, dx, dy, dw, dh, dst, dx, dy, rop);
    return;
  }
  StretchAxis ax, ay;
  if (!ClipStretchAxis(dx, dw, dst.Width(), sx, sw, src.Width(), ax) ||
      !ClipStretchAxis(dy, dh, dst.Height(), sy, sh, src.Height(), ay))
    return;
  // A stretch of a surface onto itself reads from a copy taken first.
  Surface copy;
  const Surface* from = &src;
  if (&dst == &src) {
    copy = src;
    from = &copy;
  }
  const int n = ax.count;
  const int64_t firstSource = SourceOf(ax.first, sx, sw, dw);
  // Exactly two destination columns per source column, starting on the
  // first of a pair: no column table needed.
  const bool doubled = static_cast<int64_t>(sw) * 2 == dw && ax.first % 2 == 0;
  std::vector<int32_t> column;
  if (!doubled) {
    column.resize(n);
    for (int i = 0; i < n; ++i)
      column[i] = static_cast<int32_t>(SourceOf(ax.first + i, sx, sw, dw) - firstSource);
  }
  std::vector<uint32_t> sampled;
  if (rop != Rop::SrcCopy) sampled.resize(n);
  const uint32_t* previous = nullptr;  // the last destination row written
  int64_t previousSource = -1;
  for (int i = 0; i < ay.count; ++i) {
    const int64_t sourceRow = SourceOf(ay.first + i, sy, sh, dh);
    uint32_t* d = dst.Row(static_cast<int>(dy + ay.first + i)) + dx + ax.first;
    const bool repeat = sourceRow == previousSource;
    if (rop == Rop::SrcCopy && repeat) {
      // A row repeated by the vertical stretch: the row above holds it.
      std::memcpy(d, previous, sizeof(uint32_t) * n);
    } else {
      uint32_t* out = rop == Rop::SrcCopy ? d : sampled.data();
      if (!repeat) {
        const uint32_t* s = from->Row(static_cast<int>(sourceRow)) + firstSource;
        if (doubled) DoubleRow(out, s, n);
        else GatherRow(out, s, column.data(), n);
      }
      if (rop != Rop::SrcCopy) RopRow(d, out, n, rop);
    }
    previous = d;
    previousSource = sourceRow;
  }
}

}  // namespace yw
