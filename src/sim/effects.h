// Flying doodads, floating numbers and the doodad cover links.
#pragma once

#include <cstdint>

namespace yw {

class Engine;
struct World;

// Screen effects (SFX): what a script can ask for.
enum class ScreenEffect : int32_t { ZoomIn = 1, ZoomOut = 2, HorizontalWipe = 3, VerticalWipe = 4 };

// A doodad flying from cell (fromX, fromY) to cell (toX, toY) in `ms`
// milliseconds, starting now.
void AddVoodoo(Engine& e, int16_t doodad, float fromX, float fromY, float toX, float toY,
               int32_t ms);
// A number shown above cell (x, y) for `ms` milliseconds, starting now.
// `height` is how many pixels above the cell's bottom edge the number's
// top stands (the list keeps it in the entry's style field).
void AddPopup(Engine& e, int16_t number, float x, float y, int32_t ms, int16_t height);
// Recomputes which cells each large doodad covers: clears the map's
// drawing state (the cover links, and with them what the renderer keeps of
// the tile layer), then links. A map smaller than 1 x 1 is left alone.
void DooReLink(Engine& e);
// Clears the cover links and links the doodads of the map as it stands;
// also for a map just built or emptied.
void LinkDoodads(World& w);

}  // namespace yw
