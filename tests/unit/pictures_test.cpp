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

TEST(LoadPix, ZoomStretchesEveryPicture) {
  Folders f;
  f.e.world.Zoom = 2.0f;
  WriteFile(f.game / "tiles.bmp", Bmp(256, 128, [](int x, int y) {
              return Rgb(static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7);
            }));
  WriteFile(f.program / "font.bmp", Plain(256, 112));
  f.e.world.TilePicture = "tiles";
  f.e.world.TileWidth = f.e.world.TileHeight = 64;
  LoadPix(f.e, 0);
  EXPECT_EQ(f.e.pics.Tilemap.Width(), 512);
  EXPECT_EQ(f.e.pics.Tilemap.Height(), 256);
  EXPECT_EQ(f.e.pics.Tilemap.At(21, 41), Rgb(10, 20, 7));
  EXPECT_EQ(f.e.pics.Tilemap.At(511, 255), Rgb(255, 127, 7));
  EXPECT_EQ(f.e.pics.FontPic.Width(), 512);
  EXPECT_EQ(f.e.win.FontWidth, 16);  // the cells of the stretched font
  EXPECT_LE(f.e.pics.PixPic.Width(), 1);  // the scratch surface is released
}

TEST(LoadPix, MapSheetsReloadOnlyWhenTheirNameChanges) {
  Folders f;
  WriteFile(f.game / "tiles.bmp", Plain(64, 32));
  WriteFile(f.game / "units.bmp", Plain(10, 10));
  f.e.world.TilePicture = "tiles";
  f.e.world.UnitPicture = "units";
  f.e.world.TileWidth = f.e.world.TileHeight = 32;
  LoadPix(f.e, 1);
  EXPECT_EQ(f.e.pics.Tilemap.Width(), 64);
  EXPECT_EQ(f.e.pics.UnitDoo.Width(), 10);
  EXPECT_EQ(f.e.view.KeptTilePic, "tiles");

  WriteFile(f.game / "tiles.bmp", Plain(96, 32));
  LoadPix(f.e, 1);
  EXPECT_EQ(f.e.pics.Tilemap.Width(), 64);  // same name: not read again
  f.e.world.TilePicture = "Tiles";          // the kept name compares exactly
  LoadPix(f.e, 1);
  EXPECT_EQ(f.e.pics.Tilemap.Width(), 96);
  // A new game forgets the kept names and reloads.
  WriteFile(f.game / "units.bmp", Plain(20, 10));
  f.e.view.KeptUnitPic.clear();
  LoadPix(f.e, 1);
  EXPECT_EQ(f.e.pics.UnitDoo.Width(), 20);
  // Other group numbers do nothing; the interface group leaves map sheets.
  f.e.world.UnitPicture = "gone";
  LoadPix(f.e, 3);
  LoadPix(f.e, -1);
  LoadPix(f.e, 2);
  EXPECT_EQ(f.e.pics.UnitDoo.Width(), 20);
  LoadPix(f.e, 1);
  EXPECT_TRUE(f.e.pics.UnitDoo.Empty());
}

TEST(LoadPix, VisibleTilesAndBackBufferSize) {
  struct Case {
    int16_t screenW, screenH, tile;
    int16_t cols, rows;
    int backW, backH;
  };
  const Case cases[] = {{320, 240, 32, 10, 8, 384, 320}, {330, 240, 32, 11, 8, 416, 320},
                        {320, 256, 32, 10, 8, 384, 320}, {640, 480, 48, 14, 10, 768, 576}};
  for (const Case& c : cases) {
    Folders f;
    WriteFile(f.game / "t.bmp", Plain(4, 4));
    f.e.win.ScreenWidth = c.screenW;
    f.e.win.ScreenHeight = c.screenH;
    f.e.world.TileWidth = f.e.world.TileHeight = c.tile;
    f.e.world.TilePicture = "t";
    LoadPix(f.e, 1);
    EXPECT_EQ(f.e.win.ScreenTileWidth, c.cols) << c.screenW;
    EXPECT_EQ(f.e.win.ScreenTileHeight, c.rows) << c.screenH;
    EXPECT_EQ(f.e.pics.Backbuf.Width(), c.backW) << c.screenW;
    EXPECT_EQ(f.e.pics.Backbuf.Height(), c.backH) << c.screenH;
  }
  // A tile size of 0 from a broken map file does not bring the program down.
  Folders f;
  f.e.world.TileWidth = f.e.world.TileHeight = 0;
  f.e.world.TilePicture = "t";
  LoadPix(f.e, 1);
  EXPECT_TRUE(f.e.pics.Backbuf.Empty());
}

}  // namespace
}  // namespace yw
