#include <gtest/gtest.h>

#include <climits>
#include <vector>

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

TEST(RasterOps, MaskThenPieceDrawsThePieceOverTheBackground) {
  // The way text, pointer and frame corners are drawn: a mask (black where
  // opaque, white elsewhere) with AND, then the piece (black elsewhere)
  // with XOR.
  const uint32_t glyph = Rgb(250, 240, 200), background = Rgb(20, 40, 120);
  Surface mask(2, 1, 0x00FFFFFF), piece(2, 1, 0);
  mask.Set(0, 0, 0);
  piece.Set(0, 0, glyph);
  Surface dst(2, 1, background);
  BitBlt(dst, 0, 0, 2, 1, mask, 0, 0, Rop::SrcAnd);
  BitBlt(dst, 0, 0, 2, 1, piece, 0, 0, Rop::SrcInvert);
  EXPECT_EQ(dst.At(0, 0), glyph);
  EXPECT_EQ(dst.At(1, 0), background);
  // MERGEPAINT with the mask alone paints the opaque part white.
  Surface white(2, 1, background);
  BitBlt(white, 0, 0, 2, 1, mask, 0, 0, Rop::MergePaint);
  EXPECT_EQ(white.At(0, 0), 0x00FFFFFFu);
  EXPECT_EQ(white.At(1, 0), background);
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

TEST(BitBltClipping, SourceSmallerThanDestinationCopiesOnlyWhatExists) {
  const Surface src = Pattern(3, 2, 5);
  Surface dst(8, 8, 0x00777777);
  BitBlt(dst, 2, 1, 8, 8, src, 0, 0, Rop::SrcCopy);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool copied = x >= 2 && x < 5 && y >= 1 && y < 3;
      EXPECT_EQ(dst.At(x, y), copied ? src.At(x - 2, y - 1) : 0x00777777u) << x << "," << y;
    }
}

TEST(BitBltClipping, EmptyOrOutsideOrExtremeRectanglesDrawNothing) {
  const Surface src = Pattern(6, 6, 3);
  const Surface base = Pattern(6, 6, 4);
  const struct {
    int dx, dy, w, h, sx, sy;
  } cases[] = {
      {0, 0, 0, 6, 0, 0},         {0, 0, 6, 0, 0, 0},         {0, 0, -3, 6, 0, 0},
      {6, 0, 6, 6, 0, 0},         {0, -6, 6, 6, 0, 0},        {0, 0, 6, 6, 6, 0},
      {0, 0, 6, 6, 0, -6},        {INT_MIN, 0, 6, 6, 0, 0},   {0, 0, 6, 6, INT_MAX, 0},
      {INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0},
  };
  for (const auto& c : cases) {
    Surface dst = base;
    BitBlt(dst, c.dx, c.dy, c.w, c.h, src, c.sx, c.sy, Rop::SrcCopy);
    EXPECT_TRUE(SameSurface(dst, base)) << c.dx << " " << c.dy << " " << c.w << " " << c.h;
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
  // The back buffer scrolls by copying itself a few pixels in any of the
  // eight directions; overlapping rows and columns must not smear.
  const Surface base = Pattern(11, 9, 6);
  for (Rop rop : kSourceRops)
    for (int mx = -3; mx <= 3; mx += 3)
      for (int my = -2; my <= 2; my += 2) {
        Surface s = base;
        const Surface snapshot = base;
        BitBlt(s, 1 + mx, 1 + my, 8, 6, s, 1, 1, rop);
        EXPECT_TRUE(SameSurface(s, ExpectedBlit(base, 1 + mx, 1 + my, 8, 6, snapshot, 1, 1, rop)))
            << "move " << mx << "," << my << " rop " << std::hex << static_cast<uint32_t>(rop);
      }
}

TEST(BitBltWithin, WholeSurfaceShiftKeepsTheUncoveredStrip) {
  Surface s = Pattern(10, 4, 7);
  const Surface before = s;
  BitBlt(s, 3, 0, 10, 4, s, 0, 0, Rop::SrcCopy);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(s.At(x, y), x < 3 ? before.At(x, y) : before.At(x - 3, y)) << x << "," << y;
}

// Nearest-neighbour stretch, checked through what a player sees: blocks of
// equal pixels for whole factors, every source pixel kept in order for
// fractional ones.
TEST(StretchBlt, DoubleSizeTurnsEachPixelIntoATwoByTwoBlock) {
  const Surface src = Pattern(5, 4, 8);
  Surface dst(10, 8, 0);
  StretchBlt(dst, 0, 0, 10, 8, src, 0, 0, 5, 4, Rop::SrcCopy);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(dst.At(x, y), src.At(x / 2, y / 2)) << x << "," << y;
  // Three times, from an inner part of the source, at an offset.
  Surface big(20, 20, 0x00111111);
  StretchBlt(big, 2, 1, 9, 6, src, 1, 1, 3, 2, Rop::SrcCopy);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool in = x >= 2 && x < 11 && y >= 1 && y < 7;
      EXPECT_EQ(big.At(x, y), in ? src.At(1 + (x - 2) / 3, 1 + (y - 1) / 3) : 0x00111111u);
    }
}

// Which source pixel of a line a stretched pixel came from (-1: none).
template <class At>
int SourceIndex(uint32_t pixel, int count, At at) {
  for (int i = 0; i < count; ++i)
    if (at(i) == pixel) return i;
  return -1;
}

// A stretched line shows the source pixels in order, each one or two times,
// none left out.
void ExpectEachOnceOrTwiceInOrder(const std::vector<int>& indices, int count) {
  std::vector<int> seen(count, 0);
  int last = 0;
  for (int i : indices) {
    ASSERT_GE(i, last);
    ++seen[i];
    last = i;
  }
  for (int i = 0; i < count; ++i) EXPECT_TRUE(seen[i] == 1 || seen[i] == 2) << i;
}

TEST(StretchBlt, OneAndAHalfKeepsEverySourcePixelInOrder) {
  const Surface src = Pattern(8, 6, 9);
  Surface wide(12, 6, 0), tall(8, 9, 0);
  StretchBlt(wide, 0, 0, 12, 6, src, 0, 0, 8, 6, Rop::SrcCopy);
  StretchBlt(tall, 0, 0, 8, 9, src, 0, 0, 8, 6, Rop::SrcCopy);
  for (int y = 0; y < 6; ++y) {
    std::vector<int> columns;
    for (int x = 0; x < 12; ++x)
      columns.push_back(SourceIndex(wide.At(x, y), 8, [&](int c) { return src.At(c, y); }));
    ExpectEachOnceOrTwiceInOrder(columns, 8);
  }
  for (int x = 0; x < 8; ++x) {
    std::vector<int> rows;
    for (int y = 0; y < 9; ++y)
      rows.push_back(SourceIndex(tall.At(x, y), 6, [&](int r) { return src.At(x, r); }));
    ExpectEachOnceOrTwiceInOrder(rows, 6);
  }
}

TEST(StretchBlt, ShrinkPicksOnePixelOfEachBlock) {
  const Surface src = Pattern(8, 6, 10);
  Surface dst(4, 3, 0);
  StretchBlt(dst, 0, 0, 4, 3, src, 0, 0, 8, 6, Rop::SrcCopy);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      bool fromBlock = false;
      for (int by = 0; by < 2; ++by)
        for (int bx = 0; bx < 2; ++bx)
          fromBlock |= dst.At(x, y) == src.At(2 * x + bx, 2 * y + by);
      EXPECT_TRUE(fromBlock) << x << "," << y;
    }
}

TEST(StretchBlt, ClippedStretchEqualsTheCutOutOfAnUnclippedOne) {
  // Drawing a stretch partly off the surface gives the same pixels as
  // drawing it whole on a larger surface and cutting out the visible part.
  const Surface src = Pattern(9, 7, 11);
  const int margin = 40;
  for (Rop rop : kSourceRops)
    for (auto [dw, dh] : {std::pair{18, 14}, std::pair{13, 10}, std::pair{5, 4}})
      for (int dx : {-7, -1, 0, 3, 8})
        for (int dy : {-5, 0, 4}) {
          const Surface base = Pattern(12, 10, 12);
          Surface big(12 + 2 * margin, 10 + 2 * margin, 0);
          BitBlt(big, margin, margin, 12, 10, base, 0, 0, Rop::SrcCopy);
          StretchBlt(big, margin + dx, margin + dy, dw, dh, src, 0, 0, 9, 7, rop);
          Surface want(12, 10);
          BitBlt(want, 0, 0, 12, 10, big, margin, margin, Rop::SrcCopy);
          Surface got = base;
          StretchBlt(got, dx, dy, dw, dh, src, 0, 0, 9, 7, rop);
          EXPECT_TRUE(SameSurface(got, want)) << dw << "x" << dh << " at " << dx << "," << dy;
        }
}

TEST(StretchBlt, SourceReachingOutsideLeavesThoseDestinationPixels) {
  const Surface src = Pattern(4, 4, 13);
  Surface dst(8, 8, 0x00ABCDEF);
  // Source rectangle (-2, 2, 8, 4) doubled: columns -2..-1 and 4..5 and
  // rows 4..5 of it do not exist.
  StretchBlt(dst, 0, 0, 16, 8, src, -2, 2, 8, 4, Rop::SrcCopy);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const int sx = -2 + x / 2, sy = 2 + y / 2;
      const bool exists = sx >= 0 && sx < 4 && sy < 4;
      EXPECT_EQ(dst.At(x, y), exists ? src.At(sx, sy) : 0x00ABCDEFu) << x << "," << y;
    }
}

TEST(StretchBlt, CombinesWithTheDestinationAndCanReadItself) {
  const Surface src = Pattern(3, 3, 14);
  const Surface base = Pattern(6, 6, 15);
  for (Rop rop : kSourceRops) {
    Surface dst = base;
    StretchBlt(dst, 0, 0, 6, 6, src, 0, 0, 3, 3, rop);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 6; ++x)
        EXPECT_EQ(dst.At(x, y), Apply(rop, src.At(x / 2, y / 2), base.At(x, y)));
  }
  // Enlarging the top-left quarter of a surface over the whole surface.
  Surface self = Pattern(8, 8, 16);
  const Surface before = self;
  StretchBlt(self, 0, 0, 8, 8, self, 0, 0, 4, 4, Rop::SrcCopy);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(self.At(x, y), before.At(x / 2, y / 2));
  // BLACKNESS clears the whole destination rectangle whatever the source.
  Surface black = base;
  StretchBlt(black, 1, 1, 4, 4, src, 50, 50, 2, 2, Rop::Blackness);
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
