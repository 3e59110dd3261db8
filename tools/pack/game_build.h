// Building a game folder from its sources and turning a game folder back
// into sources.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "diagnostics.h"
#include "json_doc.h"
#include "play_build.h"

namespace yw::pack {

// Output files by their path relative to the game folder (forward
// slashes), with their bytes.
using FileSet = std::map<std::string, std::string>;

// Compiles every source below `srcDir` in memory: JSON tables and sheets,
// Tiled maps; scripts in the game's 8-bit text with CR LF ends, whatever
// encoding and line ends the editor saved; other files are taken as they
// are. Problems go to `report`.
FileSet CompileSources(const std::filesystem::path& srcDir, Report& report);

// The source each output was built from, by the output's lower-cased path.
struct Origin {
  std::string source;  // relative to the source folder
  std::shared_ptr<const JsonDoc> doc;
};
using Origins = std::map<std::string, Origin>;
FileSet CompileSources(const std::filesystem::path& srcDir, Report& report, Origins* origins);

// CompileSources, then writes the files below `outDir` when there were no
// errors and checks the game written, reporting problems in data files at
// the lines of their sources. Returns false on errors.
bool BuildGame(const std::filesystem::path& srcDir, const std::filesystem::path& outDir,
               Report& report);

// Writes sources for every file of `gameDir` below `srcDir`: chars.dat and
// items.dat as JSON tables, tilemaps and doodadmaps as JSON sheets (with a
// Tiled tileset beside them), maps with their eventmaps as Tiled maps.
// A data file whose sources would not build the same bytes, and every
// other file, is copied as it is. Saved games are left out.
// Maps and their tilesets are written in Tiled's JSON formats (.tmj, .tsj)
// or in its XML formats (.tmx, .tsx).
enum class MapFormat : uint8_t { Json, Tmx };
bool UnpackGame(const std::filesystem::path& gameDir, const std::filesystem::path& srcDir,
                Report& report, MapFormat format = MapFormat::Json);

}  // namespace yw::pack
