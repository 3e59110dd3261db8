// Composition of a frame: the tile layer in Backbuf, the view and BufFlip.
#pragma once

#include <optional>

namespace yw {

class Engine;
class Surface;

// Copies rows [top, bottom) of `front`, its whole width, from `back` at
// (bufX, bufY + top). What `back` does not reach (a title picture smaller
// than the screen, a buffer not yet sized) is made black, so that nothing
// of an earlier picture stays along the edges.
void CopyView(Surface& front, int top, int bottom, const Surface& back, int bufX, int bufY);

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
// before the load; but not while an effect has covered the screen, where
// the author's black scene stays as it is.
void ShowMapChange(Engine& e);

}  // namespace yw
