// The small screen the dialog and list tests draw on: 320 x 240 (or the
// size given), an 8 x 8 font, a frame of opaque 8-pixel pieces and a black
// hand, with the keys enabled and the program folder current.
#pragma once

#include "render_test_pictures.h"
#include "shell/engine.h"

namespace yw::test {

inline void UseSmallScreen(Engine& e, int width = 320, int height = 240) {
  e.win.ScreenWidth = static_cast<int16_t>(width);
  e.win.ScreenHeight = static_cast<int16_t>(height);
  e.pics.Frontbuf = Surface(width, height, 0);
  e.pics.FontPic = MakeFont(8, 8);
  e.win.FontWidth = e.win.FontHeight = 8;
  FrameSettings& f = e.win.Frame;
  f.CornerWidth = f.CornerHeight = f.HorizontalWidth = f.VerticalHeight = 8;
  f.TransparentCorners = f.TransparentSides = f.TransparentInside = false;
  e.pics.FramePic = MakeFrame({8, 8, 8, 8});
  e.pics.HandPic = Surface(16, 8, 0);
  e.win.KeyEnabled = true;
  e.CurrentDir = e.ProgramDir;
}

}  // namespace yw::test
