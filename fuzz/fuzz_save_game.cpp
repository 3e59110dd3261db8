// Feeds arbitrary bytes to the game as a saved game: loaded from the load
// list onto a started engine, played for a while, then loaded again as the
// fight snapshot is. A bad file must be refused, and whatever loads must
// play without crashing or hanging.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_game.h"
#include "seeds.h"
#include "sim/game_files.h"
#include "world/save_game.h"

namespace {

// The saved games that loaded, for the smoke test to see that the inputs
// reach the game and not only the file reader.
size_t& Loads() {
  static size_t loads = 0;
  return loads;
}

}  // namespace

extern "C" size_t YwFuzzReached() { return Loads(); }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace yw;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SaveGameData save;
  ReadSaveGame(bytes, save);
  std::string description;
  ReadSaveDescription(bytes, description);

  fuzz::ForgetWrittenFiles();
  fuzz::WriteGameFile("slot1.sav", bytes);
  fuzz::StartedEngine s;
  ReadSaveDescription(s.engine, "slot1.sav");
  if (!LoadState(s.engine, "slot1.sav", false)) return 0;
  ++Loads();
  // As the load list does after a successful load.
  s.engine.win.GameMode = Mode::Map;
  s.engine.win.Wait4Relase = true;
  fuzz::Play(s, 150);
  if (LoadState(s.engine, "slot1.sav", true)) fuzz::Play(s, 75);
  return 0;
}
