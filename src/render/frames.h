// Window frames and the list pointer.
//
// frame.bmp holds nine pieces in a 3 x 3 grid (corners CornerWidth x
// CornerHeight, top and bottom edges HorizontalWidth wide, left and right
// edges VerticalHeight high, the inside between them); the same grid
// repeated to its right holds their masks. hand.bmp holds the pointer in its
// left half and the pointer's mask in its right half.
#pragma once

#include <cstdint>

#include "render/surface.h"
#include "core/window_state.h"

namespace yw {

class Engine;

// Draws a window frame over (x, y, width, height): four corners, four edges
// stretched or tiled along the inner length, and the inside stretched or
// tiled, each piece opaque or through its mask as the settings say.
void DrawFrame(const Surface& framePic, Surface& dst, int x, int y, int width, int height,
               const FrameSettings& settings);

// Turns the outer size of a framed window into the size of its text area:
// one corner and one font cell come off on every side.
void Shorten(const Engine& e, int16_t& width, int16_t& height);

// Draws the list pointer with its top-left corner at (x, y).
void DrawHand(const Surface& handPic, Surface& dst, int x, int y);

}  // namespace yw
