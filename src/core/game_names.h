// Game file names: what a name a game writes (letter case and backslashes
// as games write them) means for the running engine.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/engine.h"
#include "world/binary_io.h"
#include "world/paths.h"

namespace yw {

// The file or folder a game's name means (letter case and backslashes as
// games write them), relative to the game folder: inside the game folder
// or inside the program folder, whose games may share files; nullopt
// otherwise or when it does not exist.
inline std::optional<std::filesystem::path> ResolveGameName(const Engine& e,
                                                            std::string_view name) {
  return ResolvePath(e.CurrentDir, name, e.ProgramDir);
}
// Whether the name means a file, under the same rule.
inline bool GameFileExists(const Engine& e, std::string_view name) {
  return FileExists(e.CurrentDir, name, e.ProgramDir);
}

// The whole content of such a file, or nullopt when there is none or it
// cannot be read.
inline std::optional<std::string> ReadGameFile(const Engine& e, std::string_view name) {
  const auto file = ResolveGameName(e, name);
  if (!file) return std::nullopt;
  return ReadFileBytes(*file);
}

}  // namespace yw
