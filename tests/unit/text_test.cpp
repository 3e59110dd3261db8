// Text boxes and window frames, checked on the pixels of small synthetic
// pictures.
#include "render/text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "render/frames.h"
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

// Tiled frames of random sizes and places, partly off the picture, against
// a model of the nine pieces: corners at the four corners, each edge and the
// inside repeated from its top-left corner and cut at the last piece.
TEST(Frames, TiledPiecesRepeatAndCutTheLastOneAgainstAModel) {
  std::mt19937 rng(26);
  auto roll = [&](int lo, int hi) { return lo + static_cast<int>(rng() % (hi - lo + 1)); };
  for (int run = 0; run < 300; ++run) {
    const test::FrameLayout f{roll(1, 4), roll(1, 4), roll(1, 6), roll(1, 6)};
    FrameSettings s;
    s.CornerWidth = f.cw, s.CornerHeight = f.ch, s.HorizontalWidth = f.hw, s.VerticalHeight = f.vh;
    s.StretchSides = s.StretchInside = false;
    s.TransparentCorners = s.TransparentSides = s.TransparentInside = run % 2 == 1;
    const int x = roll(-8, 20), y = roll(-8, 16), w = roll(2 * f.cw + 1, 40),
              h = roll(2 * f.ch + 1, 30);
    Surface d(40, 30, kBack);
    DrawFrame(test::MakeFrame(f), d, x, y, w, h, s);
    // Which of the three columns (rows) a frame pixel falls in, and where in
    // its piece.
    auto band = [](int at, int size, int corner, int piece, int& offset) {
      if (at < corner) return offset = at, 0;
      if (at >= size - corner) return offset = at - (size - corner), 2;
      return offset = (at - corner) % piece, 1;
    };
    for (int py = 0; py < d.Height(); ++py)
      for (int px = 0; px < d.Width(); ++px) {
        const bool in = px >= x && px < x + w && py >= y && py < y + h;
        int ox = 0, oy = 0;
        const int piece =
            in ? band(py - y, h, f.ch, f.vh, oy) * 3 + band(px - x, w, f.cw, f.hw, ox) + 1 : 0;
        ASSERT_EQ(d.At(px, py), in ? test::PieceColour(piece, ox, oy) : kBack)
            << "frame " << w << "x" << h << " at " << x << "," << y << ", pieces " << f.cw << ","
            << f.ch << "," << f.hw << "," << f.vh << ": pixel " << px << "," << py;
      }
  }
}

}  // namespace
}  // namespace yw
