// Finding pictures by name and loading them into the window's surfaces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/pictures.h"
#include "shell/engine.h"
#include "test_support.h"

namespace yw {
namespace {

namespace fs = std::filesystem;
using test::WriteFile;

void Put16(std::string& s, uint32_t v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A 24-bit BMP whose pixel (x, y) has the colour pixel(x, y).
template <class F>
std::string Bmp(int w, int h, F pixel) {
  const int stride = (w * 3 + 3) / 4 * 4;
  std::string s = "BM";
  Put32(s, static_cast<uint32_t>(54 + stride * h));
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, static_cast<uint32_t>(w));
  Put32(s, static_cast<uint32_t>(h));
  Put16(s, 1);
  Put16(s, 24);
  for (int i = 0; i < 6; ++i) Put32(s, 0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t p = pixel(x, y);
      s.push_back(static_cast<char>(p & 0xFF));
      s.push_back(static_cast<char>((p >> 8) & 0xFF));
      s.push_back(static_cast<char>((p >> 16) & 0xFF));
    }
    s.append(static_cast<size_t>(stride - w * 3), '\0');
  }
  return s;
}
std::string Plain(int w, int h, uint32_t colour = Rgb(1, 2, 3)) {
  return Bmp(w, h, [colour](int, int) { return colour; });
}

// A program folder and a game folder below it, the game folder current.
struct Folders {
  test::TestEngine t;
  Engine& e = t.engine;
  fs::path program = t.dir.path();
  fs::path game = t.dir.path() / "games" / "quest";
  Folders() {
    fs::create_directories(game);
    e.CurrentDir = game;
  }
};

TEST(FindPic, GameFolderFirstBmpBeforeJpgAndNamedExtensionsOnly) {
  // Each case: files present (g = game folder, p = program folder), the
  // name asked for and where it is found ("" = nowhere).
  const struct Case {
    std::vector<std::string> files;
    const char* name;
    std::string found;
  } cases[] = {
      {{"g/hero.bmp", "g/hero.jpg", "p/hero.bmp"}, "Hero", "g/hero.bmp"},
      {{"g/hero.jpg", "p/hero.bmp"}, "Hero", "g/hero.jpg"},
      {{"p/hero.bmp", "p/hero.jpg"}, "Hero", "p/hero.bmp"},
      {{"p/hero.jpg"}, "Hero", "p/hero.jpg"},
      {{}, "Hero", ""},
      {{"g/town.bmp", "p/town.bmp"}, "Town.JPG", ""},  // no .bmp alternative
      {{"g/town.bmp", "p/town.jpg"}, "Town.JPG", "p/town.jpg"},
      {{"g/TOWN.jpg"}, "town.Jpg", "g/TOWN.jpg"},  // any letter case on disk
      {{"g/pics/Wall.bmp"}, "PICS\\wall", "g/pics/Wall.bmp"},  // backslashes name folders
      {{"g/x.bmp"}, "", ""},
      {{"g/x.bmp"}, "   ", ""},
      {{}, "..\\..\\nothing", ""},
  };
  for (const Case& c : cases) {
    Folders f;
    auto place = [&](const std::string& where) {
      return (where[0] == 'g' ? f.game : f.program) / where.substr(2);
    };
    for (const std::string& file : c.files) WriteFile(place(file), "x");
    EXPECT_EQ(FindPic(f.e, c.name), c.found.empty() ? fs::path() : place(c.found)) << c.name;
  }
  Folders f;
  fs::create_directories(f.game / "dir.bmp");  // a folder is not a picture
  EXPECT_EQ(FindPic(f.e, "dir.bmp"), fs::path());
  EXPECT_EQ(FindPic(f.e, "dir"), fs::path());
}

TEST(LoadPix, InterfacePicturesAndFontCells) {
  Folders f;
  WriteFile(f.program / "font.bmp", Plain(256, 112));
  WriteFile(f.program / "digit.bmp", Plain(48, 30));
  WriteFile(f.program / "frame.bmp", Plain(48, 24));
  WriteFile(f.program / "hand.bmp", Plain(16, 8));
  LoadPix(f.e, 2);
  EXPECT_EQ(f.e.win.FontWidth, 8);
  EXPECT_EQ(f.e.win.FontHeight, 8);
  EXPECT_EQ(f.e.pics.DigitPic.Width(), 48);
  EXPECT_EQ(f.e.pics.FramePic.Height(), 24);
  EXPECT_EQ(f.e.pics.HandPic.Width(), 16);
  EXPECT_EQ(f.e.pics.FontPic.At(10, 10), Rgb(1, 2, 3));

  // The game's own font wins; cell sizes round to the nearest pixel.
  WriteFile(f.game / "FONT.BMP", Plain(400, 150));  // 12.5 x 10.71
  LoadPix(f.e, 2);
  EXPECT_EQ(f.e.win.FontWidth, 12);
  EXPECT_EQ(f.e.win.FontHeight, 11);

  // Without any picture the surfaces are empty and nothing fails.
  fs::remove(f.game / "FONT.BMP");
  fs::remove(f.program / "font.bmp");
  WriteFile(f.program / "hand.bmp", "BM truncated");
  LoadPix(f.e, 2);
  EXPECT_TRUE(f.e.pics.FontPic.Empty());
  EXPECT_TRUE(f.e.pics.HandPic.Empty());
  EXPECT_EQ(f.e.win.FontWidth, 0);
}

}  // namespace
}  // namespace yw
