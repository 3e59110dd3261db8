// The states of the main loop (GameMode), by the numbers the game's state
// dump and its script stack use.
#pragma once

#include <cstdint>

namespace yw {

// States of the main loop.
enum class Mode : int32_t {
  Start = 0,
  Quit = 1,
  Title = 2,
  GameSelection = 3,
  SingleGameMenu = 4,
  Message = 5,
  Map = 6,
  Menu = 7,
  Script = 8,
  CutScene = 9,
  SaveList = 10,
  TextInput = 11,
  FightRound = 12,
  TargetChoice = 13,
  Effect = 14,
};

}  // namespace yw
