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

}  // namespace yw
