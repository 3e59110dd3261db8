// Yarrowind in a web browser: the program folder is the packed /data or the
// game library chosen in the page, the game's saves persist in the
// browser's storage (yarrowind_web.js), and the page's address may carry
// the command line (?seed=5&play=games/x).
#include <emscripten.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/web/web_audio_device.h"
#include "platform/web/web_platform.h"
#include "shell/command_line.h"
#include "shell/engine.h"
#include "shell/startup.h"
#include "shell/state_dump.h"
#include "sim/main_loop.h"

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
