// A game for the targets that run the engine: a private copy of a bundled
// game's data files and scripts (no game pictures or sounds, so that an input
// runs fast), an engine started on it as the program starts, and a bounded
// number of main-loop turns with keys pressed in a fixed pattern.
#pragma once

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_image_codec.h"
#include "process_folder.h"
#include "shell/engine.h"
#include "sim/save_folder.h"
#include "core/window_state.h"
#include "shell/main_loop.h"

#ifndef YW_SOURCE_DIR
#error "YW_SOURCE_DIR must name the source tree"
#endif

namespace yw::fuzz {

namespace fs = std::filesystem;

struct GameFolders {
  fs::path program;  // yarrowind.ini and games/
  fs::path game;     // the game's folder below games/
};

// Made once per process below the temporary folder.
inline const GameFolders& Folders() {
  static const ProcessFolder folder("yw-fuzz-");
  static const GameFolders folders = [] {
    GameFolders f;
    f.program = folder.path();
    f.game = f.program / "games" / "hollowmere";
    const fs::path source = fs::path(YW_SOURCE_DIR) / "data";
    fs::create_directories(f.game);
    // The bundled configuration on a small screen without a frame limit:
    // the same code runs, and a turn costs a fraction of a full frame.
    std::ifstream in(source / "yarrowind.ini");
    std::ofstream ini(f.program / "yarrowind.ini");
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("ScreenWidth=")) line = "ScreenWidth=160";
      if (line.starts_with("ScreenHeight=")) line = "ScreenHeight=120";
      if (line.starts_with("Zoom=")) line = "Zoom=1";
      if (line.starts_with("FPSLimit=")) line = "FPSLimit=0";
      ini << line << "\n";
    }
    // The interface pictures: without them the program ends at start-up.
    for (const char* name : {"font.bmp", "digit.bmp", "frame.bmp", "hand.bmp"})
      fs::copy_file(source / name, f.program / name);
    for (const auto& entry : fs::directory_iterator(source / "games" / "hollowmere")) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".bmp" && ext != ".jpg" && ext != ".wav" && ext != ".mid" && ext != ".mp3")
        fs::copy_file(entry.path(), f.game / entry.path().filename());
    }
    return f;
  }();
  return folders;
}

// Writes a file of the game's folder, replacing what an earlier input left.
inline void WriteGameFile(std::string_view name, std::string_view bytes) {
  std::ofstream out(Folders().game / std::string(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Removes the files a run may have written into the game's folder, so that
// every input starts from the same folder.
inline void ForgetWrittenFiles() {
  std::error_code ec;
  for (const char* name :
       {"temp.tmp", "slot1.sav", "slot2.sav", "slot3.sav", "slot4.sav", "slot5.sav"})
    fs::remove(Folders().game / name, ec);
}

// An engine through its start state (configuration read, window sized),
// with the game's folder current and its save folder chosen, as after
// choosing the game.
struct StartedEngine {
  // The interface pictures are decoded, as the program needs them to start.
  StartedEngine() : platform(&Codec(), 8), engine(platform, Folders().program) {
    LoopTurn(engine);
    engine.CurrentDir = Folders().game;
    ChooseSaveFolder(engine);
  }
  static SdlImageCodec& Codec() {
    static SdlImageCodec codec;
    return codec;
  }
  HeadlessPlatform platform;
  Engine engine;
};

// Runs at most `turns` turns of the main loop. Enter is pressed and
// released every few turns (messages, lists, text input) and the arrow
// keys take turns (walking, menus).
inline void Play(StartedEngine& s, int turns) {
  constexpr std::array<GameKey, 4> kArrows{GameKey::Up, GameKey::Right, GameKey::Down,
                                           GameKey::Left};
  for (int turn = 0; turn < turns && !s.engine.QuitRequested; ++turn) {
    s.platform.SetKey(GameKey::Enter, turn % 16 == 8);
    const GameKey arrow = kArrows[static_cast<size_t>(turn / 64) % kArrows.size()];
    for (GameKey k : kArrows) s.platform.SetKey(k, k == arrow && turn % 64 < 40);
    if (turn % 256 == 120) s.platform.SetKey(GameKey::Esc, true);
    if (turn % 256 == 124) s.platform.SetKey(GameKey::Esc, false);
    LoopTurn(s.engine);
  }
}

}  // namespace yw::fuzz
