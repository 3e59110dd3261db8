// Flying doodads, floating numbers and the doodad cover links.
#pragma once

#include <cstdint>

namespace yw {

class Engine;

// A doodad flying from one cell to another in `ms` milliseconds.
void AddVoodoo(Engine& e, int16_t doodad, float fromX, float fromY, float toX, float toY,
               int32_t ms);
// A number shown at (x, y) for `ms` milliseconds in a digit style.
void AddPopup(Engine& e, int16_t number, float x, float y, int32_t ms, int16_t style);
// Recomputes which cells each large doodad covers.
void DooReLink(Engine& e);

}  // namespace yw
