// A tiny map world for the drawing tests: 8 x 8 tiles of known colours, a
// 32 x 24 screen (4 x 3 cells), and sprite sheets painted in code.
#pragma once

#include "render/surface.h"
#include "test_support.h"

namespace yw::test {

inline constexpr int kTile = 8;
inline constexpr int kScreenW = 32, kScreenH = 24;

// Each tile definition k is a solid square of its own colour.
inline uint32_t TileColour(int k) { return Rgb(static_cast<uint8_t>(0x10 * k), 0x20, 0x40); }

inline constexpr uint32_t kBlack = 0;
inline constexpr uint32_t kWhite = 0xFFFFFF;

// Where the figure lies inside a sprite's rectangle.
struct Figure {
  int x, y, w, h;
};

// Sprite sheets with slots of 16 x 32 pixels: the picture in the top half
// (the figure in its colour on black) and the mask in the bottom half
// (black figure on white).
class SheetPainter {
 public:
  explicit SheetPainter(Surface& sheet) : sheet_(sheet) { sheet_.Resize(16 * 16, 32); }

  SpriteDef Add(int w, int h, uint32_t colour, Figure f) {
    const int px = slot_++ * 16;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool in = x >= f.x && x < f.x + f.w && y >= f.y && y < f.y + f.h;
        sheet_.Set(px + x, y, in ? colour : kBlack);
        sheet_.Set(px + x, 16 + y, in ? kBlack : kWhite);
      }
    SpriteDef s;
    s.picX = static_cast<int16_t>(px);
    s.picY = 0;
    s.maskX = static_cast<int16_t>(px);
    s.maskY = 16;
    s.width = static_cast<int16_t>(w);
    s.height = static_cast<int16_t>(h);
    return s;
  }
  // A figure that fills the whole sprite.
  SpriteDef Solid(int w, int h, uint32_t colour) { return Add(w, h, colour, {0, 0, w, h}); }

 private:
  Surface& sheet_;
  int slot_ = 0;
};

// An engine with a map of `mw` x `mh` cells whose tiles come from
// tileOf(x, y), `tiles` tile definitions, and the view at rest.
struct MapWorld : TestEngine {
  MapWorld(int mw, int mh, int tiles, int (*tileOf)(int, int)) {
    World& w = engine.world;
    WindowState& win = engine.win;
    win.ScreenWidth = kScreenW;
    win.ScreenHeight = kScreenH;
    win.ScreenTileWidth = kScreenW / kTile;
    win.ScreenTileHeight = kScreenH / kTile;
    win.GameMode = Mode::Map;
    w.TileWidth = w.TileHeight = kTile;
    w.TileDefCount = static_cast<int16_t>(tiles);
    w.TileDefs.Resize(tiles);
    engine.pics.Tilemap.Resize(tiles * kTile, kTile);
    for (int k = 1; k <= tiles; ++k) {
      w.TileDefs[k] = {static_cast<int16_t>((k - 1) * kTile), 0, static_cast<int16_t>(k)};
      for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) engine.pics.Tilemap.Set((k - 1) * kTile + x, y, TileColour(k));
    }
    w.MapWidth = static_cast<int16_t>(mw);
    w.MapHeight = static_cast<int16_t>(mh);
    w.MapTiles.Reset(mw, mh);
    for (int y = 1; y <= mh; ++y)
      for (int x = 1; x <= mw; ++x) w.MapTiles(x, y).TILE = static_cast<int16_t>(tileOf(x, y));
    ResetFrames(w);
    engine.pics.Backbuf.Resize((win.ScreenTileWidth + 2) * kTile, (win.ScreenTileHeight + 2) * kTile);
    engine.pics.Frontbuf.Resize(kScreenW, kScreenH);
    engine.view.BufX = engine.view.DestX = kTile;
    engine.view.BufY = engine.view.DestY = kTile;
  }

  World& world() { return engine.world; }
  Surface& front() { return engine.pics.Frontbuf; }
  Surface& back() { return engine.pics.Backbuf; }

  // Gives the world one doodad (or unit) definition per sprite, in order.
  void SetDoodads(std::initializer_list<SpriteDef> defs) {
    SetDefs(engine.world.DoodadDefs, engine.world.DoodadDefCount, defs);
  }
  void SetUnits(std::initializer_list<SpriteDef> defs) {
    SetDefs(engine.world.UnitDefs, engine.world.UnitDefCount, defs);
  }
  void SetDefs(Table<SpriteDef>& table, int16_t& count, std::initializer_list<SpriteDef> defs) {
    count = static_cast<int16_t>(defs.size());
    table.Resize(count);
    int i = 1;
    for (const SpriteDef& d : defs) table[i++] = d;
    ResetFrames(engine.world);
  }
  // A character whose every facing shows unit sprite `standing` and whose
  // walking pictures are unit sprite `walking`.
  int AddCharacter(int16_t standing, int16_t walking) {
    World& w = engine.world;
    w.Characters.Resize(++w.CharacterCount);
    Character& c = w.Characters[w.CharacterCount];
    c.DOOUP = c.DOODOWN = c.DOOLEFT = c.DOORIGHT = standing;
    c.DOOUPANI = c.DOODOWNANI = c.DOOLEFTANI = c.DOORIGHTANI = walking;
    return w.CharacterCount;
  }
  Npc& AddNpc(int16_t character, float x, float y) {
    World& w = engine.world;
    w.Npcs.Resize(++w.NpcCount);
    Npc& n = w.Npcs[w.NpcCount];
    n.CHAR = character;
    n.POS_X = x;
    n.POS_Y = y;
    n.DIRECTION = 2;
    return n;
  }
  void SetClock(uint32_t ms) { platform.SetClock(ms); }
};

}  // namespace yw::test
