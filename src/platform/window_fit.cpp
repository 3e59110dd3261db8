#include "platform/window_fit.h"

#include <algorithm>
#include <cmath>

namespace yw {

namespace {

int WholeScale(ScreenSize room, ScreenSize picture) {
  return std::min(room.width / picture.width, room.height / picture.height);
}

}  // namespace

WindowScale ChooseWindowScale(ScreenSize usable, ScreenSize frame, ScreenSize game, int requested,
                              PictureFit fit) {
  WindowScale out;
  if (game.width < 1 || game.height < 1) return out;
  const ScreenSize room{usable.width - frame.width, usable.height - frame.height};
  const int fits = std::max(1, WholeScale(room, game));
  out.scale = requested < 1 ? fits : std::min(requested, fits);
  out.cut = requested > out.scale;
  out.window = {game.width * out.scale, game.height * out.scale};
  const bool sharp = fit == PictureFit::Sharp || (fit == PictureFit::Automatic && fits < 2);
  if (requested < 1 && sharp && room.width >= game.width && room.height >= game.height) {
    const ScreenRect r = PictureRect(room, game, PictureFit::Sharp);
    out.window = {r.width, r.height};
  }
  return out;
}

PictureFit ResolvedFit(ScreenSize window, ScreenSize picture, PictureFit fit) {
  if (fit != PictureFit::Automatic) return fit;
  if (picture.width < 1 || picture.height < 1) return PictureFit::PixelPerfect;
  return WholeScale(window, picture) >= 2 ? PictureFit::PixelPerfect : PictureFit::Sharp;
}

int SharpPrescale(ScreenSize picture, ScreenSize shown) {
  if (picture.width < 1 || picture.height < 1) return 1;
  const auto up = [](int need, int have) { return (need + have - 1) / have; };
  return std::max({1, up(shown.width, picture.width), up(shown.height, picture.height)});
}

ScreenRect PictureRect(ScreenSize window, ScreenSize picture, PictureFit fit) {
  if (window.width < 1 || window.height < 1 || picture.width < 1 || picture.height < 1) return {};
  fit = ResolvedFit(window, picture, fit);
  if (fit == PictureFit::Stretch) return {0, 0, window.width, window.height};
  int w = 0, h = 0;
  const int whole = WholeScale(window, picture);
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
