// The debug overlay: what an author needs to see while trying a game, drawn
// in the top left corner of a copy of the game's picture (the top right in
// a fight, where the fight menus take the left edge).
#pragma once

#include <string>
#include <vector>

namespace yw {

class Engine;
class Surface;

// The overlay's lines: the map, the player's cell and facing, the event
// fields of the cell the player stands on and of the cell ahead, the NPC
// ahead, GameMode, the script stack (each level's script and line), the
// variables A to J with their kinds, the party's (and in a fight the
// enemies') HP and MP, the items' NUMBER and VALUE, the last script error
// and the game's frame rate.
std::vector<std::string> DebugOverlayLines(const Engine& e);

// Where the running script stands: "sign.skr line 4" for the top level,
// empty when no script runs.
std::string RunningScriptPlace(const Engine& e);

// Darkens a panel in the top corner of `onto` and writes the lines on
// it with the game's font at its own size (the font picture unzoomed).
void DrawDebugOverlay(const Engine& e, Surface& onto);

}  // namespace yw
