#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "render/masked_runs.h"
#include "render/surface.h"

namespace yw {
namespace {

constexpr Rop kSourceRops[] = {Rop::SrcCopy, Rop::SrcAnd, Rop::SrcInvert, Rop::MergePaint};

// A surface whose every pixel differs from its neighbours and from the
// pixels of surfaces made with another seed.
Surface Pattern(int w, int h, uint32_t seed) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      s.Set(x, y, (seed * 0x9E3779B1u) ^ (static_cast<uint32_t>(x) * 0x010203u) ^
                      (static_cast<uint32_t>(y) * 0x3A0507u));
  return s;
}

// The raster operations as tabled: S the source pixel, D the destination.
uint32_t Apply(Rop rop, uint32_t s, uint32_t d) {
  switch (rop) {
    case Rop::SrcCopy: return s;
    case Rop::SrcAnd: return s & d;
    case Rop::SrcInvert: return s ^ d;
    case Rop::MergePaint: return (~s | d) & kPixelMask;
    case Rop::Blackness: return 0;
  }
  return d;
}

bool Inside(const Surface& s, int64_t x, int64_t y) {
  return x >= 0 && y >= 0 && x < s.Width() && y < s.Height();
}

// What a rectangle copy must leave, pixel by pixel: every destination
// pixel of the rectangle whose matching source pixel exists is combined,
// all others stay as they were.
Surface ExpectedBlit(const Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx,
                     int sy, Rop rop) {
  Surface out = dst;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!Inside(dst, dx + x, dy + y)) continue;
      if (rop != Rop::Blackness && !Inside(src, sx + x, sy + y)) continue;
      out.Set(dx + x, dy + y, Apply(rop, src.At(sx + x, sy + y), dst.At(dx + x, dy + y)));
    }
  return out;
}

// Positions of the first differing pixel, for readable failures.
::testing::AssertionResult SameSurface(const Surface& a, const Surface& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height())
    return ::testing::AssertionFailure()
           << "size " << a.Width() << "x" << a.Height() << " vs " << b.Width() << "x" << b.Height();
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.At(x, y) != b.At(x, y))
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << "): " << std::hex
                                             << a.At(x, y) << " vs " << b.At(x, y);
  return ::testing::AssertionSuccess();
}

TEST(RasterOps, EachCodeGivesItsTableValue) {
  const uint32_t s = 0x00C3A55A, d = 0x0096F00F;
  const struct {
    Rop rop;
    uint32_t want;
  } cases[] = {
      {Rop::SrcCopy, 0x00C3A55A},
      {Rop::SrcAnd, 0x0082A00A},
      {Rop::SrcInvert, 0x00555555},
      {Rop::MergePaint, 0x00BEFAAF},  // NOT S OR D, the unused top byte stays 0
      {Rop::Blackness, 0x00000000},
  };
  for (const auto& c : cases) {
    Surface src(5, 3, s), dst(5, 3, d);
    BitBlt(dst, 0, 0, 5, 3, src, 0, 0, c.rop);
    for (uint32_t p : dst.Pixels()) EXPECT_EQ(p, c.want) << std::hex << static_cast<uint32_t>(c.rop);
  }
}

TEST(RasterOps, UnknownCodeDrawsNothing) {
  Surface src(4, 4, 0x123456), dst(4, 4, 0x654321);
  BitBlt(dst, 0, 0, 4, 4, src, 0, 0, static_cast<Rop>(0x00EE0086));
  StretchBlt(dst, 0, 0, 4, 4, src, 0, 0, 2, 2, static_cast<Rop>(0x00EE0086));
  for (uint32_t p : dst.Pixels()) EXPECT_EQ(p, 0x654321u);
}

TEST(BitBltClipping, MatchesPixelByPixelCopyAtEveryOffset) {
  // Source 7x5 onto destination 9x6 with rectangles that start before,
  // inside and beyond both surfaces, and reach out of them.
  const Surface src = Pattern(7, 5, 1);
  const Surface base = Pattern(9, 6, 2);
  for (Rop rop : {Rop::SrcCopy, Rop::SrcAnd, Rop::SrcInvert, Rop::MergePaint, Rop::Blackness})
    for (int d = -4; d <= 10; d += 2)
      for (int s = -3; s <= 8; s += 3)
        for (int size : {1, 4, 12}) {
          Surface dst = base;
          BitBlt(dst, d, d / 2, size, size - 1, src, s, -s / 2, rop);
          EXPECT_TRUE(
              SameSurface(dst, ExpectedBlit(base, d, d / 2, size, size - 1, src, s, -s / 2, rop)))
              << "rop " << std::hex << static_cast<uint32_t>(rop) << std::dec << " d=" << d
              << " s=" << s << " size=" << size;
        }
}

TEST(MaskedBlt, EqualsMaskAndThenPictureXorAtEveryOffset) {
  // Sprites are drawn as mask AND, then picture XOR; the one-pass version
  // must leave the same pixels wherever the sprite or its sheet is cut,
  // also when mask and picture are cut differently or the sheet is the
  // destination itself.
  const Surface sheet = Pattern(10, 8, 21);
  const Surface base = Pattern(9, 7, 22);
  for (int d = -5; d <= 9; d += 2)
    for (int m = -2; m <= 8; m += 5)
      for (int size : {1, 3, 6, 12}) {
        Surface want = base, got = base;
        BitBlt(want, d, 1 - d / 2, size, size, sheet, m, 1, Rop::SrcAnd);
        BitBlt(want, d, 1 - d / 2, size, size, sheet, 4, m / 2, Rop::SrcInvert);
        MaskedBlt(got, d, 1 - d / 2, size, size, sheet, m, 1, 4, m / 2);
        EXPECT_TRUE(SameSurface(got, want)) << "d=" << d << " m=" << m << " size=" << size;
      }
  Surface self = base, want = base;
  BitBlt(want, 1, 1, 4, 4, want, 3, 2, Rop::SrcAnd);
  BitBlt(want, 1, 1, 4, 4, want, 0, 3, Rop::SrcInvert);
  MaskedBlt(self, 1, 1, 4, 4, self, 3, 2, 0, 3);
  EXPECT_TRUE(SameSurface(self, want));
}

// A sprite slot whose pixels are of every kind: mask black (the picture
// shows), mask white over a black picture (background kept), mask white
// over a coloured picture (flips the background), and partial masks.
Surface MixedSprite(int w, int h, uint32_t seed) {
  Surface sheet(2 * w + 1, h + 1);
  const Surface noise = Pattern(2 * w, h, seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t k = (noise.At(x, y) >> 5) % 5;
      const uint32_t mask = k == 0 ? 0 : k == 4 ? noise.At(w + x, y) : kPixelMask;
      const uint32_t picture = k == 1 || k == 2 ? 0 : noise.At(w + x, y) & ~mask;
      sheet.Set(x, y, mask);
      sheet.Set(w + 1 + x, y + 1, k == 3 ? noise.At(x, y) : picture);
    }
  return sheet;
}

TEST(MaskedRuns, DrawEqualsMaskedBltInsideTheClipAtEveryOffset) {
  // Runs skip the pixels a sprite leaves alone and copy the ones its mask
  // blanks; the picture must be the two-pass one, pixel for pixel, where
  // the sprite or the clip is cut by the surface.
  const int w = 7, h = 6;
  const Surface sheet = MixedSprite(w, h, 5);
  const std::optional<MaskedRuns> runs = MaskedRuns::Build(sheet, 0, 0, w + 1, 1, w, h);
  ASSERT_TRUE(runs.has_value());
  const Surface base = Pattern(12, 9, 6);
  const PixelRect clips[] = {{0, 0, 12, 9}, {2, 1, 5, 4}, {-3, 5, 40, 2}, {4, 4, 0, 3}};
  for (const PixelRect& clip : clips)
    for (int dy = -h; dy <= 9; ++dy)
      for (int dx = -w; dx <= 12; dx += 3) {
        Surface full = base, got = base, want = base;
        MaskedBlt(full, dx, dy, w, h, sheet, 0, 0, w + 1, 1);
        for (int y = clip.y; y < clip.y + clip.h; ++y)
          for (int x = clip.x; x < clip.x + clip.w; ++x) want.Set(x, y, full.At(x, y));
        runs->Draw(got, dx, dy, clip);
        ASSERT_TRUE(SameSurface(got, want)) << "dx=" << dx << " dy=" << dy << " clip x=" << clip.x;
      }
  EXPECT_FALSE(MaskedRuns::Build(sheet, 0, 0, w + 2, 1, w, h));  // picture off the sheet
  EXPECT_FALSE(MaskedRuns::Build(sheet, -1, 0, w + 1, 1, w, h));
  EXPECT_FALSE(MaskedRuns::Build(sheet, 0, 0, w + 1, 1, 0, h));
}

TEST(BitBltClipping, EmptyNegativeOrExtremeRectanglesAreHarmless) {
  const Surface src = Pattern(6, 6, 3);
  const Surface base = Pattern(6, 6, 4);
  const struct {
    int dx, dy, w, h, sx, sy;
  } cases[] = {
      {0, 0, 0, 6, 0, 0},       {0, 0, -3, 6, 0, 0},         {INT_MIN, 0, 6, 6, 0, 0},
      {0, 0, 6, 6, INT_MAX, 0}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0},
  };
  for (const auto& c : cases) {
    Surface dst = base;
    BitBlt(dst, c.dx, c.dy, c.w, c.h, src, c.sx, c.sy, Rop::SrcInvert);
    StretchBlt(dst, c.dx, c.dy, c.w, c.h, src, c.sx, c.sy, 3, 3, Rop::SrcCopy);
    EXPECT_TRUE(SameSurface(dst, base)) << c.dx << " " << c.dy << " " << c.w << " " << c.h;
  }
  // Huge rectangles from far outside are cut to what overlaps.
  Surface dst = base;
  BitBlt(dst, INT_MIN / 2, INT_MIN / 2, INT_MAX, INT_MAX, src, INT_MIN / 2, INT_MIN / 2,
         Rop::SrcCopy);
  EXPECT_TRUE(SameSurface(dst, src));
  BitBlt(dst, -5, -5, INT_MAX, INT_MAX, dst, 0, 0, Rop::Blackness);
  EXPECT_TRUE(SameSurface(dst, Surface(6, 6, 0)));
  // Drawing from or onto an empty surface does nothing.
  Surface empty;
  BitBlt(empty, 0, 0, 4, 4, src, 0, 0, Rop::SrcCopy);
  EXPECT_TRUE(empty.Empty());
  Surface untouched = base;
  BitBlt(untouched, 0, 0, 4, 4, empty, 0, 0, Rop::SrcCopy);
  StretchBlt(untouched, 0, 0, 4, 4, empty, 0, 0, 2, 2, Rop::SrcCopy);
  EXPECT_TRUE(SameSurface(untouched, base));
}

TEST(BitBltWithin, ShiftsInEveryDirectionAsIfTheSourceWereReadFirst) {
  // The back buffer scrolls by copying itself, whole or in part, in any of
  // the eight directions; overlapping rows and columns must not smear, and
  // the strip the move uncovers keeps what it held.
  const Surface base = Pattern(11, 9, 6);
  const struct {
    int x, y, w, h;
  } rects[] = {{1, 1, 8, 6}, {0, 0, 11, 9}};
  for (const auto& r : rects)
    for (Rop rop : kSourceRops)
      for (int mx = -3; mx <= 3; mx += 3)
        for (int my = -2; my <= 2; my += 2) {
          Surface s = base;
          BitBlt(s, r.x + mx, r.y + my, r.w, r.h, s, r.x, r.y, rop);
          EXPECT_TRUE(
              SameSurface(s, ExpectedBlit(base, r.x + mx, r.y + my, r.w, r.h, base, r.x, r.y, rop)))
              << "move " << mx << "," << my << " of " << r.w << "x" << r.h << " rop " << std::hex
              << static_cast<uint32_t>(rop);
        }
}

// Nearest-neighbour stretch: destination pixel (dx + i, dy + j) shows
// source pixel (sx + i * sw / dw, sy + j * sh / dh), rounded down; pixels
// off either surface are left alone.
Surface ExpectedStretch(const Surface& dst, int dx, int dy, int dw, int dh, const Surface& src,
                        int sx, int sy, int sw, int sh, Rop rop) {
  Surface out = dst;
  for (int j = 0; j < dh; ++j)
    for (int i = 0; i < dw; ++i) {
      const int64_t fx = sx + int64_t{i} * sw / dw, fy = sy + int64_t{j} * sh / dh;
      if (!Inside(dst, dx + i, dy + j) || !Inside(src, fx, fy)) continue;
      out.Set(dx + i, dy + j,
              Apply(rop, src.At(static_cast<int>(fx), static_cast<int>(fy)), dst.At(dx + i, dy + j)));
    }
  return out;
}

TEST(StretchBlt, SamplesTheNearestSourcePixelAtAnyScaleAndOffset) {
  // Doubling (the zoom of every picture), 1.5 and 3 times, shrinking, odd
  // factors, rectangles cut by either surface's edges and sources that
  // reach outside their surface.
  const Surface src = Pattern(9, 7, 11);
  const Surface base = Pattern(12, 10, 12);
  const struct {
    int sx, sy, sw, sh, dw, dh;
  } sizes[] = {{0, 0, 9, 7, 18, 14}, {0, 0, 8, 6, 12, 9}, {1, 1, 3, 2, 9, 6},
               {0, 0, 8, 6, 4, 3},   {0, 0, 9, 7, 13, 10}, {-2, 2, 8, 4, 16, 8},
               {0, 0, 9, 7, 5, 4}};
  for (Rop rop : kSourceRops)
    for (const auto& z : sizes)
      for (int dx : {-7, -1, 0, 3, 8})
        for (int dy : {-5, 0, 4}) {
          Surface got = base;
          StretchBlt(got, dx, dy, z.dw, z.dh, src, z.sx, z.sy, z.sw, z.sh, rop);
          EXPECT_TRUE(SameSurface(
              got, ExpectedStretch(base, dx, dy, z.dw, z.dh, src, z.sx, z.sy, z.sw, z.sh, rop)))
              << z.sw << "x" << z.sh << " to " << z.dw << "x" << z.dh << " at " << dx << "," << dy
              << " rop " << std::hex << static_cast<uint32_t>(rop);
        }
}

TEST(StretchBlt, CanReadItselfAndBlacknessIgnoresTheSource) {
  const Surface base = Pattern(6, 6, 15);
  // Enlarging the top-left quarter of a surface over the whole surface.
  Surface self = Pattern(8, 8, 16);
  const Surface before = self;
  StretchBlt(self, 0, 0, 8, 8, self, 0, 0, 4, 4, Rop::SrcCopy);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(self.At(x, y), before.At(x / 2, y / 2));
  // BLACKNESS clears the whole destination rectangle whatever the source.
  Surface black = base;
  StretchBlt(black, 1, 1, 4, 4, Pattern(3, 3, 14), 50, 50, 2, 2, Rop::Blackness);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool in = x >= 1 && x < 5 && y >= 1 && y < 5;
      EXPECT_EQ(black.At(x, y), in ? 0u : base.At(x, y));
    }
}

TEST(SurfaceSize, ResizeKeepsTheTopLeftContentAndBlackensTheRest) {
  const Surface before = Pattern(6, 5, 17);
  Surface s = before;
  s.Resize(9, 3);
  ASSERT_EQ(s.Width(), 9);
  ASSERT_EQ(s.Height(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 9; ++x) EXPECT_EQ(s.At(x, y), x < 6 ? before.At(x, y) : 0u);
  s.Resize(1, 1);  // how a large picture is released
  EXPECT_EQ(s.Pixels().size(), 1u);
  EXPECT_EQ(s.At(0, 0), before.At(0, 0));
  s.Resize(0, 4);
  EXPECT_TRUE(s.Empty());
  s.Resize(3, 3);
  for (uint32_t p : s.Pixels()) EXPECT_EQ(p, 0u);
}

TEST(SurfaceSize, BadSizesAreCutToTheLimits) {
  Surface negative(-5, 10);
  EXPECT_TRUE(negative.Empty());
  EXPECT_EQ(negative.Width(), 0);
  Surface wide(kMaxSurfaceSide + 100, 1);
  EXPECT_EQ(wide.Width(), kMaxSurfaceSide);
  EXPECT_EQ(wide.Height(), 1);
  // Both sides at the limit would be a gigabyte: the height is cut.
  Surface huge;
  huge.Resize(INT_MAX, INT_MAX);
  EXPECT_EQ(huge.Width(), kMaxSurfaceSide);
  EXPECT_LE(static_cast<int64_t>(huge.Width()) * huge.Height(), kMaxSurfacePixels);
  EXPECT_GT(huge.Height(), 0);
  huge.Resize(1, 1);
  // Single pixels outside the surface read as black and are not written.
  Surface s(2, 2, 0x00010203);
  s.Set(-1, 0, 5);
  s.Set(2, 1, 5);
  s.Set(0, 2, 5);
  EXPECT_EQ(s.At(-1, 0), 0u);
  EXPECT_EQ(s.At(0, 2), 0u);
  for (uint32_t p : s.Pixels()) EXPECT_EQ(p, 0x00010203u);
  // The top byte never carries anything.
  s.Fill(0xFF445566);
  EXPECT_EQ(s.At(1, 1), 0x00445566u);
}

}  // namespace
}  // namespace yw
