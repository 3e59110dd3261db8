// Cost of composing one frame: BufFlip over a forest map with NPCs, for a
// small and a full-HD screen, and the tile-layer update of a one-cell move.
// The full-HD frame with 200 NPCs is measured beside a plain memcpy of one
// frame, the least any frame can cost; "fps" counts frames per second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "bench_scene.h"
#include "platform/headless/headless_platform.h"
#include "render/compose.h"
#include "shell/engine.h"
#include "sim/effects.h"

namespace {

using yw::bench::kTile;
using yw::bench::PaintSprite;
constexpr int kMap = 120;

struct Scene {
  explicit Scene(int screenW, int screenH, int npcs = 8)
      : platform(nullptr), e(platform, std::filesystem::temp_directory_path()) {
    yw::bench::SetScreen(e, screenW, screenH);
    yw::bench::PaintTiles(e, 8, 20, 90);
    BuildMap();
    BuildSprites(npcs);
    yw::bench::ViewAtCentre(e, kMap);
  }

  void BuildMap() {
    yw::World& w = e.world;
    w.MapWidth = w.MapHeight = kMap;
    w.MapTiles.Reset(kMap, kMap);
    for (int y = 1; y <= kMap; ++y)
      for (int x = 1; x <= kMap; ++x) {
        yw::MapCell& c = w.MapTiles(x, y);
        c.TILE = static_cast<int16_t>((x * 7 + y * 3) % 8 + 1);
        if ((x + 2 * y) % 3 == 0) c.DOODAD = static_cast<int16_t>((x + y) % 2 + 1);
      }
  }

  void BuildSprites(int npcs) {
    yw::World& w = e.world;
    e.pics.DoodadMap.Resize(4 * kTile, 4 * kTile);
    w.DoodadDefCount = 2;
    w.DoodadDefs.Resize(2);
    w.DoodadDefs[1] = PaintSprite(e.pics.DoodadMap, 0, kTile, kTile, 0x3070A0);  // bush
    w.DoodadDefs[2] = PaintSprite(e.pics.DoodadMap, 1, kTile, 2 * kTile, 0x20A040);  // tree
    e.pics.UnitDoo.Resize(4 * kTile, 4 * kTile);
    w.UnitDefCount = 2;
    w.UnitDefs.Resize(2);
    w.UnitDefs[1] = PaintSprite(e.pics.UnitDoo, 0, kTile, kTile + kTile / 2, 0xC08040);
    w.UnitDefs[2] = PaintSprite(e.pics.UnitDoo, 1, kTile, kTile + kTile / 2, 0xC0A060);
    yw::bench::OneHero(e, 2);
    // NPCs in rows around the player, all inside the view.
    w.NpcCount = static_cast<int16_t>(npcs);
    w.Npcs.Resize(npcs);
    const int across = std::max(1, e.win.ScreenTileWidth - 4);
    for (int i = 1; i <= npcs; ++i) {
      yw::Npc& n = w.Npcs[i];
      n.CHAR = 1;
      const int k = (i - 1) * 5 / 2;  // spread over the view
      n.POS_X = static_cast<float>(kMap / 2 - across / 2 + k % across);
      n.POS_Y = static_cast<float>(kMap / 2 - e.win.ScreenTileHeight / 2 + 2 +
                                   (k / across) % std::max(1, e.win.ScreenTileHeight - 4));
      n.DIRECTION = i % 4 + 1;
      n.stepOffsetX = (i % 2) ? 8.0f : 0.0f;
    }
    yw::ResetFrames(w);
  }

  yw::HeadlessPlatform platform;
  yw::Engine e;
};

void BM_BufFlip(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
          static_cast<int>(state.range(2)));
  for (auto _ : state) {
    yw::BufFlip(s.e);
    benchmark::DoNotOptimize(s.e.pics.Frontbuf.Pixels().data());
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BufFlip)
    ->Args({320, 240, 8})
    ->Args({1920, 1080, 8})
    ->Args({1920, 1080, 200})
    ->Unit(benchmark::kMicrosecond);

// The floor for a full frame: one memcpy of a frame's pixels.
void BM_MemcpyFrame(benchmark::State& state) {
  const size_t pixels = static_cast<size_t>(state.range(0)) * static_cast<size_t>(state.range(1));
  std::vector<uint32_t> from(pixels, 0x123456), to(pixels);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), pixels * sizeof(uint32_t));
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MemcpyFrame)->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

// A step right and back: each update shifts Backbuf and draws one column.
void BM_BackbufOneCellMove(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  float dx = 1;
  for (auto _ : state) {
    s.e.world.PlayerPosX += dx;
    dx = -dx;
    yw::BackbufUpdate(s.e, false, false);
  }
}
BENCHMARK(BM_BackbufOneCellMove)->Args({320, 240})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

// One step of scrolling as the player sees it: the tile layer follows the
// player by one cell and the frame is composed with 200 NPCs in view.
void BM_ScrollStep(benchmark::State& state) {
  Scene s(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
          static_cast<int>(state.range(2)));
  float dx = 1;
  for (auto _ : state) {
    s.e.world.PlayerPosX += dx;
    dx = -dx;
    yw::BackbufUpdate(s.e, false, false);
    yw::BufFlip(s.e);
    benchmark::DoNotOptimize(s.e.pics.Frontbuf.Pixels().data());
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                             benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScrollStep)->Args({1920, 1080, 200})->Unit(benchmark::kMicrosecond);

}  // namespace
