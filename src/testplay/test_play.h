// Trying a game while writing it (--play). A folder of sources (what
// yarrowind-pack build takes) is built into the user's cache first and
// built again before every reload; a game folder is checked by the linter
// before every reload, so that a script that would stop the game is named
// before anything is replaced.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace yw {

class Engine;

// Whether `dir` holds sources rather than a built game: a Tiled map or a
// JSON table, what the build compiles. Any other folder is played as it is.
bool IsSourceFolder(const std::filesystem::path& dir);

// Makes `engine` try the game in `dir`: reload (F5) and the debug overlay
// (F3) are on. Returns the game folder to start, or nullopt with the
// problems in `error` when the sources do not build. Built games go below
// `cacheHome`/yarrowind/play.
std::optional<std::filesystem::path> SetUpTestPlay(Engine& engine, const std::filesystem::path& dir,
                                                   const std::filesystem::path& cacheHome,
                                                   std::string& error);

}  // namespace yw
