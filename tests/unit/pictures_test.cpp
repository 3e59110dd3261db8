// Finding pictures by name: the game folder first, .bmp before .jpg.
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

}  // namespace
}  // namespace yw
