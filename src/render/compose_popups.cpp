#include "render/compose_popups.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/engine.h"
#include "render/surfaces.h"
#include "render/text.h"
#include "world/rounding.h"

namespace yw::compose {
namespace {

// Characters of a number as drawn: its digits and a sign unless it is 0.
int SignedLength(int16_t number) {
  const int digits = static_cast<int>(std::to_string(std::abs(static_cast<int>(number))).size());
  return number == 0 ? digits : digits + 1;
}

// How far through its life a number is, 0 to 1.
float LifeDone(const Popup& p, Millis now) {
  const double span = static_cast<double>(p.endTime) - p.startTime;
  if (span <= 0) return 1;
  return static_cast<float>(std::clamp((static_cast<double>(now) - p.startTime) / span, 0.0, 1.0));
}

void DropExpired(World& w, Millis now) {
  w.PopupCount = static_cast<int16_t>(std::clamp<int>(w.PopupCount, 0, w.Popups.Size()));
  for (int i = 1; i <= w.PopupCount;) {
    if (now > w.Popups[i].endTime) {
      w.Popups.Remove(i);
      --w.PopupCount;
    } else {
      ++i;
    }
  }
}

}  // namespace

int16_t PopupStyle(int16_t number) {
  if (number < 0) return 2;
  if (number > 0) return 3;
  return 1;
}

void DrawPopups(Engine& e, const Viewport& v, Millis now) {
  World& w = e.world;
  DropExpired(w, now);
  const Surface& digits = e.pics.DigitPic;
  const int cw = DigitCellWidth(digits), ch = DigitCellHeight(digits);
  if (cw <= 0 || ch <= 0) return;
  for (int i = 1; i <= w.PopupCount; ++i) {
    const Popup& p = w.Popups[i];
    // The record's last field is the height offset: the number's top stands
    // that many pixels above the cell's bottom edge (over the unit's head),
    // and it rises by half a tile over its life.
    const int16_t heightOffset = p.style;
    const float rise = LifeDone(p, now) * static_cast<float>(v.tileH) / 2;
    const float x = v.CellX(p.x) + static_cast<float>(v.tileW - SignedLength(p.number) * cw) / 2;
    const float y = v.CellY(p.y) + static_cast<float>(v.tileH - heightOffset) - rise;
    DrawNumber(p.number, digits, e.pics.Frontbuf, SaneCoordinate(x), SaneCoordinate(y), cw, ch,
               PopupStyle(p.number));
  }
}

}  // namespace yw::compose
