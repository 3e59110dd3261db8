// Composition of a frame: the tile layer in Backbuf, the view and BufFlip.
#pragma once

#include <optional>

namespace yw {

class Engine;

// Puts the view at rest (BufX = TileWidth, BufY = TileHeight) or at the
// given offsets; the scroll targets default to the new offsets.
void ResetBufDelta(Engine& e, std::optional<float> bufX = {}, std::optional<float> bufY = {},
                   std::optional<float> destX = {}, std::optional<float> destY = {});
// Brings the tile layer in Backbuf up to date.
void BackbufUpdate(Engine& e, bool aniOnly, bool fullDraw = false);
// Composes one frame on Frontbuf and shows it.
void BufFlip(Engine& e);

// After a script has loaded map data: the map's pictures are read (when
// their names changed), the view comes to rest on the player and the tile
// layer is redrawn whole. Clears the map-changed flag.
void ApplyMapChange(Engine& e);
// Shows a map change that no frame has shown yet (applying it first when
// it is still pending), so that a message, list, input or screen effect
// opened next stands over the new map rather than over the picture from
// before the load.
void ShowMapChange(Engine& e);

}  // namespace yw
