// The starter game: everything is written from here, the pictures drawn
// pixel by pixel, so the game is the author's to change and share.
#include "new_game.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "json_doc.h"
#include "world/binary_io.h"

namespace yw::pack {

namespace fs = std::filesystem;

namespace {

constexpr int kTile = 16;

struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

class Canvas {
 public:
  Canvas(int width, int height, Rgb fill)
      : width_(width), height_(height), pixels_(static_cast<size_t>(width * height), fill) {}

  void Rect(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i)
        if (i >= 0 && j >= 0 && i < width_ && j < height_) pixels_[Index(i, j)] = c;
  }
  void Dot(int x, int y, Rgb c) { Rect(x, y, 1, 1, c); }
  Rgb At(int x, int y) const { return pixels_[Index(x, y)]; }

  // A 24-bit BMP: rows from the bottom up, blue-green-red, padded to 4 bytes.
  std::string Bmp() const {
    const int row = (width_ * 3 + 3) / 4 * 4;
    const uint32_t size = 54u + static_cast<uint32_t>(row * height_);
    std::string out;
    const auto u16 = [&](uint32_t v) { out += char(v & 0xff), out += char((v >> 8) & 0xff); };
    const auto u32 = [&](uint32_t v) { u16(v & 0xffff), u16(v >> 16); };
    out += "BM";
    u32(size), u32(0), u32(54);
    u32(40), u32(static_cast<uint32_t>(width_)), u32(static_cast<uint32_t>(height_));
    u16(1), u16(24), u32(0), u32(size - 54), u32(2835), u32(2835), u32(0), u32(0);
    for (int y = height_ - 1; y >= 0; --y) {
      for (int x = 0; x < width_; ++x) {
        const Rgb c = At(x, y);
        out += char(c.b), out += char(c.g), out += char(c.r);
      }
      out.append(static_cast<size_t>(row - width_ * 3), '\0');
    }
    return out;
  }

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y * width_ + x); }
  int width_, height_;
  std::vector<Rgb> pixels_;
};

// --- Tiles -------------------------------------------------------------------

enum Tile : uint8_t { Grass, Path, Tree, Water, Roof, Wall, Door, Floor, Shelf, kTileCount };
constexpr std::array kObstacles{Tree, Water, Roof, Wall, Shelf};

// A scatter of dots over a tile, the same every time.
void Speckle(Canvas& c, int x0, int count, int a, int b, Rgb colour) {
  for (int i = 0; i < count; ++i) c.Dot(x0 + (i * a + 3) % kTile, (i * b + 5) % kTile, colour);
}

void DrawTile(Canvas& c, Tile tile) {
  const int x = tile * kTile;
  const Rgb grass{86, 160, 72};
  switch (tile) {
    case Grass:
      c.Rect(x, 0, kTile, kTile, grass);
      Speckle(c, x, 12, 7, 11, {64, 130, 56});
      break;
    case Path:
      c.Rect(x, 0, kTile, kTile, {204, 174, 122});
      Speckle(c, x, 9, 5, 9, {168, 138, 94});
      break;
    case Tree:
      c.Rect(x, 0, kTile, kTile, grass);
      c.Rect(x + 7, 10, 2, 5, {110, 70, 40});
      c.Rect(x + 3, 1, 10, 10, {40, 110, 50});
      c.Rect(x + 2, 3, 12, 6, {40, 110, 50});
      Speckle(c, x + 4, 5, 3, 5, {76, 150, 70});
      break;
    case Water:
      c.Rect(x, 0, kTile, kTile, {50, 100, 190});
      c.Rect(x + 2, 4, 4, 1, {120, 170, 230});
      c.Rect(x + 9, 8, 5, 1, {120, 170, 230});
      c.Rect(x + 4, 12, 4, 1, {120, 170, 230});
      break;
    case Roof:
      c.Rect(x, 0, kTile, kTile, {150, 60, 50});
      for (int y = 3; y < kTile; y += 4) c.Rect(x, y, kTile, 1, {115, 45, 40});
      break;
    case Wall:
    case Door:
      c.Rect(x, 0, kTile, kTile, {196, 186, 168});
      for (int y = 0; y < kTile; y += 5) c.Rect(x, y, kTile, 1, {150, 140, 126});
      for (int y = 0; y < 3; ++y) c.Rect(x + (y % 2 ? 4 : 11), y * 5 + 1, 1, 4, {150, 140, 126});
      if (tile == Door) {
        c.Rect(x + 4, 2, 8, 14, {120, 75, 40});
        c.Rect(x + 5, 3, 6, 13, {140, 90, 50});
        c.Dot(x + 10, 9, {232, 200, 60});
      }
      break;
    case Floor:
      c.Rect(x, 0, kTile, kTile, {172, 122, 72});
      for (int y = 3; y < kTile; y += 4) {
        c.Rect(x, y, kTile, 1, {140, 96, 56});
        c.Dot(x + (y * 5) % kTile, y - 2, {140, 96, 56});
      }
      break;
    case Shelf:
      c.Rect(x, 0, kTile, kTile, {120, 80, 45});
      for (int y = 1; y < kTile; y += 5) {
        c.Rect(x + 1, y, kTile - 2, 4, {70, 45, 25});
        for (int b = 0; b < 6; ++b)
          c.Rect(x + 2 + b * 2, y + (b % 3 == 0 ? 1 : 0), 1, b % 3 == 0 ? 3 : 4,
                 b % 2 ? Rgb{170, 50, 50} : Rgb{60, 90, 160});
      }
      break;
    case kTileCount:
      break;
  }
}

// --- People ------------------------------------------------------------------

enum class Facing : uint8_t { Down, Left, Right, Up };

struct Looks {
  Rgb hair, clothes;
};

void DrawPerson(Canvas& c, int x, Facing f, const Looks& looks) {
  const Rgb skin{236, 196, 160}, eye{30, 30, 40}, boots{70, 52, 40};
  c.Rect(x + 5, 1, 6, 6, skin);
  c.Rect(x + 5, 1, 6, f == Facing::Up ? 6 : 2, looks.hair);
  if (f == Facing::Left) c.Rect(x + 10, 1, 1, 5, looks.hair);
  if (f == Facing::Right) c.Rect(x + 5, 1, 1, 5, looks.hair);
  if (f == Facing::Down) c.Dot(x + 6, 4, eye), c.Dot(x + 9, 4, eye);
  if (f == Facing::Left) c.Dot(x + 6, 4, eye);
  if (f == Facing::Right) c.Dot(x + 9, 4, eye);
  c.Rect(x + 4, 7, 8, 6, looks.clothes);
  c.Rect(x + 3, 8, 1, 4, skin);
  c.Rect(x + 12, 8, 1, 4, skin);
  c.Rect(x + 5, 13, 2, 3, boots);
  c.Rect(x + 9, 13, 2, 3, boots);
}

// The figures stand on black in the top row; below each, its mask: black
// where the figure is, white elsewhere.
std::string UnitsPicture() {
  constexpr std::array kPeople{Looks{{90, 60, 30}, {50, 90, 180}},      // the hero
                               Looks{{200, 200, 200}, {60, 140, 80}}};  // Elda
  Canvas c(kTile * 8, kTile * 2, kBlack);
  for (size_t p = 0; p < kPeople.size(); ++p)
    for (int f = 0; f < 4; ++f)
      DrawPerson(c, (static_cast<int>(p) * 4 + f) * kTile, static_cast<Facing>(f), kPeople[p]);
  c.Rect(0, kTile, kTile * 8, kTile, kWhite);
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile * 8; ++x)
      if (!(c.At(x, y) == kBlack)) c.Dot(x, y + kTile, kBlack);
  return c.Bmp();
}

std::string TilesPicture() {
  Canvas c(kTile * kTileCount, kTile, kBlack);
  for (int t = 0; t < kTileCount; ++t) DrawTile(c, static_cast<Tile>(t));
  return c.Bmp();
}

// --- Sources -----------------------------------------------------------------

Json Property(std::string_view name, std::string_view type, Json value) {
  return Json{{"name", name}, {"type", type}, {"value", std::move(value)}};
}

Json TilesSource() {
  Json tiles = Json::array();
  for (int t = 0; t < kTileCount; ++t) tiles.push_back({{"x", t * kTile}, {"y", 0}});
  return {{"kind", "tilemap"},  {"file", "tiles.til"}, {"picture", "tiles.bmp"},
          {"tileWidth", kTile}, {"tileHeight", kTile}, {"tiles", tiles}};
}

Json UnitsSource() {
  Json sprites = Json::array();
  for (int i = 0; i < 8; ++i)
    sprites.push_back({{"picX", i * kTile},
                       {"picY", 0},
                       {"maskX", i * kTile},
                       {"maskY", kTile},
                       {"width", kTile},
                       {"height", kTile}});
  return {
      {"kind", "doodadmap"}, {"file", "units.dod"}, {"picture", "units.bmp"}, {"sprites", sprites}};
}

// A character whose four facings are the sprites from `first` on.
Json Person(std::string_view name, int hp, int first) {
  Json c{{"NAME", name}, {"HP", hp},  {"MAXHP", hp}, {"STR", 10},
         {"CON", 10},    {"DEX", 10}, {"INI", 10}};
  const std::array<std::string_view, 4> facings{"DOWN", "LEFT", "RIGHT", "UP"};
  for (int f = 0; f < 4; ++f) {
    c["DOO" + std::string(facings[static_cast<size_t>(f)])] = first + f;
    c["DOO" + std::string(facings[static_cast<size_t>(f)]) + "ANI"] = first + f;
  }
  return c;
}

Json CharactersSource() {
  return {{"kind", "characters"},
          {"doodadmap", "units.dod"},
          {"characters", Json::array({Person("Hero", 20, 1), Person("Elda", 10, 5)})}};
}

// The Tiled tileset of tiles.bmp: the build reads the obstacle property
// of its tiles; Tiled shows the picture.
Json Tileset() {
  Json tiles = Json::array();
  for (Tile t : kObstacles)
    tiles.push_back({{"id", static_cast<int>(t)},
                     {"properties", Json::array({Property("obstacle", "bool", true)})}});
  return {{"type", "tileset"},
          {"name", "tiles"},
          {"image", "tiles.bmp"},
          {"imagewidth", kTile * kTileCount},
          {"imageheight", kTile},
          {"tilewidth", kTile},
          {"tileheight", kTile},
          {"columns", static_cast<int>(kTileCount)},
          {"tilecount", static_cast<int>(kTileCount)},
          {"margin", 0},
          {"spacing", 0},
          {"tiles", tiles}};
}

struct Event {
  std::string name;
  int x, y;  // cell, from 1
  std::string when, script;
};

// A Tiled map of `rows` (one character a cell, see TileOf) with event
// objects.
Json TiledMap(const std::vector<std::string_view>& rows, const std::vector<Event>& events) {
  const auto TileOf = [](char ch) -> int {
    const std::string_view key = ".=T~^#D_S";  // in the order of Tile
    return static_cast<int>(key.find(ch)) + 1;
  };
  const int width = static_cast<int>(rows.front().size());
  const int height = static_cast<int>(rows.size());
  Json data = Json::array();
  for (std::string_view row : rows)
    for (char ch : row) data.push_back(TileOf(ch));
  Json objects = Json::array();
  int id = 0;
  for (const Event& e : events)
    objects.push_back({{"id", ++id},
                       {"name", e.name},
                       {"type", ""},
                       {"rotation", 0},
                       {"visible", true},
                       {"x", (e.x - 1) * kTile},
                       {"y", (e.y - 1) * kTile},
                       {"width", kTile},
                       {"height", kTile},
                       {"properties", Json::array({Property(e.when, "string", e.script)})}});
  return {{"type", "map"},
          {"orientation", "orthogonal"},
          {"renderorder", "right-down"},
          {"infinite", false},
          {"width", width},
          {"height", height},
          {"tilewidth", kTile},
          {"tileheight", kTile},
          {"nextlayerid", 3},
          {"nextobjectid", id + 1},
          {"properties", Json::array({Property("tilemap", "string", "tiles.til")})},
          {"tilesets", Json::array({{{"firstgid", 1}, {"source", "tiles.tsj"}}})},
          {"layers", Json::array({{{"type", "tilelayer"},
                                   {"id", 1},
                                   {"name", "tiles"},
                                   {"width", width},
                                   {"height", height},
                                   {"x", 0},
                                   {"y", 0},
                                   {"opacity", 1},
                                   {"visible", true},
                                   {"data", data}},
                                  {{"type", "objectgroup"},
                                   {"id", 2},
                                   {"name", "events"},
                                   {"draworder", "topdown"},
                                   {"x", 0},
                                   {"y", 0},
                                   {"opacity", 1},
                                   {"visible", true},
                                   {"objects", objects}}})}};
}

// . grass, = path, T tree, ~ water, ^ roof, # wall, D door, _ floor, S shelf.
// clang-format off
Json VillageMap() {
  return TiledMap({"TTTTTTTTTTTTTTTTTTTT",
                   "T..................T",
                   "T......^^^^^^...~~~T",
                   "T......^^^^^^...~~~T",
                   "T......##D###....~~T",
                   "T........=.........T",
                   "T........=.........T",
                   "T........=.........T",
                   "T..T.....=......T..T",
                   "T........=.........T",
                   "T.===============..T",
                   "T........=.........T",
                   "T........=.....T...T",
                   "T..................T",
                   "TTTTTTTTTTTTTTTTTTTT"},
                  {{"door", 10, 5, "enter", "enterhouse.skr"}});
}

Json HouseMap() {
  return TiledMap({"######SS##",
                   "#________#",
                   "#________#",
                   "#________#",
                   "#________#",
                   "#________#",
                   "#________#",
                   "####D#####"},
                  {{"door", 5, 8, "enter", "leavehouse.skr"},
                   {"shelf", 7, 1, "use", "shelf.skr"},
                   {"shelf", 8, 1, "use", "shelf.skr"}});
}
// clang-format on

struct TextFile {
  std::string_view name;
  std::string_view text;
};

// Scripts end their lines with LF here; the build gives them the CR LF the
// game reads.
constexpr std::array kScripts{
    TextFile{"autoexec.skr",
             "BEGIN\n"
             "' The game starts here when the player chooses \"New\".\n"
             "LOADEVENTS \"village.evm\" \\ ALLES\n"
             "ADDCHARACTER 1\n"
             "RUNSCRIPT \"villagers.skr\"\n"
             "SETPOS 10 \\ 12\n"
             "SETDIRECTION 1\n"
             "' A moment of cut-scene draws the village behind the first message.\n"
             "SHOWMOVIE 1\n"
             "MSG \"Walk with the arrow keys. Face Elda and press Enter to talk.\"\n"
             "END\n"},
    TextFile{"villagers.skr",
             "BEGIN\n"
             "' The people of the village, placed whenever the village is loaded.\n"
             "KILLNPC\n"
             "ADDNPC 2\n"
             "CHANGE NPC \\ 1 \\ POS_X \\ 8\n"
             "CHANGE NPC \\ 1 \\ POS_Y \\ 11\n"
             "' SPEED 1: Elda stays on her cell and turns now and then.\n"
             "CHANGE NPC \\ 1 \\ SPEED \\ 1\n"
             "CHANGE NPC \\ 1 \\ SCRIPT \\ \"elda.skr\"\n"
             "END\n"},
    TextFile{"elda.skr",
             "BEGIN\n"
             "MSG \"Elda: Good day! My house is just up the path. Go in, the door is open.\"\n"
             "END\n"},
    TextFile{"enterhouse.skr",
             "BEGIN\n"
             "KILLNPC\n"
             "LOADEVENTS \"house.evm\" \\ ALLES\n"
             "SETPOS 5 \\ 7\n"
             "SETDIRECTION 1\n"
             "END\n"},
    TextFile{"leavehouse.skr",
             "BEGIN\n"
             "LOADEVENTS \"village.evm\" \\ ALLES\n"
             "RUNSCRIPT \"villagers.skr\"\n"
             "SETPOS 10 \\ 6\n"
             "SETDIRECTION 2\n"
             "END\n"},
    TextFile{"shelf.skr",
             "BEGIN\n"
             "MSG \"Elda's books: herbs, stars and a map of the hills.\"\n"
             "END\n"},
    TextFile{"README.md",
             "# A starter game\n\n"
             "Written by `yarrowind-pack new`. Build and play it:\n\n"
             "    yarrowind-pack build THIS_FOLDER GAME_DIR\n"
             "    yarrowind --play GAME_DIR\n\n"
             "The authoring guide walks through every file here and how to add people,\n"
             "doors and fights: `/usr/share/doc/yarrowind/authoring.md` where Yarrowind\n"
             "is installed (under `/usr/local` for a `cmake --install` of your own),\n"
             "`docs/authoring.md` in the Yarrowind sources. The script language is in\n"
             "`reference.md` beside it, and `man yarrowind-pack` lists the tool's commands.\n"},
};

}  // namespace

bool WriteStarterGame(const fs::path& dir, Report& report) {
  std::error_code ec;
  if (fs::exists(dir, ec) && !(fs::is_directory(dir, ec) && fs::is_empty(dir, ec))) {
    report.Error(dir.string(), 0, "",
                 "is not an empty folder; the starter game is written only into a new one");
    return false;
  }
  fs::create_directories(dir, ec);
  std::vector<std::pair<std::string, std::string>> files{
      {"tiles.bmp", TilesPicture()},
      {"units.bmp", UnitsPicture()},
      {"tiles.til.json", Pretty(TilesSource())},
      {"units.dod.json", Pretty(UnitsSource())},
      {"chars.json", Pretty(CharactersSource())},
      {"tiles.tsj", Pretty(Tileset())},
      {"village.tmj", Pretty(VillageMap())},
      {"house.tmj", Pretty(HouseMap())},
  };
  for (const TextFile& f : kScripts) files.emplace_back(f.name, f.text);
  for (const auto& [name, bytes] : files) {
    if (!WriteFileBytes(dir / name, bytes)) {
      report.Error((dir / name).string(), 0, "", "cannot be written");
      return false;
    }
  }
  return true;
}

}  // namespace yw::pack
