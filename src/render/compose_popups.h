// Numbers floating above the map (damage, healing, rewards).
#pragma once

#include <cstdint>

#include "platform/clock.h"
#include "render/compose_internal.h"

namespace yw::compose {

// Drops the numbers whose time is up and draws the others with the digit
// strip, centred over their cell and rising slowly during their life.
void DrawPopups(Engine& e, const Viewport& v, Millis now);

// The digit colour of a number: losses in the first colour set, gains in
// the second, zero in white.
int16_t PopupStyle(int16_t number);

}  // namespace yw::compose
