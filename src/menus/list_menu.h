// The list menus: drawing a list and handling its keys.
#pragma once

#include <cstdint>

namespace yw {

class Engine;

// Draws the list of the given type over Frontbuf; reset starts it afresh.
void Drawlist(Engine& e, int32_t listType, bool reset);
// Handles a key for the list on screen.
void MenuKey(Engine& e, int32_t listType, int32_t key);
// "New" on a game's title menu: reads the current folder's scripts,
// characters and items and starts autoexec.skr, or shows what failed.
void StartNewGame(Engine& e);

}  // namespace yw
