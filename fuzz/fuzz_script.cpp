// Feeds arbitrary text to the interpreter as a script of a bundled game:
// started on a started engine and run for a bounded number of main-loop
// turns with keys pressed. Any script must run, fail with a script error
// or wait, never crash.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_game.h"
#include "script/script_engine.h"
#include "sim/game_files.h"

namespace {
size_t loaded = 0;  // inputs the game loaded as its script, text intact
}  // namespace

// For the smoke test: every seed reaches the interpreter whole.
extern "C" size_t YwFuzzReached() { return loaded; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace yw;
  fuzz::ForgetWrittenFiles();
  fuzz::WriteGameFile("fuzz.skr", std::string_view(reinterpret_cast<const char*>(data), size));
  fuzz::StartedEngine s;
  LoadScripts(s.engine);
  for (int i = 1; i <= s.engine.world.ScriptCount; ++i)
    if (s.engine.world.Scripts[i].Name == "fuzz.skr" && size > 0 &&
        s.engine.world.Scripts[i].Text.Str().size() == size)
      ++loaded;
  RunScript(s.engine, "fuzz.skr");
  fuzz::Play(s, 300);
  return 0;
}
