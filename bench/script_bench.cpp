// Cost of running a whole script to its END: assignments, IF blocks with
// data terms and CHANGE lines, in scripts of 1,000 to 100,000 lines. The
// cost per line must not grow with the length of the script: taking a line
// moves a position in the shared text and never copies what is left.
// And the cost of a script that starts itself to the deepest stack, 32767
// levels, and back: time, and the memory its levels hold.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/headless/headless_platform.h"
#include "script/script_engine.h"
#include "shell/engine.h"
#include "shell/main_loop.h"

namespace {

// Eight lines that run without handing control back; the IF alternates
// between its branches as A grows.
constexpr std::string_view kBlock =
    "A [data character, 1, HP] + [B] - 5-3\r\n"
    "IF [A] / 2 \\ > \\ [data character, 2, HP]\r\n"
    "  B [B] + 1\r\n"
    "ELSE\r\n"
    "  C \"HP \" [str [data character, 1, HP]]\r\n"
    "ENDIF\r\n"
    "' keep the party alive\r\n"
    "CHANGE CHARACTER \\ 2 \\ HP \\ [B] * 2\r\n";
constexpr int kBlockLines = 8;

// BEGIN, blocks and comment lines making `lines` lines in all, END.
std::string MakeScript(int lines) {
  std::string text = "BEGIN\r\n";
  text.reserve(static_cast<size_t>(lines) * kBlock.size() / kBlockLines + 16);
  int n = 2;  // BEGIN and END
  for (; n + kBlockLines <= lines; n += kBlockLines) text += kBlock;
  for (; n < lines; ++n) text += "' padding\r\n";
  text += "END\r\n";
  return text;
}

struct Scene {
  Scene() : platform(nullptr), e(platform, std::filesystem::temp_directory_path()) {
    yw::World& w = e.world;
    w.CharacterCount = 2;
    w.Characters.Resize(2);
    for (int i = 1; i <= 2; ++i) {
      w.Characters[i].NAME = "Fighter " + std::to_string(i);
      w.Characters[i].MAXHP = 30000;
      w.Characters[i].HP = static_cast<int16_t>(20 * i);
    }
  }

  // The script as the only level of the stack, not begun.
  void Push(const std::shared_ptr<const std::string>& text) {
    yw::World& w = e.world;
    w.ScriptDepth = 1;
    w.ScriptStack.Resize(1);
    w.ScriptStack[1] = yw::ScriptLevel{};
    w.ScriptStack[1].text = text;
    w.ScriptStack[1].returnMode = yw::Mode::Map;
    e.win.GameMode = yw::Mode::Script;
    w.Variables[1] = {};
  }

  yw::HeadlessPlatform platform;
  yw::Engine e;
};

void BM_RunScriptToEnd(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  const auto text = std::make_shared<const std::string>(MakeScript(lines));
  Scene s;
  for (auto _ : state) {
    s.Push(text);
    const uint8_t code = yw::Interpret(s.e);
    if (code != 0 || !s.e.world.ScriptStack[1].Finished()) {
      state.SkipWithError("the script did not run to its END");
      break;
    }
  }
  const double perRun = static_cast<double>(lines);
  state.counters["lines_per_s"] =
      benchmark::Counter(perRun, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["s_per_line"] = benchmark::Counter(
      perRun, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RunScriptToEnd)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A 1 MiB script that starts itself, run by the main loop until the start
// past the deepest level is refused, then back down to no level at all.
void BM_SelfStartingScriptToTheDepthLimit(benchmark::State& state) {
  std::string self = "BEGIN\r\nRUNSCRIPT \"self.skr\"\r\nEND\r\n";
  while (self.size() < (size_t{1} << 20)) self += "' padding the script to a megabyte\r\n";
  const yw::ScriptText text(self);
  double levelBytes = 0;
  for (auto _ : state) {
    yw::HeadlessPlatform platform;
    yw::Engine e(platform, std::filesystem::temp_directory_path());
    yw::World& w = e.world;
    w.Scripts.Resize(1);
    w.Scripts[1] = {text, "self.skr"};
    w.ScriptCount = 1;
    e.win.GameMode = yw::Mode::Map;
    yw::RunScript(e, "self.skr");
    while (e.win.GameMode == yw::Mode::Script) yw::LoopTurn(e);
    if (w.ScriptDepth != INT16_MAX) {
      state.SkipWithError("the script did not stop at the deepest level");
      break;
    }
    levelBytes = static_cast<double>(w.ScriptDepth) * sizeof(yw::ScriptLevel);
    e.win.GameMode = yw::Mode::Script;  // the message closed
    while (w.ScriptDepth > 0) yw::LoopTurn(e);
  }
  state.counters["levels"] = INT16_MAX;
  state.counters["stack_MiB"] = levelBytes / (1 << 20);
}
BENCHMARK(BM_SelfStartingScriptToTheDepthLimit)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
