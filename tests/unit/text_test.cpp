// Text boxes and window frames, checked on the pixels of small synthetic
// pictures.
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

}  // namespace
}  // namespace yw
