// What trying a game (yarrowind --play) asks of the authoring tool:
// building a game from its sources and checking a game folder, each with
// the problems found. The player uses the tool through this header only.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace yw::pack {

struct Findings {
  std::string report;               // every problem, one a line, as the tool prints them
  std::vector<std::string> errors;  // the errors alone, formatted the same way
};

// Whether `dir` holds a source the build compiles: a Tiled map, or a JSON
// table or sheet (an object with a "kind"). Other JSON files, such as an
// author's notes, do not make a folder of sources.
bool HoldsSources(const std::filesystem::path& dir);

// Builds the sources in `srcDir` into `outDir` (yarrowind-pack build).
// Returns false when the game was not built.
bool BuildForPlay(const std::filesystem::path& srcDir, const std::filesystem::path& outDir,
                  Findings& findings);
// Checks the game in `gameDir` as yarrowind-pack check does.
void CheckForPlay(const std::filesystem::path& gameDir, const std::filesystem::path& programDir,
                  Findings& findings);

}  // namespace yw::pack
