// What the renderer keeps between frames: the view inside Backbuf and the
// pictures loaded into the map surfaces.
#pragma once

#include <cstdint>
#include <string>

#include "render/backbuf_tiles.h"

namespace yw {

struct ViewState {
  float BufX = 0, BufY = 0;
  float DestX = 0, DestY = 0;
  float ViewX = 0, ViewY = 0;
  float StepOffsetX = 0, StepOffsetY = 0;
  int32_t FrameCounter = 0;
  // Names of the pictures now in Tilemap, DoodadMap, UnitDoo, ItemDoo.
  std::string KeptTilePic, KeptDoodadPic, KeptUnitPic, KeptItemPic;
  // The tile pictures Backbuf shows, cell by cell.
  BackbufTiles DrawnTiles;
  // A map change is in Backbuf but no frame has shown it yet.
  bool MapChangeUnseen = false;
  // Something other than a frame of the map covers the screen: an effect
  // that ended on black. The next frame of the map uncovers it.
  bool ScreenCovered = false;
};

}  // namespace yw
