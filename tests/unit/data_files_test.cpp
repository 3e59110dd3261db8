#include "world/data_files.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <random>
#include <utility>

#include "byte_builder.h"
#include "sim/effects.h"
#include "test_support.h"
#include "sim/game_files.h"

namespace yw {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::TestEngine;
using test::WriteFile;

// 20 Integers of a character record, 1..20 plus an offset.
Bytes& CharacterNumbers(Bytes& b, int base) {
  for (int i = 1; i <= 20; ++i) b.i16(base + i);
  return b;
}

class DataFiles : public ::testing::Test {
 protected:
  void Put(std::string_view name, std::string_view bytes) { WriteFile(t.dir.path() / name, bytes); }
  World& w() { return t.engine.world; }
  TestEngine t;
};

TEST_F(DataFiles, CharactersReadInFileOrder) {
  Bytes b;
  b.u8(1).name("units.ddm  ").name("Ada");
  CharacterNumbers(b, 0);
  b.name(std::string(255, 'x'));
  CharacterNumbers(b, 100).u8(0);
  Put("chars.dat", b);
  Put("units.ddm",
      Bytes().u8(1).name("units.bmp").ints(1, 2, 3, 4, 5, 6, 1).ints(0, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(LoadCharacters(t.engine));
  EXPECT_EQ(w().UnitDoodadmapFile, "units.ddm");
  ASSERT_EQ(w().CharacterCount, 2);
  const Character& c = w().Characters[1];
  EXPECT_EQ(c.NAME, "Ada");
  // HP, MAXHP, MP, MAXMP, EP, STR, WIS, CON, DEX, INI, STDWEP, STDARM,
  // DOODOWN, DOOLEFT, DOORIGHT, DOOUP, then the four animations.
  const std::vector<int16_t> got = {
      c.HP,       c.MAXHP, c.MP,         c.MAXMP,      c.EP,          c.STR,     c.WIS,
      c.CON,      c.DEX,   c.INI,        c.STDWEP,     c.STDARM,      c.DOODOWN, c.DOOLEFT,
      c.DOORIGHT, c.DOOUP, c.DOODOWNANI, c.DOOLEFTANI, c.DOORIGHTANI, c.DOOUPANI};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(got[i], i + 1) << "field " << i;
  EXPECT_EQ(c.WEP, 0);
  EXPECT_EQ(c.ARM, 0);
  EXPECT_EQ(w().Characters[2].NAME.size(), 255u);
  EXPECT_EQ(w().Characters[2].HP, 101);
  EXPECT_EQ(w().UnitPicture, "units.bmp");
  EXPECT_EQ(w().UnitDefCount, 1);
  EXPECT_EQ(w().UnitFrames[1], w().UnitDefs[1]);
}

TEST_F(DataFiles, ItemsFieldsVisibleByteAndTrimmedSheetName) {
  Bytes b;
  b.u8(1).name("items.ddm   ");
  b.name("Sword").u8(1).i16(250).u8(2).name("swing.skr").name("slash.skr").i16(3).i16(7);
  b.name("Rock").u8(5).i16(-1).u8(0).name("").name("").i16(0).i16(0);
  b.u8(0);
  Put("ITEMS.DAT", b);
  Put("Items.DDM", Bytes().u8(1).name("").ints(0, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(LoadItems(t.engine));
  EXPECT_EQ(w().ItemDoodadmapFile, "items.ddm");
  ASSERT_EQ(w().ItemCount, 2);
  const Item& sword = w().Items[1];
  EXPECT_EQ(sword.NAME, "Sword");
  EXPECT_EQ(sword.TYPE, 1);
  EXPECT_EQ(sword.VALUE, 250);
  EXPECT_TRUE(sword.VISIBLE);
  EXPECT_EQ(sword.SCRIPT, "swing.skr");
  EXPECT_EQ(sword.FIGHTSCRIPT, "slash.skr");
  EXPECT_EQ(sword.NUMBER, 3);
  EXPECT_EQ(sword.DOODAD, 7);
  EXPECT_FALSE(w().Items[2].VISIBLE);
  EXPECT_EQ(w().Items[2].VALUE, -1);
}

TEST_F(DataFiles, MapWithLinksLoadsItsSheets) {
  Put("Maps/Town.map",
      Bytes().u8(1).name("maps\\town.tlm").name("MAPS\\TOWN.DDM").ints(1, 1).ints(1).ints(0, 0, 0));
  Put("Maps/town.tlm", Bytes().u8(1).name("town.bmp").ints(32, 32).ints(0, 0, 1).ints(0, 0, 0));
  Put("Maps/TOWN.ddm",
      Bytes().u8(1).name("doo.bmp").ints(0, 0, 32, 0, 32, 32, 1).ints(0, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(LoadMapFile(t.engine, "maps\\town.map", true));
  EXPECT_EQ(w().TilemapFile, "maps\\town.tlm");
  EXPECT_EQ(w().TilePicture, "town.bmp");
  EXPECT_EQ(w().DoodadPicture, "doo.bmp");
  EXPECT_EQ(w().DoodadDefCount, 1);

  // The loaded map's doodads cover the cells their pictures reach, exactly
  // as a relink of the whole map would have them.
  Bytes tall;
  tall.u8(1).name("maps\\town.tlm").name("maps\\town.ddm").ints(2, 3).ints(1, 1, 1, 1, 1, 1);
  Put("tall.map", tall.ints(1, 3, 1).ints(0, 0, 0));
  Put("Maps/town.ddm",
      Bytes().u8(1).name("doo.bmp").ints(0, 0, 32, 0, 32, 64, 1).ints(0, 0, 0, 0, 0, 0, 0));
  ASSERT_TRUE(LoadMapFile(t.engine, "tall.map", true));
  auto links = [&] {
    std::vector<std::pair<int, int>> all;
    for (int y = 1; y <= w().MapHeight; ++y)
      for (int x = 1; x <= w().MapWidth; ++x) {
        const CoverLinks::Link link = w().DoodadLinks.At(x, y);
        all.emplace_back(link.x, link.y);
      }
    return all;
  };
  const auto loaded = links();
  EXPECT_EQ(loaded[0], (std::pair{1, 3}));  // two rows up from its own cell
  DooReLink(t.engine);
  EXPECT_EQ(loaded, links());

  // A linked sheet that fails leaves the new tile layer and fails the map.
  Put("bad.map", Bytes().u8(1).name("missing.tlm").name("").ints(2, 1).ints(7, 7).ints(0, 0, 0));
  EXPECT_FALSE(LoadMapFile(t.engine, "bad.map", true));
  EXPECT_EQ(w().MapWidth, 2);
  EXPECT_EQ(w().MapTiles(2, 1).TILE, 7);
}

// Layers mix runs of alike cells with cells of every record length: the
// reader matches the bytes ahead against records it has met, by whole
// words for short records, and must still give back each cell as written,
// up to the layer's last byte.
TEST_F(DataFiles, MixedEventLayerReadsBackCellForCell) {
  struct Kind {
    const char* enter;
    const char* use;
    uint8_t passable, box;
  };
  const Kind kinds[] = {{"", "", 1, 0},   {"", "", 0, 0},         {"", "", 1, 1},
                        {"", "", 2, 0},   {"ab", "", 1, 0},       {"abc", "", 0, 1},
                        {"a", "b", 1, 0}, {"door.skr", "x", 1, 0}};
  constexpr int kW = 37, kH = 23;
  std::mt19937 rng(7);
  std::vector<int> layout;
  while (layout.size() < kW * kH) {
    const int kind = static_cast<int>(rng() % std::size(kinds));
    layout.insert(layout.end(), 1 + rng() % 12, kind);
  }
  layout.resize(kW * kH);
  layout.back() = 0;  // a six-byte record right at the end of the data
  Bytes b;
  b.u8(1).name("town.map").ints(kW, kH);
  for (const int k : layout) {
    const Kind& c = kinds[k];
    b.name(c.enter).name("").name(c.use).name("").u8(c.passable).u8(c.box);
  }
  Put("mixed.evm", b);
  ASSERT_TRUE(LoadEventmapFile(t.engine, "mixed.evm", false));
  auto expectLayout = [&] {
    for (int i = 0; i < kW * kH; ++i) {
      const Kind& k = kinds[layout[i]];
      const EventCell& c = std::as_const(w()).MapEvents(i % kW + 1, i / kW + 1);
      ASSERT_EQ(c.ENTERSCRIPT, k.enter) << "cell " << i;
      ASSERT_EQ(c.USESCRIPT, k.use) << "cell " << i;
      ASSERT_EQ(c.passable, k.passable == 1) << "cell " << i;
      ASSERT_EQ(c.BOX, k.box == 1) << "cell " << i;
    }
  };
  expectLayout();
  // An eventmap of width or height 0 reads no cells: the events stay.
  for (const auto& [width, height] : {std::pair{0, kH}, std::pair{kW, 0}}) {
    Put("none.evm", Bytes().u8(1).name("none.map").ints(width, height));
    ASSERT_TRUE(LoadEventmapFile(t.engine, "none.evm", false));
    EXPECT_EQ(w().EventmapFile, "none.evm");
    expectLayout();
  }
}

// Random doodad and tile sheets at several zooms against a model: every
// pixel value times the zoom, halves to the even neighbour; a doodad list
// ends at a record whose seven scaled values are 0, a tile list at a NEXT of
// 0 or, without that end mark, at the end of the file, keeping the last tile.
TEST_F(DataFiles, SheetsReadToTheirEndAndScaledByZoomAgainstAModel) {
  auto scaled = [](int v, float zoom) {
    const double x = v * static_cast<double>(zoom), f = std::floor(x);
    return static_cast<int16_t>(x - f < 0.5   ? f
                                : x - f > 0.5 ? f + 1
                                              : f + std::fmod(std::abs(f), 2));
  };
  std::mt19937 rng(24);
  auto roll = [&](int lo, int hi) { return lo + static_cast<int>(rng() % (hi - lo + 1)); };
  for (int run = 0; run < 60; ++run) {
    const float zoom = std::array{0.5f, 1.5f, 2.5f, 3.0f}[run % 4];
    w().Zoom = zoom;
    Bytes doodads, tiles;
    doodads.u8(1).name("doo.bmp");
    std::vector<SpriteDef> wantDoodads;
    bool ended = false;
    for (int i = roll(0, 6); i > 0; --i) {
      int v[7];
      for (int& x : v) x = roll(-2, 2) * roll(0, 20) + roll(-1, 1);
      v[6] = roll(0, 3);
      for (int x : v) doodads.i16(x);
      const SpriteDef d{scaled(v[0], zoom),        scaled(v[1], zoom), scaled(v[2], zoom),
                        scaled(v[3], zoom),        scaled(v[4], zoom), scaled(v[5], zoom),
                        static_cast<int16_t>(v[6])};
      ended = ended || d == SpriteDef{};
      if (!ended) wantDoodads.push_back(d);
    }
    Put("doo.ddm", doodads.ints(0, 0, 0, 0, 0, 0, 0));
    const int tw = roll(1, 33), th = roll(1, 33);
    tiles.u8(1).name("tiles.bmp").ints(tw, th);
    std::vector<TileDef> wantTiles;
    ended = false;
    for (int i = roll(0, 6); i > 0; --i) {
      const int x = roll(0, 99), y = roll(0, 99), next = roll(0, 5);
      tiles.ints(x, y, next);
      ended = ended || next == 0;
      if (!ended)
        wantTiles.push_back({scaled(x, zoom), scaled(y, zoom), static_cast<int16_t>(next)});
    }
    if (run % 3 == 0) tiles.ints(0, 0, 0);  // an end mark; else the file just ends
    Put("tiles.til", tiles);
    SCOPED_TRACE("run " + std::to_string(run) + ", zoom " + std::to_string(zoom));
    ASSERT_TRUE(LoadSpriteDefs(t.engine, "doo.ddm", 0));
    ASSERT_TRUE(LoadTileDefs(t.engine, "tiles.til"));
    EXPECT_EQ(w().TileWidth, scaled(tw, zoom));
    EXPECT_EQ(w().TileHeight, scaled(th, zoom));
    ASSERT_EQ(w().DoodadDefCount, static_cast<int>(wantDoodads.size()));
    for (size_t i = 0; i < wantDoodads.size(); ++i)
      EXPECT_EQ(w().DoodadDefs[i + 1], wantDoodads[i]) << i;
    ASSERT_EQ(w().TileDefCount, static_cast<int>(wantTiles.size()));
    for (size_t i = 0; i < wantTiles.size(); ++i) EXPECT_EQ(w().TileDefs[i + 1], wantTiles[i]) << i;
  }
}

TEST_F(DataFiles, HugeOrNegativeSizesAreRejectedBeforeAllocating) {
  Put("huge.map", Bytes().u8(1).name("").name("").ints(32767, 32767).ints(1, 1, 1).str());
  EXPECT_FALSE(LoadMapFile(t.engine, "huge.map", false));
  Put("neg.map", Bytes().u8(1).name("").name("").ints(-3, 2).ints(0, 0, 0).str());
  EXPECT_FALSE(LoadMapFile(t.engine, "neg.map", false));
  Put("huge.evm", Bytes().u8(1).name("").ints(32767, 32767).str());
  EXPECT_FALSE(LoadEventmapFile(t.engine, "huge.evm", false));
  Put("out.map",
      Bytes().u8(1).name("").name("").ints(1, 1).ints(1).ints(2, 1, 5).ints(0, 0, 0).str());
  EXPECT_FALSE(LoadMapFile(t.engine, "out.map", false));
  EXPECT_EQ(w().MapWidth, 0);
  EXPECT_FALSE(LoadMapFile(t.engine, "nosuch.map", false));
}

}  // namespace
}  // namespace yw
