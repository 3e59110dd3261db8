// Loading a map with its event layer, and a save/load round trip of that
// world, beside reading the same bytes into memory. Sizes 256², 512² and
// 1024² show how the cost grows with the cell count.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "platform/headless/headless_platform.h"
#include "shell/engine.h"
#include "world/binary_io.h"
#include "world/data_files.h"
#include "sim/game_files.h"

namespace yw {
namespace {

namespace fs = std::filesystem;

// Each repetition sets its game up again: the files are rewritten only when
// they differ, so that no write-back of fresh pages runs into the timing.
void WriteIfChanged(const fs::path& file, const std::string& bytes) {
  if (ReadFileBytes(file) != bytes) WriteFileBytes(file, bytes);
}

// A folder holding town.map (n x n tiles, a doodad on every seventh cell)
// and town.evm (an event layer with a script on every eleventh cell).
fs::path MakeGame(int n) {
  const fs::path dir = fs::temp_directory_path() / ("yw-bench-map-" + std::to_string(n));
  fs::create_directories(dir);
  MapFileData map;
  map.width = map.height = static_cast<int16_t>(n);
  map.tiles.assign(static_cast<size_t>(n) * n, 1);
  for (int i = 0; i < n * n; i += 7)
    map.doodads.push_back({static_cast<int16_t>(i % n + 1), static_cast<int16_t>(i / n + 1), 1});
  WriteIfChanged(dir / "town.map", WriteMapFile(map));
  EventmapFileData events;
  events.mapFile = "town.map";
  events.width = events.height = static_cast<int16_t>(n);
  EventCell plain, step;
  plain.passable = step.passable = true;
  step.ENTERSCRIPT = "step.skr";
  for (size_t i = 0; i < static_cast<size_t>(n) * n; ++i) events.cells.push_back(i % 11 ? plain : step);
  WriteIfChanged(dir / "town.evm", WriteEventmapFile(events));
  return dir;
}

void BM_ReadBytes(benchmark::State& state) {
  const fs::path dir = MakeGame(static_cast<int>(state.range(0)));
  size_t bytes = 0;
  for (auto _ : state) {
    auto a = ReadFileBytes(dir / "town.evm");
    auto b = ReadFileBytes(dir / "town.map");
    bytes = a->size() + b->size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_LoadEventmapWithMap(benchmark::State& state) {
  const fs::path dir = MakeGame(static_cast<int>(state.range(0)));
  HeadlessPlatform platform;
  Engine e(platform, dir);
  for (auto _ : state) {
    if (!LoadEventmapFile(e, "TOWN.EVM", true)) state.SkipWithError("load failed");
  }
  state.counters["cells"] = static_cast<double>(state.range(0) * state.range(0));
}

void BM_SaveLoadRoundTrip(benchmark::State& state) {
  const fs::path dir = MakeGame(static_cast<int>(state.range(0)));
  HeadlessPlatform platform;
  Engine e(platform, dir);
  if (!LoadEventmapFile(e, "town.evm", true)) state.SkipWithError("load failed");
  for (auto _ : state) {
    if (!SaveState(e, "slot1.sav", "bench")) state.SkipWithError("save failed");
    // The load also re-reads the scripts and redraws; the folder has none.
    LoadState(e, "slot1.sav", false);
  }
}

BENCHMARK(BM_ReadBytes)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadEventmapWithMap)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLoadRoundTrip)->Arg(256)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace yw
