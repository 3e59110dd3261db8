// Cost of one turn on the map (MapFrame: NPC movement plus the composed
// frame) on a 256 x 256 map with 500 wandering NPCs at 960 x 540, beside
// copying one such frame with memcpy.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "bench_scene.h"
#include "platform/headless/headless_platform.h"
#include "render/compose.h"
#include "shell/engine.h"
#include "sim/effects.h"
#include "sim/sim_states.h"

namespace {

using yw::bench::kTile;
constexpr int kMap = 256;
constexpr int kNpcs = 500;
constexpr int kScreenW = 960, kScreenH = 540;
constexpr uint32_t kFrameMs = 16;

struct Town {
  Town() : platform(nullptr), e(platform, std::filesystem::temp_directory_path()) {
    e.rng.Seed(7);
    yw::bench::SetScreen(e, kScreenW, kScreenH);
    e.win.FPSLimit = 0;  // measure only: no yields inside the turn
    e.win.TimeWalkTime = 250;
    e.win.TimeAniTime = 1000;
    e.win.TimeCharTime = 50;
    e.win.KeyEnabled = true;
    yw::bench::PaintTiles(e, 4, 40, 120);
    BuildMap();
    BuildPeople();
    yw::bench::ViewAtCentre(e, kMap);
  }

  // Every eleventh cell runs a script, every seventh is a wall.
  void BuildMap() {
    yw::World& w = e.world;
    w.MapWidth = w.MapHeight = kMap;
    w.MapTiles.Reset(kMap, kMap);
    yw::EventCells events;
    for (int y = 1; y <= kMap; ++y)
      for (int x = 1; x <= kMap; ++x) {
        w.MapTiles(x, y).TILE = static_cast<int16_t>((x * 3 + y) % 4 + 1);
        yw::EventCell c;
        const int n = x * kMap + y;
        c.passable = n % 7 != 0;
        if (n % 11 == 0) c.ENTERSCRIPT = "door.skr";
        events.push_back(c);
      }
    w.MapEvents.Assign(kMap, kMap, std::move(events));
  }

  // 500 villagers of the wandering kinds, crowded around the player so
  // that many of them are on the screen.
  void BuildPeople() {
    yw::World& w = e.world;
    e.pics.UnitDoo.Resize(2 * kTile, 2 * kTile);
    w.UnitDefCount = 1;
    w.UnitDefs.Resize(1);
    w.UnitDefs[1] = yw::bench::PaintSprite(e.pics.UnitDoo, 0, kTile, kTile, 0xC08040);
    yw::bench::OneHero(e, 1);
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
