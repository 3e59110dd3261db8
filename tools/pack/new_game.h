// `yarrowind-pack new`: the sources of a small starter game to build on.
#pragma once

#include <filesystem>

#include "diagnostics.h"

namespace yw::pack {

// Writes the starter game's sources into `dir` (created when missing; an
// existing folder must be empty, so that nothing of an author's is
// overwritten): a village with a house to enter, a hero, Elda who talks, the
// tile and figure pictures drawn here, their sheet sources, a Tiled tileset
// and two Tiled maps, and the scripts. Returns false with the problem in
// `report` when it cannot.
bool WriteStarterGame(const std::filesystem::path& dir, Report& report);

}  // namespace yw::pack
