#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "render/masked_runs.h"
#include "render/surface.h"

namespace yw {
namespace {

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

TEST(BitBltClipping, MatchesPixelByPixelCopyAtEveryOffset) {
  // The model's operations give their table values (NOT S OR D keeps the
  // unused top byte 0) ...
  const uint32_t sp = 0x00C3A55A, dp = 0x0096F00F;
  EXPECT_EQ(Apply(Rop::SrcCopy, sp, dp), 0x00C3A55Au);
  EXPECT_EQ(Apply(Rop::SrcAnd, sp, dp), 0x0082A00Au);
  EXPECT_EQ(Apply(Rop::SrcInvert, sp, dp), 0x00555555u);
  EXPECT_EQ(Apply(Rop::MergePaint, sp, dp), 0x00BEFAAFu);
  EXPECT_EQ(Apply(Rop::Blackness, sp, dp), 0u);
  // ... and every copy matches it: source 7x5 onto destination 9x6 with
  // rectangles that start before, inside and beyond both surfaces, and
  // reach out of them.
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

// A picture header may claim any size: the surface never takes more than
// its cap, and single pixels outside it read as black and are not written.
TEST(SurfaceSize, HugeOrNegativeSizesStayWithinTheCap) {
  Surface huge;
  huge.Resize(INT_MAX, INT_MAX);
  EXPECT_LE(static_cast<int64_t>(huge.Width()) * huge.Height(), kMaxSurfacePixels);
  EXPECT_TRUE(Surface(-5, 10).Empty());
  Surface s(2, 2, 0x00010203);
  s.Set(-1, 0, 5);
  s.Set(0, 2, 5);
  EXPECT_EQ(s.At(-1, 0), 0u);
  for (uint32_t p : s.Pixels()) EXPECT_EQ(p, 0x00010203u);
}

}  // namespace
}  // namespace yw
