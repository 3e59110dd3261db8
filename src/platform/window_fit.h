// Where the game picture goes on the player's screen: how large the window
// is made, and where the picture lands inside a window of any size. Plain
// arithmetic, so that it can be checked without a display.
#pragma once

namespace yw {

struct ScreenSize {
  int width = 0;
  int height = 0;
  bool operator==(const ScreenSize&) const = default;
};

struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ScreenRect&) const = default;
};

// How the picture fills a window larger or smaller than it.
enum class PictureFit {
  PixelPerfect,  // the largest whole-number scale that fits, centred with black bars
  Fill,          // as large as fits, keeping the picture's proportions
  Stretch,       // the whole window, proportions given up
};

struct WindowScale {
  int scale = 1;      // screen pixels per game pixel in each direction
  ScreenSize window;  // the window's inside at that scale
  bool cut = false;   // the requested scale did not fit and was lowered
};

// The window for a game picture of `game` pixels on a desktop whose usable
// area is `usable`, when the window manager adds `frame` pixels around the
// inside (title bar and borders). requested 0 asks for the largest scale
// that fits; a larger request than fits is lowered to it. The scale is at
// least 1 even when the picture itself is larger than the desktop.
WindowScale ChooseWindowScale(ScreenSize usable, ScreenSize frame, ScreenSize game, int requested);

// The rectangle of a window of size `window` that shows a picture of size
// `picture`, centred. PixelPerfect falls back to Fill when the window is
// smaller than the picture itself.
ScreenRect PictureRect(ScreenSize window, ScreenSize picture, PictureFit fit);

}  // namespace yw
