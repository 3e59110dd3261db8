// The picture surfaces of the main window.
#pragma once

#include "render/prepared_sprites.h"
#include "render/surface.h"

namespace yw {

struct Surfaces {
  Surface Frontbuf;  // the visible screen
  Surface Backbuf;   // the tile layer around the view
  Surface Extrabuf;  // the screen under a dialog; work copy of effects
  Surface Tilemap;
  Surface DoodadMap;
  Surface UnitDoo;
  Surface ItemDoo;
  Surface FramePic;
  Surface HandPic;
  Surface FontPic;
  Surface DigitPic;
  Surface PixPic;  // scratch surface for loading and scaling
  // The frames of DoodadMap and UnitDoo prepared for drawing.
  PreparedSprites PreparedDoodads, PreparedUnits;
};

}  // namespace yw
