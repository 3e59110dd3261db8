// The linter: finds what would stop a game with a script error or leave a
// player stuck, without running it.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.h"

namespace yw::pack {

// What a script may refer to, as the running game would look it up.
struct GameIndex {
  // Script names as the game knows them (subfolder\name.skr), lower-cased.
  std::set<std::string> scripts;
  // Whether a file of that name exists in the game folder (names as
  // scripts write them: backslashes, any letter case).
  std::function<bool(std::string_view)> fileExists;
  // Whether a picture of that name is found (game folder first, then the
  // program folder; with or without .bmp or .jpg).
  std::function<bool(std::string_view)> pictureExists;
  // Why an existing sound file cannot be played as an effect (effect true)
  // or as ambient music; empty when it can. Unset: sounds are not checked.
  std::function<std::string(std::string_view, bool effect)> soundProblem;
};

// Files a script names, for the data checks that follow the scripts.
struct ScriptReferences {
  std::vector<std::string> maps, eventmaps, tilemaps, doodadmaps;
};

// One script: its shape (BEGIN, END, CR LF line ends), command words,
// parameter counts and keywords, IF/ELSE/ENDIF nesting, and the scripts,
// maps, sheets and sounds it names.
void CheckScript(const std::string& name, std::string_view text, const GameIndex& index,
                 Report& report, ScriptReferences* refs = nullptr);

// What in a built data file a problem concerns, so that a build can point
// at the line of the source behind it.
struct DataSpot {
  std::string pointer;       // in a table or sheet source: "/picture", "/items/1/SCRIPT"
  std::string property;      // a map property of a Tiled map: "tilemap", "doodadmap"
  int cellX = 0, cellY = 0;  // an eventmap cell (from 1), with its event and script
  std::string event;         // "enter", "leave", "use", "push"
  std::string script;
};

struct SourceSpot {
  std::string file;
  int line = 0;
};

// The source a built file (named as the game names it) came from, with the
// line of `spot` in it; nullopt for a file not built from a source.
using SourceLocator =
    std::function<std::optional<SourceSpot>(std::string_view builtFile, const DataSpot& spot)>;

// The whole game folder: every script, chars.dat, items.dat and every map,
// eventmap, tilemap and doodadmap reachable from them. `programDir` is the
// folder the game's pictures fall back to. Problems in data files are
// reported at their sources when `locate` finds them.
void CheckGame(const std::filesystem::path& gameDir, const std::filesystem::path& programDir,
               Report& report, const SourceLocator& locate = {});

// The program folder of a game in a library (games\<name>), else the game
// folder itself.
std::filesystem::path DefaultProgramDir(const std::filesystem::path& gameDir);

}  // namespace yw::pack
