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
  // PixelPerfect where a whole-number scale of 2 or more fits the window,
  // Sharp where none does (a 640 x 480 picture on a 1366 x 768 screen).
  Automatic,
  PixelPerfect,  // the largest whole-number scale that fits, centred with black bars
  // As large as fits, keeping proportions, drawn so that pixels stay crisp:
  // blown up by a whole number with hard edges, then smoothed to the size.
  Sharp,
  Fill,     // as large as fits, keeping the picture's proportions, hard-edged
  Stretch,  // the whole window, proportions given up
};

struct WindowScale {
  int scale = 1;      // the whole number of screen pixels per game pixel that fits
  ScreenSize window;  // the window's inside: at that scale, or larger for a sharp picture
  bool cut = false;   // the requested scale did not fit and was lowered
};

// The window for a game picture of `game` pixels on a desktop whose usable
// area is `usable`, when the window manager adds `frame` pixels around the
// inside (title bar and borders). requested 0 asks for the largest scale
// that fits; a larger request than fits is lowered to it. The scale is at
// least 1 even when the picture itself is larger than the desktop.
// With requested 0, a Sharp picture (and an Automatic one that no whole
// scale of 2 fits) gets the largest window of the picture's proportions
// instead, so that it is not left at a fraction of the screen.
WindowScale ChooseWindowScale(ScreenSize usable, ScreenSize frame, ScreenSize game, int requested,
                              PictureFit fit = PictureFit::PixelPerfect);

// The fit a window of this size shows the picture with: Automatic decided,
// every other fit as it is.
PictureFit ResolvedFit(ScreenSize window, ScreenSize picture, PictureFit fit);

// The whole number a Sharp picture is first blown up by before it is
// smoothed to `shown`: the smallest that makes it at least as large in
// both directions, so that smoothing only ever shrinks it and each pixel
// edge blurs across one screen pixel at most. 1 for a picture shown at or
// below its own size.
int SharpPrescale(ScreenSize picture, ScreenSize shown);

// The rectangle of a window of size `window` that shows a picture of size
// `picture`, centred. PixelPerfect falls back to Fill when the window is
// smaller than the picture itself.
ScreenRect PictureRect(ScreenSize window, ScreenSize picture, PictureFit fit);

}  // namespace yw
