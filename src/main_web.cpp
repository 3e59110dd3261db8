// Yarrowind in a web browser: the program folder is the packed /data or the
// game library chosen in the page, the game's saves persist in the
// browser's storage (yarrowind_web.js), and the page's address may carry
// the command line (?seed=5&play=games/x). The loop is paced on the
// browser's frames (web_platform.h); a tap on the picture of a touch
// screen is read here against what the game shows.
#include <emscripten.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/web/web_audio_device.h"
#include "platform/web/web_platform.h"
#include "shell/command_line.h"
#include "shell/engine.h"
#include "shell/main_loop.h"
#include "shell/startup.h"
#include "shell/state_dump.h"

namespace fs = std::filesystem;

// clang-format off
EM_JS(void, yw_running, (yw::Engine* engine), { Module.yw.running(engine); });
EM_JS(void, yw_ended, (int code), { Module.yw.ended(code); });
// clang-format on

// The engine's state as JSON text for the page (the browser test reads it
// as the headless replays do); the caller frees it.
extern "C" EMSCRIPTEN_KEEPALIVE char* yw_dump_state(yw::Engine* engine) {
  const std::string text = yw::DumpState(*engine).dump();
  char* out = static_cast<char*>(std::malloc(text.size() + 1));
  if (out) std::memcpy(out, text.c_str(), text.size() + 1);
  return out;
}

// What a tap at (x, y) of the game's frame means in the state the game is
// in: 0 nothing; otherwise 2 * rows + 1, where the list cursor is to move
// `rows` rows (down when positive) and Enter is pressed. A message or the
// title takes a tap as Enter; a list takes the entry tapped, or nothing
// when the tap is far from every entry.
extern "C" EMSCRIPTEN_KEEPALIVE int yw_tap(yw::Engine* engine, int x, int y) {
  using yw::Mode;
  const auto mode = static_cast<Mode>(engine->win.GameMode);
  if (mode == Mode::Title || mode == Mode::Message) return 1;
  const bool list = mode == Mode::GameSelection || mode == Mode::SingleGameMenu ||
                    mode == Mode::Menu || mode == Mode::SaveList || mode == Mode::TargetChoice;
  const yw::ListState& l = engine->lists;
  if (!list || l.ListRowCount < 1) return 0;
  // Rows are two text lines apart; the hand stands left of the entry's
  // text, at the top of its line.
  int pitch = 32;
  if (l.ListRowCount > 1 && l.ListRows.Has(2))
    pitch = std::max(8, std::abs(l.ListRows[2].handY - l.ListRows[1].handY));
  int best = 0;
  int64_t bestScore = INT64_MAX;
  for (int i = 1; i <= l.ListRowCount && l.ListRows.Has(i); ++i) {
    const yw::ListRow& row = l.ListRows[i];
    const int64_t dy = y - (row.handY + pitch / 4);
    const int64_t dx = x < row.handX ? row.handX - x : (x - row.handX) / 8;
    if (std::abs(dy) > pitch) continue;
    if (const int64_t score = dy * dy + dx * dx; score < bestScore) bestScore = score, best = i;
  }
  return best == 0 ? 0 : 2 * (best - l.ListCursor) + 1;
}

// The page keeps the game's frame limit (web_platform.h): the engine's own
// limiter, which would spread a frame over many yields, is given one yield
// a frame. A turn that changes the game's state comes back without waiting.
class FramePacing : public yw::YieldObserver {
 public:
  explicit FramePacing(yw::WebPlatform& platform) : platform_(platform) {}
  void OnYield(yw::Engine& e) override {
    if (e.win.FPSLimit > 0) {
      platform_.SetFrameLimit(e.win.FPSLimit);
      e.win.FPSLimit = 0;
      e.win.DelayLoops = 0;  // ends a limiter's round of yields under way
    }
    if (e.win.GameMode != mode_) platform_.YieldQuickly();
    mode_ = e.win.GameMode;
  }

 private:
  yw::WebPlatform& platform_;
  std::optional<yw::Mode> mode_;
};

int main(int argc, char** argv) {
  yw::Options options;
  std::string error;
  if (!yw::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::cerr << "yarrowind: " << error << "\n";
    return 2;
  }
  // The page names the program folder: the packed /data, or the game
  // library the player chose.
  const fs::path programDir = options.root.empty() ? fs::path("/data") : options.root;
  yw::WebPlatform platform(yw::MakeWebAudioDevice());
  yw::Engine engine(platform, programDir);
  FramePacing pacing(platform);
  engine.Observer = &pacing;
  const auto seed = static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch() /
                                          std::chrono::microseconds(1));
  yw::FormLoad(engine, options.seed.value_or(seed));
  if (!options.play.empty()) {
    engine.CurrentDir = programDir / options.play;
    engine.PlayAtStart = true;
  }
  yw_running(&engine);
  yw::EventLoop(engine);
  yw_running(nullptr);
  yw_ended(engine.ExitCode);
  return engine.ExitCode;
}
