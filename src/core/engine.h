// The engine: one running instance of the program. It owns the world, the
// main window's variables and surfaces, the random generator and a
// reference to the platform. Tests may create as many as they like.
//
// The parts each subsystem keeps (the window variables, the list on screen,
// the view, the surfaces, the sound channels, the author's tools) are
// reached through references and declared here only: a file includes the
// header of each part it uses, so a change to one part rebuilds only its
// users. The engine is put together in shell/engine.cpp, the one place
// that knows every part; shell/engine.h gives the whole engine at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string_view>

#include "platform/platform.h"
#include "world/world.h"

namespace yw {

class Engine;
struct WindowState;  // core/window_state.h
struct ViewState;    // render/view_state.h
struct ListState;    // menus/list_state.h
struct SoundState;   // audio/sound_state.h
struct Surfaces;     // render/surfaces.h
struct AuthorTools;  // shell/author_tools.h

// Called at every yield to the window system (after the platform's events
// were handled); the replay driver uses it to feed input and take shots.
class YieldObserver {
 public:
  virtual ~YieldObserver() = default;
  virtual void OnYield(Engine& engine) = 0;
};

// Uniform random numbers in [0, 1).
class Random {
 public:
  explicit Random(uint32_t seed = 0) : gen_(seed) {}
  void Seed(uint32_t seed) { gen_.seed(seed); }
  // 24 random bits scaled into [0, 1): exactly representable, never 1.
  double Next() { return static_cast<double>(gen_() >> 8) * (1.0 / 16777216.0); }
  // A chance of 1 in n: Int(random x n) = 0.
  bool OneIn(double n) { return static_cast<long long>(Next() * n) == 0; }

 private:
  std::mt19937 gen_;
};

class Engine {
  // The storage of the parts; first, so that it exists before the
  // references to it are bound and outlives every other member.
  struct Parts;
  std::unique_ptr<Parts> parts_;

 public:
  Engine(Platform& platform, std::filesystem::path programDir);
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Platform& platform;
  World world;
  WindowState& win;
  ViewState& view;
  ListState& lists;
  SoundState& sound;
  Surfaces& pics;
  Random rng;

  // The program's own folder and the folder that counts as current: the
  // game's folder while a game runs. File names are resolved against it.
  std::filesystem::path ProgramDir;
  std::filesystem::path CurrentDir;
  // Where the running game's saves and fight snapshot go, chosen when the
  // game is opened (sim/save_folder.h); empty: the current folder.
  std::filesystem::path SaveDir;
  // The player's folder for the saves of games whose own folder cannot be
  // written (a folder per game inside it); empty: saves stay in the game.
  std::filesystem::path UserSaveRoot;
  // The installed program folder (share/yarrowind beside bin/), empty for
  // a build folder's: its games keep their saves in UserSaveRoot even where
  // their folder can be written (by root, say).
  std::filesystem::path InstalledDir;
  // Whether a game folder can be written; a test may pretend it cannot.
  std::function<bool(const std::filesystem::path&)> CanWriteFolder;

  // Set to try a game (--play): the next start state stays in CurrentDir and
  // runs the new-game flow there at once, without the credit lines, the
  // title picture and the menus. The start state clears it.
  bool PlayAtStart = false;

  // Set when the program is to end; the main loop then returns.
  bool QuitRequested = false;
  int ExitCode = 0;

  YieldObserver* Observer = nullptr;

  // Reload and the debug overlay for a game's author.
  AuthorTools& author;

  // Picture and sound files already named on stderr as unusable.
  std::set<std::filesystem::path> ToldUnusable;
  // Names a picture or sound file that exists but cannot be used, with the
  // reason, once per file for the life of the engine.
  void TellUnusable(const std::filesystem::path& file, std::string_view reason);

  // Yields to the window system once: typed characters reach the key-press
  // handler, a close request runs the shutdown sequence.
  void DoEvents();
  // Reads the platform clock (the game's timeGetTime).
  Millis Now() { return platform.Now(); }
  // Makes Frontbuf visible (with the debug overlay over it when that is on).
  void Show();
};

}  // namespace yw
