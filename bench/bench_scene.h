// Pieces shared by the benchmarks that compose map frames: a screen of a
// given size, a tile sheet, sprites with masks, one party member and the
// view at rest on the player.
#pragma once

#include <cstdint>

#include "render/compose.h"
#include "shell/engine.h"
#include "sim/effects.h"

namespace yw::bench {

inline constexpr int kTile = 32;

// The screen and the two buffers for a width x height view of kTile tiles.
inline void SetScreen(Engine& e, int width, int height) {
  e.win.ScreenWidth = static_cast<int16_t>(width);
  e.win.ScreenHeight = static_cast<int16_t>(height);
  e.win.ScreenTileWidth = static_cast<int16_t>((width + kTile - 1) / kTile);
  e.win.ScreenTileHeight = static_cast<int16_t>((height + kTile - 1) / kTile);
  e.win.GameMode = Mode::Map;
  e.world.TileWidth = e.world.TileHeight = kTile;
  e.pics.Frontbuf.Resize(width, height);
  e.pics.Backbuf.Resize((e.win.ScreenTileWidth + 2) * kTile, (e.win.ScreenTileHeight + 2) * kTile);
}

// `count` tiles side by side, each its own one-frame animation, shaded by
// `step` in red and `green`.
inline void PaintTiles(Engine& e, int count, int step, uint8_t green) {
  World& w = e.world;
  w.TileDefCount = static_cast<int16_t>(count);
  w.TileDefs.Resize(count);
  e.pics.Tilemap.Resize(count * kTile, kTile);
  for (int k = 1; k <= count; ++k) {
    w.TileDefs[k] = {static_cast<int16_t>((k - 1) * kTile), 0, static_cast<int16_t>(k)};
    for (int y = 0; y < kTile; ++y)
      for (int x = 0; x < kTile; ++x)
        e.pics.Tilemap.Set((k - 1) * kTile + x, y,
                           Rgb(static_cast<uint8_t>(step * k), green, static_cast<uint8_t>(x ^ y)));
  }
}

// Paints a sprite slot of the sheet: a round figure in `colour` on black,
// with its mask (black figure on white) right below it.
inline SpriteDef PaintSprite(Surface& sheet, int slot, int w, int h, uint32_t colour) {
  const int px = slot * kTile;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool in = (x - w / 2) * (x - w / 2) + (y - h / 2) * (y - h / 2) < w * w / 5;
      sheet.Set(px + x, y, in ? colour : 0);
      sheet.Set(px + x, h + y, in ? 0 : 0xFFFFFF);
    }
  return {static_cast<int16_t>(px), 0, static_cast<int16_t>(px), static_cast<int16_t>(h),
          static_cast<int16_t>(w), static_cast<int16_t>(h), 0};
}

// Character 1, drawn with unit 1 and animated through `aniFrames` units,
// as the only party member.
inline void OneHero(Engine& e, int16_t aniFrames) {
  World& w = e.world;
  w.CharacterCount = 1;
  Character& c = w.Characters[1];
  c.DOOUP = c.DOODOWN = c.DOOLEFT = c.DOORIGHT = 1;
  c.DOOUPANI = c.DOODOWNANI = c.DOOLEFTANI = c.DOORIGHTANI = aniFrames;
  w.PartyCount = 1;
  w.Party[1].character = c;
}

// The player in the middle of a square map of `mapSize` cells, facing
// down, the view at rest and the tile layer drawn.
inline void ViewAtCentre(Engine& e, int mapSize) {
  World& w = e.world;
  w.PlayerPosX = w.PlayerPosY = static_cast<float>(mapSize / 2);
  w.PlayerDirection = 2;
  ResetBufDelta(e);
  DooReLink(e);
  BackbufUpdate(e, false, true);
}

}  // namespace yw::bench
