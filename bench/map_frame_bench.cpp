// Cost of one turn on the map (MapFrame: NPC movement plus the composed
// frame) on a 256 x 256 map with 500 wandering NPCs at 960 x 540, beside
// copying one such frame with memcpy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "render/compose.h"
#include "shell/engine.h"
#include "sim/effects.h"
#include "sim/sim_states.h"

namespace {

constexpr int kTile = 32;
constexpr int kMap = 256;
constexpr int kNpcs = 500;
constexpr int kScreenW = 960, kScreenH = 540;
constexpr uint32_t kFrameMs = 16;

// A figure in `colour` on black in slot `slot` of the sheet, its mask
// (black figure on white) right below it.
yw::SpriteDef PaintSprite(yw::Surface& sheet, int slot, uint32_t colour) {
  const int px = slot * kTile;
  for (int y = 0; y < kTile; ++y)
    for (int x = 0; x < kTile; ++x) {
      const bool in = x > 6 && x < kTile - 6 && y > 2;
      sheet.Set(px + x, y, in ? colour : 0);
      sheet.Set(px + x, kTile + y, in ? 0 : 0xFFFFFF);
    }
  return {static_cast<int16_t>(px), 0, static_cast<int16_t>(px), static_cast<int16_t>(kTile),
          static_cast<int16_t>(kTile), static_cast<int16_t>(kTile), 0};
}

struct Town {
  Town() : platform(nullptr), e(platform, std::filesystem::temp_directory_path()) {
    yw::World& w = e.world;
    e.rng.Seed(7);
    e.win.ScreenWidth = kScreenW;
    e.win.ScreenHeight = kScreenH;
    e.win.ScreenTileWidth = (kScreenW + kTile - 1) / kTile;
    e.win.ScreenTileHeight = (kScreenH + kTile - 1) / kTile;
    e.win.GameMode = 6;
    e.win.FPSLimit = 0;  // measure only: no yields inside the turn
    e.win.TimeWalkTime = 250;
    e.win.TimeAniTime = 1000;
    e.win.TimeCharTime = 50;
    e.win.KeyEnabled = true;
    w.TileWidth = w.TileHeight = kTile;
    BuildTiles();
    BuildMap();
    BuildPeople();
    e.pics.Frontbuf.Resize(kScreenW, kScreenH);
    e.pics.Backbuf.Resize((e.win.ScreenTileWidth + 2) * kTile, (e.win.ScreenTileHeight + 2) * kTile);
    w.PlayerPosX = w.PlayerPosY = kMap / 2;
    w.PlayerDirection = 2;
    yw::ResetBufDelta(e);
    yw::DooReLink(e);
    yw::BackbufUpdate(e, false, true);
  }

  void BuildTiles() {
    yw::World& w = e.world;
    w.TileDefCount = 4;
    w.TileDefs.Resize(4);
    e.pics.Tilemap.Resize(4 * kTile, kTile);
    for (int k = 1; k <= 4; ++k) {
      w.TileDefs[k] = {static_cast<int16_t>((k - 1) * kTile), 0, static_cast<int16_t>(k)};
      for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x)
          e.pics.Tilemap.Set((k - 1) * kTile + x, y,
                             yw::Rgb(static_cast<uint8_t>(40 * k), 120, static_cast<uint8_t>(x ^ y)));
    }
  }

  // Every eleventh cell runs a script, every seventh is a wall.
  void BuildMap() {
    yw::World& w = e.world;
    w.MapWidth = w.MapHeight = kMap;
    w.MapTiles.Reset(kMap, kMap);
    w.MapEvents.Reset(kMap, kMap);
    for (int y = 1; y <= kMap; ++y)
      for (int x = 1; x <= kMap; ++x) {
        w.MapTiles(x, y).TILE = static_cast<int16_t>((x * 3 + y) % 4 + 1);
        yw::EventCell& c = w.MapEvents(x, y);
        const int n = x * kMap + y;
        c.passable = n % 7 != 0;
        if (n % 11 == 0) c.ENTERSCRIPT = "door.skr";
      }
  }

  // 500 villagers of the wandering kinds, crowded around the player so
  // that many of them are on the screen.
  void BuildPeople() {
    yw::World& w = e.world;
    e.pics.UnitDoo.Resize(2 * kTile, 2 * kTile);
    w.UnitDefCount = 1;
    w.UnitDefs.Resize(1);
    w.UnitDefs[1] = PaintSprite(e.pics.UnitDoo, 0, 0xC08040);
    w.CharacterCount = 1;
    yw::Character& c = w.Characters[1];
    c.DOOUP = c.DOODOWN = c.DOOLEFT = c.DOORIGHT = 1;
    c.DOOUPANI = c.DOODOWNANI = c.DOOLEFTANI = c.DOORIGHTANI = 1;
    w.PartyCount = 1;
    w.Party[1].character = c;
    w.NpcCount = kNpcs;
    w.Npcs.Resize(kNpcs);
    for (int i = 1; i <= kNpcs; ++i) {
      yw::Npc& n = w.Npcs[i];
      n.CHAR = 1;
      n.POS_X = static_cast<float>(kMap / 2 - 40 + (i - 1) % 40 * 2);
      n.POS_Y = static_cast<float>(kMap / 2 - 13 + (i - 1) / 40 * 2);
      n.DIRECTION = i % 4 + 1;
      n.SPEED = static_cast<int16_t>(3 + i % 3);
    }
    yw::ResetFrames(w);
  }

  yw::HeadlessPlatform platform;
  yw::Engine e;
};

void BM_MapFrameTurn(benchmark::State& state) {
  Town town;
  uint32_t now = 1000;
  for (auto _ : state) {
    now += kFrameMs;
    town.platform.SetClock(now);
    town.e.win.Key = 0;
    yw::MapFrame(town.e);
    benchmark::DoNotOptimize(town.e.pics.Frontbuf.Pixels().data());
  }
  // How many villagers stand away from where they started: the turns did
  // move them.
  const Town start;
  int moved = 0;
  for (int i = 1; i <= kNpcs; ++i)
    moved += town.e.world.Npcs[i].POS_X != start.e.world.Npcs[i].POS_X ||
             town.e.world.Npcs[i].POS_Y != start.e.world.Npcs[i].POS_Y;
  state.counters["moved"] = moved;
}
BENCHMARK(BM_MapFrameTurn)->Unit(benchmark::kMicrosecond);

// The yardstick: one frame of the same size copied whole.
void BM_FrameMemcpy(benchmark::State& state) {
  std::vector<uint32_t> from(static_cast<size_t>(kScreenW) * kScreenH, 0x123456);
  std::vector<uint32_t> to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(uint32_t));
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameMemcpy)->Unit(benchmark::kMicrosecond);

}  // namespace
