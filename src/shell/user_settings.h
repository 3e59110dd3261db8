// The player's own settings for this program, kept apart from the games'
// yarrowind.ini: window scale, fullscreen, how the picture fills the window
// and which keyboard keys play the game keys and the comfort keys. The file
// is $XDG_CONFIG_HOME/yarrowind/settings.ini (~/.config when unset).
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_fit.h"

namespace yw {

// One keyboard key by its name as SDL spells it ("Return", "Keypad Enter",
// "F11"), with the modifier keys that must be held with it.
struct KeyChord {
  std::string name;
  bool alt = false;
  bool ctrl = false;
  bool shift = false;
  int line = 0;  // the settings line it came from, 0 for a default
};

// Keys that work around the game rather than in it.
// Reload and Overlay serve a game's author (see author_tools.h).
enum class ComfortKey { Fullscreen, Screenshot, FastForward, Reload, Overlay };
inline constexpr int kComfortKeyCount = 5;

struct UserSettings {
  int scale = 0;  // screen pixels per game pixel; 0: the largest that fits
  bool fullscreen = false;
  PictureFit fit = PictureFit::Automatic;
  bool debugOverlay = false;  // F3 shows the debug overlay in every game
  // Per game key in GameKey order, and per comfort key: the keyboard keys
  // that press it.
  std::array<std::vector<KeyChord>, 7> gameKeys;
  std::array<std::vector<KeyChord>, kComfortKeyCount> comfortKeys;
  // The SoundFont MIDI music plays with ([sound] soundfont); empty for the
  // default. A relative path is taken from the settings file's folder.
  std::filesystem::path soundFont;
  std::string source;  // the file the settings came from, for messages
};

UserSettings DefaultUserSettings();

// Whether a keyboard key name is one the window system knows ("Return": yes,
// "Lefty": no). Without one, every name is taken.
using KeyNameCheck = std::function<bool(std::string_view)>;

// The settings in `text` over the defaults. A line that cannot be used is
// left out and described in `problems` ("line 4: ..."), in the file's
// order; "#" or ";" after a blank starts a comment. A key line replaces
// that key's default keys with the names `known` takes; a line naming none
// of them keeps the defaults.
UserSettings ParseUserSettings(std::string_view text, std::vector<std::string>& problems,
                               const KeyNameCheck& known = {});

// The folders of the freedesktop conventions, from the environment.
struct UserFolders {
  std::filesystem::path config;    // $XDG_CONFIG_HOME or ~/.config
  std::filesystem::path data;      // $XDG_DATA_HOME or ~/.local/share
  std::filesystem::path pictures;  // XDG_PICTURES_DIR of user-dirs.dirs; empty when unnamed
  std::filesystem::path cache;     // $XDG_CACHE_HOME or ~/.cache

  static UserFolders FromEnvironment();
};

std::filesystem::path UserSettingsFile(const UserFolders& folders);

// Where screenshots go: the pictures folder, else yarrowind's folder in the
// data home.
std::filesystem::path ScreenshotFolder(const UserFolders& folders);

// Where the saves of games whose folder cannot be written go, a folder per
// game: yarrowind/saves in the data home.
std::filesystem::path UserSaveRoot(const UserFolders& folders);

// Reads the settings file; a missing file gives the defaults. Problems are
// prefixed with the file's path.
UserSettings LoadUserSettings(const std::filesystem::path& file, std::vector<std::string>& problems,
                              const KeyNameCheck& known = {});

}  // namespace yw
