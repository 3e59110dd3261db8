// Reading and changing the fields of map cells, characters, items, party
// members, enemies and NPCs from scripts.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace yw {

class Engine;

// The CHANGE command with its parameters; returns the result code.
uint8_t ChangeCommand(Engine& e, std::span<const std::string> params);

// The level a fighter has reached with `ep` experience points: n - 1 for
// the smallest n >= 1 with 5 n (n - 1) >= ep, limited to 1..100.
int16_t LevelFromEP(int32_t ep);

}  // namespace yw
