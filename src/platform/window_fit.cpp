#include "platform/window_fit.h"

#include <algorithm>
#include <cmath>

namespace yw {

WindowScale ChooseWindowScale(ScreenSize usable, ScreenSize frame, ScreenSize game, int requested) {
  WindowScale out;
  if (game.width < 1 || game.height < 1) return out;
  const int room_w = usable.width - frame.width;
  const int room_h = usable.height - frame.height;
  const int fits = std::max(1, std::min(room_w / game.width, room_h / game.height));
  out.scale = requested < 1 ? fits : std::min(requested, fits);
  out.cut = requested > out.scale;
  out.window = {game.width * out.scale, game.height * out.scale};
  return out;
}

ScreenRect PictureRect(ScreenSize window, ScreenSize picture, PictureFit fit) {
  if (window.width < 1 || window.height < 1 || picture.width < 1 || picture.height < 1) return {};
  if (fit == PictureFit::Stretch) return {0, 0, window.width, window.height};
  int w = 0, h = 0;
  const int whole = std::min(window.width / picture.width, window.height / picture.height);
  if (fit == PictureFit::PixelPerfect && whole >= 1) {
    w = picture.width * whole;
    h = picture.height * whole;
  } else {
    // The side that runs out first sets the size; the other keeps the
    // picture's proportions, rounded.
    const double sx = static_cast<double>(window.width) / picture.width;
    const double sy = static_cast<double>(window.height) / picture.height;
    const double s = std::min(sx, sy);
    w = std::clamp(static_cast<int>(std::lround(picture.width * s)), 1, window.width);
    h = std::clamp(static_cast<int>(std::lround(picture.height * s)), 1, window.height);
  }
  return {(window.width - w) / 2, (window.height - h) / 2, w, h};
}

}  // namespace yw
