// Cost of the script engine's per-line work: reading lines from a long
// script and evaluating typical command parameters.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "platform/headless/headless_platform.h"
#include "script/line_reader.h"
#include "script/script_engine.h"
#include "shell/engine.h"

namespace {

struct ScriptScene {
  ScriptScene() : platform(nullptr), e(platform, std::filesystem::temp_directory_path()) {
    yw::World& w = e.world;
    w.CharacterCount = 4;
    w.Characters.Resize(4);
    for (int i = 1; i <= 4; ++i) {
      w.Characters[i].NAME = "Fighter " + std::to_string(i);
      w.Characters[i].HP = static_cast<int16_t>(10 * i);
    }
    e.win.KInputBox = "Player";
  }
  yw::HeadlessPlatform platform;
  yw::Engine e;
};

void BM_EvaluateNumber(benchmark::State& state) {
  ScriptScene s;
  for (auto _ : state) {
    yw::ValueKind kind = yw::ValueKind::Number;
    benchmark::DoNotOptimize(
        yw::Evaluate(s.e, "[data character, 3, HP] - 5 * (2 + [random 1, 6])", kind));
  }
}
BENCHMARK(BM_EvaluateNumber);

void BM_EvaluateText(benchmark::State& state) {
  ScriptScene s;
  for (auto _ : state) {
    yw::ValueKind kind = yw::ValueKind::Text;
    benchmark::DoNotOptimize(yw::Evaluate(
        s.e, "\"Well done, \" [text] \"! HP: \" [str [data character, 2, HP]]", kind));
  }
}
BENCHMARK(BM_EvaluateText);

void BM_ReadAllLines(benchmark::State& state) {
  std::string script = "BEGIN\r\n";
  for (int i = 0; i < 1000; ++i) script += "  ' step\r\n  CHANGE CHARACTER \\ 1 \\ HP \\ 5\r\n";
  script += "END\r\n";
  for (auto _ : state) {
    std::string_view rest = script;
    size_t consumed = 0;
    while (!yw::NextLine(rest, consumed).empty()) rest.remove_prefix(consumed);
    benchmark::DoNotOptimize(rest);
  }
}
BENCHMARK(BM_ReadAllLines);

}  // namespace
