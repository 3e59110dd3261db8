// A map drawn in Tiled plays as Tiled shows it, saved as TMX or as JSON:
// a PNG tileset with a margin and spacing (an external TSX), a PNG image
// collection with a tile taller than the grid, a BMP tileset with a
// see-through colour, three tile layers drawn over one another, flipped and
// rotated tiles, an empty cell, a hidden layer and an event layer of any
// name. Every pixel of the map on screen is compared with the tilesets'.
#include <zlib.h>

#include "e2e_support.h"
#include "tiled_sheets.h"
#include "world/data_files.h"

namespace yw::e2e {
namespace {

namespace fs = std::filesystem;
constexpr int kT = 8;  // tile size
constexpr uint32_t kMagenta = 0xFFFF00FFu, kWhite = 0xFFFFFFFFu, kClear = 0;

pack::Picture Picture(int w, int h, uint32_t fill) {
  return {w, h, std::vector<uint32_t>(static_cast<size_t>(w * h), fill)};
}

// An 8-bit RGBA PNG.
std::string Png(const pack::Picture& p) {
  std::string raw;
  for (int y = 0; y < p.height; ++y) {
    raw += '\0';
    for (int x = 0; x < p.width; ++x) {
      const uint32_t c = p.pixels[static_cast<size_t>(y * p.width + x)];
      for (int shift : {16, 8, 0, 24}) raw += static_cast<char>((c >> shift) & 0xFF);
    }
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string z(size, '\0');
  compress(reinterpret_cast<Bytef*>(z.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  z.resize(size);
  const auto be32 = [](uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
  };
  const auto chunk = [&](const std::string& type, const std::string& data) {
    const std::string body = type + data;
    return be32(static_cast<uint32_t>(data.size())) + body +
           be32(static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                            static_cast<uInt>(body.size()))));
  };
  const std::string header = be32(static_cast<uint32_t>(p.width)) +
                             be32(static_cast<uint32_t>(p.height)) +
                             std::string("\x08\x06\0\0\0", 5);
  return "\x89PNG\r\n\x1a\n" + chunk("IHDR", header) + chunk("IDAT", z) + chunk("IEND", "");
}

// Tileset a: 2 x 2 tiles in a magenta frame (margin 1, spacing 1), every
// pixel of a tile its own colour; the right half of tile 3 is see-through.
uint32_t A(int tile, int u, int v) {
  if (tile == 3 && u >= kT / 2) return kClear;
  return 0xFF000000u | uint32_t(40 + tile * 50) << 16 | uint32_t(u * 30) << 8 | uint32_t(v * 30);
}
// The tree of the image collection: 8 x 16, its top four rows see-through.
uint32_t Tree(int u, int v) { return v < 4 ? kClear : 0xFF206000u | uint32_t(u * 20 + v * 4); }
// Tileset c: magenta (its see-through colour) around a white dot.
uint32_t C(int u, int v) { return u >= 6 && v >= 6 ? kWhite : kMagenta; }

void WritePictures(const fs::path& src) {
  pack::Picture a = Picture(1 + 2 * (kT + 1), 1 + 2 * (kT + 1), kMagenta);
  for (int t = 0; t < 4; ++t)
    for (int v = 0; v < kT; ++v)
      for (int u = 0; u < kT; ++u)
        a.pixels[static_cast<size_t>((1 + t / 2 * (kT + 1) + v) * a.width + 1 + t % 2 * (kT + 1) +
                                     u)] = A(t, u, v);
  pack::Picture tree = Picture(kT, 2 * kT, 0), c = Picture(kT, kT, 0);
  for (int v = 0; v < 2 * kT; ++v)
    for (int u = 0; u < kT; ++u) {
      tree.pixels[static_cast<size_t>(v * kT + u)] = Tree(u, v);
      if (v < kT) c.pixels[static_cast<size_t>(v * kT + u)] = C(u, v);
    }
  test::WriteFile(src / "art/a.png", Png(a));
  test::WriteFile(src / "art/tree.png", Png(tree));
  test::WriteFile(src / "c.bmp", pack::BmpBytes(c));
  test::WriteFile(src / "door.skr", "BEGIN\r\nEND\r\n");
  test::WriteFile(
      src / "autoexec.skr",
      "BEGIN\r\nLOADEVENTS \"m.evm\" \\ ALLES\r\nSETPOS 1 \\ 1\r\nSHOWMOVIE 60000\r\nEND\r\n");
}

constexpr uint32_t kH = pack::kFlipH, kD = pack::kFlipD;
// Ground: tile 2 of a flipped, tile 0 of a turned clockwise, an empty cell.
const std::vector<uint32_t> kGround{1, 2, 0, 3 | kH, 1 | kH | kD, 2};
const std::vector<uint32_t> kTop{0, 4, 0, 0, 0, 5}, kTop2{0, 6, 0, 0, 0, 0}, kHidden(6, 1);

std::string Csv(const std::vector<uint32_t>& gids) {
  std::string s;
  for (uint32_t g : gids) s += (s.empty() ? "" : ",") + std::to_string(g);
  return s;
}

void WriteTmx(const fs::path& src) {
  WritePictures(src);
  test::WriteFile(src / "art/a.tsx", R"(<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="a" tilewidth="8" tileheight="8" spacing="1" margin="1" tilecount="4" columns="2">
 <image source="a.png" width="19" height="19"/>
</tileset>
)");
  std::string layers;
  int id = 0;
  for (const auto& [name, gids] : {std::pair{"Ground", kGround}, std::pair{"Sketch", kHidden},
                                   std::pair{"Top", kTop}, std::pair{"Top 2", kTop2}})
    layers += " <layer id=\"" + std::to_string(++id) + "\" name=\"" + name +
              "\" width=\"3\" height=\"2\"" +
              (std::string(name) == "Sketch" ? " visible=\"0\"" : "") +
              ">\n  <data encoding=\"csv\">\n" + Csv(gids) + "\n</data>\n </layer>\n";
  test::WriteFile(src / "m.tmx", R"(<?xml version="1.0" encoding="UTF-8"?>
<map version="1.10" tiledversion="1.10.2" orientation="orthogonal" renderorder="right-down" width="3" height="2" tilewidth="8" tileheight="8" infinite="0" nextlayerid="6" nextobjectid="2">
 <tileset firstgid="1" source="art/a.tsx"/>
 <tileset firstgid="5" name="things" tilewidth="8" tileheight="16" tilecount="1" columns="0">
  <grid orientation="orthogonal" width="1" height="1"/>
  <tile id="0">
   <image source="art/tree.png" width="8" height="16"/>
  </tile>
 </tileset>
 <tileset firstgid="6" name="c" tilewidth="8" tileheight="8" tilecount="1" columns="1">
  <image source="c.bmp" trans="ff00ff" width="8" height="8"/>
 </tileset>
)" + layers + R"( <objectgroup id="5" name="Doors">
  <object id="1" x="0" y="0" width="8" height="8">
   <properties>
    <property name="enter" value="door.skr"/>
   </properties>
  </object>
 </objectgroup>
</map>
)");
}

void WriteJson(const fs::path& src) {
  WritePictures(src);
  nlohmann::json layers = nlohmann::json::array();
  int id = 0;
  for (const auto& [name, gids] : {std::pair{"Ground", kGround}, std::pair{"Sketch", kHidden},
                                   std::pair{"Top", kTop}, std::pair{"Top 2", kTop2}})
    layers.push_back({{"id", ++id},
                      {"name", name},
                      {"type", "tilelayer"},
                      {"width", 3},
                      {"height", 2},
                      {"x", 0},
                      {"y", 0},
                      {"opacity", 1},
                      {"visible", std::string(name) != "Sketch"},
                      {"data", gids}});
  layers.push_back(nlohmann::json::parse(R"({"id": 5, "name": "Doors", "type": "objectgroup",
    "draworder": "topdown", "opacity": 1, "visible": true, "x": 0, "y": 0, "objects": [
    {"id": 1, "name": "", "type": "", "x": 0, "y": 0, "width": 8, "height": 8, "rotation": 0,
     "visible": true, "properties": [{"name": "enter", "type": "string", "value": "door.skr"}]}]})"));
  nlohmann::json map = nlohmann::json::parse(R"({"type": "map", "version": "1.10",
    "tiledversion": "1.10.2", "orientation": "orthogonal", "renderorder": "right-down",
    "width": 3, "height": 2, "tilewidth": 8, "tileheight": 8, "infinite": false,
    "nextlayerid": 6, "nextobjectid": 2, "tilesets": [
    {"firstgid": 1, "name": "a", "image": "art/a.png", "imagewidth": 19, "imageheight": 19,
     "tilewidth": 8, "tileheight": 8, "margin": 1, "spacing": 1, "columns": 2, "tilecount": 4},
    {"firstgid": 5, "name": "things", "tilewidth": 8, "tileheight": 16, "columns": 0,
     "tilecount": 1, "margin": 0, "spacing": 0, "grid": {"orientation": "orthogonal", "width": 1, "height": 1},
     "tiles": [{"id": 0, "image": "art/tree.png", "imagewidth": 8, "imageheight": 16}]},
    {"firstgid": 6, "name": "c", "image": "c.bmp", "imagewidth": 8, "imageheight": 8,
     "transparentcolor": "#ff00ff", "tilewidth": 8, "tileheight": 8, "margin": 0, "spacing": 0,
     "columns": 1, "tilecount": 1}]})");
  map["layers"] = layers;
  test::WriteFile(src / "m.tmj", map.dump(1));
}

// What Tiled shows at pixel (u, v) of cell (x, y) (from 0): the tilesets'
// pixels drawn layer over layer, black where nothing covers the cell.
uint32_t Shown(int x, int y, int u, int v) {
  uint32_t c = 0;
  if (x == 0 && y == 0) c = A(0, u, v);
  if (x == 1 && y == 0) c = C(u, v) == kWhite ? kWhite : u < kT / 2 ? A(3, u, v) : A(1, u, v);
  if (x == 2 && y == 0) c = Tree(u, v);  // the tree reaches up out of the cell below
  if (x == 0 && y == 1) c = A(2, kT - 1 - u, v);
  if (x == 1 && y == 1) c = A(0, v, kT - 1 - u);
  if (x == 2 && y == 1) c = Tree(u, kT + v);
  return c & 0xFFFFFFu;
}

TEST(TiledMaps, TmxAndJsonBuildTheSameGameAndPlayAsTiledShowsThem) {
  const fs::path out = OutputDir("tiled-maps");
  const fs::path root = MakeProgramFolder(out);
  SetIni(root / "yarrowind.ini", "Zoom", "1");
  WriteTmx(out / "tmx");
  WriteJson(out / "json");
  pack::Report tmxReport, jsonReport;
  const pack::FileSet built = pack::CompileSources(out / "tmx", tmxReport);
  EXPECT_EQ(pack::CompileSources(out / "json", jsonReport), built);
  std::ostringstream said;
  tmxReport.Print(said);
  EXPECT_EQ(said.str(),
            "m.tmx:13: warning: layers: no layer is named 'tiles': the lowest, 'Ground', is the "
            "ground and the ones above ('Top', 'Top 2') are doodads\n"
            "m.tmx:15: warning: layer 'Ground': has 1 cell (row 1, column 3) without a tile, shown "
            "as a black tile (the map property 'fill' may name another)\n");
  EventmapFileData events;
  ASSERT_EQ(ReadEventmapFile(built.at("m.evm"), events), LoadStatus::Ok);
  EXPECT_EQ(events.cells[0].ENTERSCRIPT, "door.skr");
  EXPECT_EQ(events.cells[1], events.cells[2]);

  // Test-play builds the TMX sources itself, as an author saving in Tiled.
  Replay r(400);
  r.Snap("map");
  const RunResult run = RunReplay(out, root, r.Text(), "--play '" + (out / "tmx").string() + "'");
  ASSERT_EQ(run.exitCode, 0) << run.stderrText;
  const auto dump = LoadDump(out / "map.json");
  const Surface shot = LoadShot(out / "map.png");
  const int left = (1 - dump["ViewX"].get<int>()) * kT - (dump["BufX"].get<int>() - kT);
  const int top = (1 - dump["ViewY"].get<int>()) * kT - (dump["BufY"].get<int>() - kT);
  int wrong = 0;
  std::string first;
  for (int y = 0; y < 2 * kT; ++y)
    for (int x = 0; x < 3 * kT; ++x)
      if (shot.At(left + x, top + y) != Shown(x / kT, y / kT, x % kT, y % kT) && wrong++ == 0)
        first = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
  EXPECT_EQ(wrong, 0) << "the first at " << first;
  // Nothing is drawn beside the map.
  EXPECT_EQ(Changed(shot, Surface(shot.Width(), shot.Height()), 0, 0, left, shot.Height()), 0);
}

}  // namespace
}  // namespace yw::e2e
