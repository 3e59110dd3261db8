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

}  // namespace yw
