// The bitmap font, numbers, window frames and the list pointer, checked on
// the pixels of small synthetic pictures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/frames.h"
#include "render/text.h"
#include "render_test_pictures.h"
#include "test_support.h"

namespace yw {
namespace {

using test::CodeAt;
using test::GlyphColour;
using test::ReadCells;

constexpr uint32_t kBack = Rgb(0x11, 0x22, 0x33);

TEST(TextLine, GlyphsComeFromTheirCellsAndMasks) {
  Surface font = test::MakeFont(8, 8);
  ASSERT_EQ(font.Width(), 256);
  ASSERT_EQ(font.Height(), 112);
  // Make the top-left quarter of A's mask (0, 64) see-through and the glyph
  // (0, 8) black there: only a mask taken from (0, 64) lets the
  // background show in that corner.
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      font.Set(x, 64 + y, test::kWhite);
      font.Set(x, 8 + y, 0);
    }
  Surface dst(40, 20, kBack);
  DrawTextLine("A", font, dst, 3, 5, 8, 8, true);
  EXPECT_EQ(dst.At(3, 5), kBack);                     // through the mask
  EXPECT_EQ(dst.At(3, 10), GlyphColour(1, 0));        // opaque part of A
  EXPECT_EQ(dst.At(3 + 6, 5 + 6), kBack);             // see-through right half
  EXPECT_EQ(dst.At(2, 5), kBack);                     // nothing left of x
  EXPECT_EQ(dst.At(3, 13), kBack);                    // nothing below the cell

  Surface opaque(40, 20, kBack);
  DrawTextLine("A", font, opaque, 0, 0, 8, 8, false);
  EXPECT_EQ(opaque.At(0, 0), 0u);  // whole cell copied, black corner included
  EXPECT_EQ(opaque.At(6, 6), 0u);
  EXPECT_EQ(opaque.At(0, 6), GlyphColour(1, 0));
}

TEST(TextLine, SpaceUsesCode160AndLowCodesDrawNothing) {
  const Surface font = test::MakeFont(8, 8);
  Surface dst(80, 8, kBack);
  DrawTextLine(std::string("! \xFF~", 4), font, dst, 0, 0, 8, 8, true);
  DrawTextLine(std::string("\t\0\r", 3), font, dst, 32, 0, 8, 8, false);
  EXPECT_EQ(dst.At(0, 0), GlyphColour(0, 0));    // "!" is the first cell
  EXPECT_EQ(dst.At(8, 0), GlyphColour(3, 31));   // space: code 160
  EXPECT_EQ(dst.At(16, 0), GlyphColour(6, 30));  // code 255: the last used cell
  EXPECT_EQ(CodeAt(dst, 24, 0), '~');
  for (int x = 32; x < 56; ++x) EXPECT_EQ(dst.At(x, 0), kBack) << x;  // codes below 33
  // Far off the surface and with no font at all: no effect, no fault.
  DrawTextLine("HELLO", font, dst, -1000, 100, 8, 8, true);
  DrawTextLine("HELLO", Surface(), dst, 0, 0, 8, 8, true);
  EXPECT_EQ(dst.At(0, 0), GlyphColour(0, 0));
}

// --- Text box --------------------------------------------------------------

struct Box {
  Surface font = test::MakeFont(8, 8);
  Surface dst = Surface(200, 100, kBack);
  size_t Draw(std::string_view text, int widthCells, int height) {
    return DrawTextBox(text, font, dst, 0, 0, widthCells * 8, height, 8, 8, true);
  }
  std::string Line(int n, int cells = 6) const { return ReadCells(dst, 0, n * 8, 8, cells); }
};

TEST(TextBox, WrapsBreaksAndStopsBelowTheBox) {
  const struct Case {
    const char* text;
    int widthCells, height;
    std::vector<std::string> lines;  // the first lines drawn, 6 cells each
    size_t restart;
  } cases[] = {
      // Two three-letter words in a box three cells wide: the first keeps
      // its trailing space, the second starts the next line.
      {"ABC DEF", 3, 80, {"ABC ??", "DEF???", "??????"}, 7},
      // A word longer than the line is cut hard.
      {"ABCDEFGH", 3, 80, {"ABC???", "DEF???", "GH????"}, 8},
      {"AB CD EFG", 5, 80, {"AB CD ", "EFG???"}, 9},
      {"AB\r\nC", 10, 80, {"AB????", "C?????"}, 5},
      {"AB\r\n", 10, 80, {"AB????", "??????"}, 4},
      {"", 10, 80, {"??????"}, 0},
      // Two lines high: the third line starts exactly at y + height and is
      // still drawn, the fourth is not; one pixel less and the third is gone.
      {"AA\r\nBB\r\nCC\r\nDD", 10, 16, {"AA????", "BB????", "CC????", "??????"}, 12},
      {"AA\r\nBB\r\nCC\r\nDD", 10, 15, {"AA????", "BB????", "??????"}, 8},
  };
  for (const Case& c : cases) {
    Box b;
    EXPECT_EQ(b.Draw(c.text, c.widthCells, c.height), c.restart) << c.text;
    for (size_t n = 0; n < c.lines.size(); ++n)
      EXPECT_EQ(b.Line(static_cast<int>(n)), c.lines[n]) << c.text << " line " << n;
  }
}

TEST(TextBox, PagesResumeWithoutLosingOrRepeatingText) {
  // Page through a wrapped text the way the message box does and check
  // that the pages together hold every word once, in order.
  const std::string text = "ONE TWO THREE FOUR FIVE SIX SEVEN EIGHTEENLETTERWORD END";
  std::string rest = text, seen;
  for (int page = 0; page < 20 && !rest.empty(); ++page) {
    Box b;
    const size_t r = b.Draw(rest, 6, 8);  // two lines of six cells
    for (int line = 0; line < 2; ++line) seen += b.Line(line, 7);
    rest.erase(0, r);
  }
  EXPECT_TRUE(rest.empty());
  std::string compact;
  for (char c : seen)
    if (c != '?') compact.push_back(c);
  // Spaces at line ends are drawn, so only the letters are compared.
  auto letters = [](const std::string& s) {
    std::string out;
    for (char c : s)
      if (c != ' ') out.push_back(c);
    return out;
  };
  EXPECT_EQ(letters(compact), letters(text));
}

// --- Numbers ---------------------------------------------------------------

// Digit strip 12 x 5 cells of 4 x 6: the mask row holds a grey naming its
// column, rows 1-4 a colour naming row and column.
uint32_t MaskGrey(int col) { return Rgb(static_cast<uint8_t>(10 * col + 5), 0x70, 0x70); }
uint32_t DigitColour(int row, int col) {
  return Rgb(0x01, static_cast<uint8_t>(row), static_cast<uint8_t>(col));
}
Surface MakeDigits() {
  Surface s(48, 30, 0);
  for (int row = 0; row < 5; ++row)
    for (int col = 0; col < 12; ++col)
      for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
          s.Set(col * 4 + x, row * 6 + y, row == 0 ? MaskGrey(col) : DigitColour(row, col));
  return s;
}

TEST(Numbers, SignsDigitColumnsAndStyles) {
  const Surface digits = MakeDigits();
  EXPECT_EQ(DigitCellWidth(digits), 4);
  EXPECT_EQ(DigitCellHeight(digits), 6);
  struct Case {
    int16_t value;
    std::vector<int> columns;
  };
  const Case cases[] = {{-25, {10, 2, 5}}, {7, {11, 7}}, {0, {0}}, {-32768, {10, 3, 2, 7, 6, 8}}};
  for (const Case& c : cases) {
    Surface dst(40, 6, test::kWhite);  // style 0 on white: AND leaves the mask itself
    DrawNumber(c.value, digits, dst, 0, 0, 4, 6, 0);
    for (size_t k = 0; k < c.columns.size(); ++k)
      EXPECT_EQ(dst.At(static_cast<int>(k) * 4, 0), MaskGrey(c.columns[k])) << c.value;
    EXPECT_EQ(dst.At(static_cast<int>(c.columns.size()) * 4, 0), test::kWhite) << c.value;
  }
  // Style 1 paints the mask white (NOT mask OR destination); styles 2 to 5
  // put colour sets 1 to 4 into the hole the mask cut.
  for (int16_t style = 1; style <= 5; ++style) {
    const uint32_t under = style == 1 ? 0 : test::kWhite;
    Surface dst(8, 6, under);
    DrawNumber(-3, digits, dst, 0, 0, 4, 6, style);
    for (int k = 0; k < 2; ++k) {
      const int col = k == 0 ? 10 : 3;
      const uint32_t want = style == 1 ? ~MaskGrey(col) & kPixelMask
                                       : (MaskGrey(col) & under) ^ DigitColour(style - 1, col);
      EXPECT_EQ(dst.At(k * 4, 5), want) << "style " << style << " cell " << k;
    }
  }
}

// --- Frames ----------------------------------------------------------------

const test::FrameLayout kLayout{2, 3, 4, 5};

FrameSettings Settings(bool stretch, bool transparent) {
  FrameSettings s;
  s.CornerWidth = 2, s.CornerHeight = 3, s.HorizontalWidth = 4, s.VerticalHeight = 5;
  s.StretchSides = s.StretchInside = stretch;
  s.TransparentCorners = s.TransparentSides = s.TransparentInside = transparent;
  return s;
}

// The frame is drawn at (5, 4), 20 x 15: inner area (7, 7) to (22, 15),
// right column at 23, bottom row at 16.
Surface DrawTestFrame(const Surface& pic, const FrameSettings& s) {
  Surface dst(30, 22, kBack);
  DrawFrame(pic, dst, 5, 4, 20, 15, s);
  return dst;
}

TEST(Frames, TiledPiecesRepeatAndCutTheLastOne) {
  const Surface pic = test::MakeFrame(kLayout);
  const Surface d = DrawTestFrame(pic, Settings(false, false));
  using test::PieceColour;
  EXPECT_EQ(d.At(5, 4), PieceColour(1, 0, 0));
  EXPECT_EQ(d.At(24, 4), PieceColour(3, 1, 0));
  EXPECT_EQ(d.At(5, 18), PieceColour(7, 0, 2));
  EXPECT_EQ(d.At(24, 18), PieceColour(9, 1, 2));
  for (int ox = 0; ox < 16; ++ox) {
    EXPECT_EQ(d.At(7 + ox, 4), PieceColour(2, ox % 4, 0)) << ox;
    EXPECT_EQ(d.At(7 + ox, 18), PieceColour(8, ox % 4, 2)) << ox;
  }
  for (int oy = 0; oy < 9; ++oy) {
    EXPECT_EQ(d.At(6, 7 + oy), PieceColour(4, 1, oy % 5)) << oy;
    EXPECT_EQ(d.At(23, 7 + oy), PieceColour(6, 0, oy % 5)) << oy;
    for (int ox = 0; ox < 16; ++ox)
      ASSERT_EQ(d.At(7 + ox, 7 + oy), PieceColour(5, ox % 4, oy % 5)) << ox << "," << oy;
  }
  // Nothing outside the frame.
  EXPECT_EQ(d.At(4, 4), kBack);
  EXPECT_EQ(d.At(25, 10), kBack);
  EXPECT_EQ(d.At(10, 19), kBack);
}

TEST(Frames, StretchedPiecesCoverTheWholeLength) {
  const Surface pic = test::MakeFrame(kLayout);
  const Surface d = DrawTestFrame(pic, Settings(true, false));
  using test::PieceColour;
  using test::PieceOf;
  EXPECT_EQ(d.At(7, 4), PieceColour(2, 0, 0));
  EXPECT_EQ(d.At(22, 4), PieceColour(2, 3, 0));
  EXPECT_EQ(d.At(6, 15), PieceColour(4, 1, 4));
  EXPECT_EQ(d.At(7, 7), PieceColour(5, 0, 0));
  EXPECT_EQ(d.At(22, 15), PieceColour(5, 3, 4));
  for (int x = 7; x <= 22; ++x) {
    EXPECT_EQ(PieceOf(d.At(x, 4)), 2) << x;
    EXPECT_EQ(PieceOf(d.At(x, 11)), 5) << x;
  }
  // The stretched edge is not a repetition: the piece's first column
  // appears only at the start.
  EXPECT_NE(d.At(11, 4), PieceColour(2, 0, 0));
}

TEST(Frames, TransparentPiecesLetTheBackgroundThrough) {
  // Every piece is see-through at its own top-left pixel (white mask, black
  // picture) and opaque elsewhere.
  Surface pic = test::MakeFrame(kLayout);
  const int xs[3] = {0, 2, 6}, ys[3] = {0, 3, 8};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      pic.Set(xs[c], ys[r], 0);
      pic.Set(xs[c] + kLayout.MaskOffset(), ys[r], test::kWhite);
    }
  const Surface see = DrawTestFrame(pic, Settings(false, true));
  const Surface solid = DrawTestFrame(pic, Settings(false, false));
  const int spots[][2] = {{5, 4}, {23, 4}, {5, 16}, {23, 16}, {7, 4},
                          {11, 4}, {5, 12}, {7, 7}, {11, 12}};
  for (const auto& s : spots) {
    EXPECT_EQ(see.At(s[0], s[1]), kBack) << s[0] << "," << s[1];
    EXPECT_EQ(solid.At(s[0], s[1]), 0u) << s[0] << "," << s[1];
  }
  EXPECT_EQ(see.At(8, 8), test::PieceColour(5, 1, 1));

  // Each group follows its own flag.
  FrameSettings onlyCorners = Settings(false, false);
  onlyCorners.TransparentCorners = true;
  const Surface mixed = DrawTestFrame(pic, onlyCorners);
  EXPECT_EQ(mixed.At(5, 4), kBack);
  EXPECT_EQ(mixed.At(7, 4), 0u);
  EXPECT_EQ(mixed.At(7, 7), 0u);
}

TEST(Frames, NothingDrawnWithoutSizesOrPictureAndShortenLeavesTheFontMargin) {
  const Surface pic = test::MakeFrame(kLayout);
  FrameSettings zero;
  zero.StretchSides = zero.StretchInside = false;
  zero.TransparentCorners = zero.TransparentSides = zero.TransparentInside = false;
  const Surface blank(30, 22, kBack);
  const Surface d = DrawTestFrame(pic, zero);
  EXPECT_TRUE(std::equal(d.Pixels().begin(), d.Pixels().end(), blank.Pixels().begin()));
  const Surface noPic = DrawTestFrame(Surface(), Settings(true, true));
  EXPECT_TRUE(std::equal(noPic.Pixels().begin(), noPic.Pixels().end(), blank.Pixels().begin()));
  // Windows smaller than their corners, or far off the surface, are harmless.
  Surface small(30, 22, kBack);
  DrawFrame(pic, small, 0, 0, 3, 2, Settings(false, true));
  EXPECT_EQ(small.At(20, 20), kBack);
  // A huge tiled frame reaching far off the surface: the visible part of the
  // inside keeps the tiling that starts at the inner top-left corner.
  DrawFrame(pic, small, -30000, -30000, 32000, 32000, Settings(false, false));
  EXPECT_EQ(small.At(20, 20), test::PieceColour(5, (20 + 29998) % 4, (20 + 29997) % 5));

  // The text area is the window less a corner and a font cell on each side;
  // with corners of 0 only the font cells.
  test::TestEngine t;
  Engine& e = t.engine;
  e.win.FontWidth = 8;
  e.win.FontHeight = 6;
  for (int16_t corner : {4, 0}) {
    e.win.Frame.CornerWidth = static_cast<int16_t>(2 * corner);
    e.win.Frame.CornerHeight = corner;
    int16_t w = 300, h = 100;
    Shorten(e, w, h);
    EXPECT_EQ(w, 284 - 4 * corner);
    EXPECT_EQ(h, 88 - 2 * corner);
  }
}

TEST(Hand, PointerDrawnThroughItsMask) {
  // 8 x 4: left half the pointer (black at its first column, red
  // elsewhere), right half the mask (white at its first column).
  Surface hand(8, 4, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      hand.Set(x, y, x == 0 ? 0 : Rgb(0xFF, 0, 0));
      hand.Set(4 + x, y, x == 0 ? test::kWhite : 0);
    }
  Surface dst(10, 6, kBack);
  DrawHand(hand, dst, 2, 1);
  EXPECT_EQ(dst.At(2, 1), kBack);
  EXPECT_EQ(dst.At(3, 1), Rgb(0xFF, 0, 0));
  EXPECT_EQ(dst.At(5, 4), Rgb(0xFF, 0, 0));
  EXPECT_EQ(dst.At(6, 1), kBack);  // only half the picture's width is drawn
  EXPECT_EQ(dst.At(3, 5), kBack);
}

}  // namespace
}  // namespace yw
