// Tools for a game's author: reloading the game being tried (F5) and the
// debug overlay (F3). Neither changes what the game itself sees: a reload
// replaces the game's files as a fresh start would read them but keeps the
// running world, and the overlay is drawn on a copy of Frontbuf.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "render/surface.h"

namespace yw {

class Engine;

struct AuthorTools {
  // A game is being tried (--play): F5 reloads it.
  bool testPlay = false;
  // F3 may show the overlay (test-play, a debug build or the player's
  // settings).
  bool overlayAllowed = false;
  bool overlayOn = false;
  bool overlayChanged = false;  // to be shown or hidden on screen
  // F5 was pressed; the reload waits until the player walks on the map.
  bool reloadPending = false;
  // Runs before the game's files are read again: rebuilds the game from its
  // sources or checks it. Returns the problems that stop the reload, one a
  // line; empty to go on.
  std::function<std::string(Engine&)> prepare;

  // The game's frames, counted per second of the clock, for the overlay.
  Millis fpsSince = 0;
  int framesCounted = 0;
  int fps = 0;
  Millis lastShown = 0;
  Surface shown;  // Frontbuf with the overlay, as last presented
  // The last script error with its script and line, for the overlay.
  std::string lastScriptError;
};

// A script error while a game is tried or the overlay is allowed: named on
// stderr and in the overlay with the script's file and line, besides the
// message the player sees.
void TellScriptError(Engine& e, const std::string& message);

// The reload key: remembered while a game is tried, ignored otherwise.
void PressReload(Engine& e);
// The overlay key: shows or hides the overlay where it is allowed.
void PressOverlay(Engine& e);

// Once per turn of the main loop: carries out a pending reload when the
// player walks on the map outside a fight, and keeps the overlay current.
void AuthorToolsTurn(Engine& e);

// Reads the game's scripts, character and item tables, the map in use and
// every picture again from the game folder, keeping the party, the player's
// map, position and direction, the variables and the running scripts. A
// file that does not load changes nothing: its error is shown in a message
// and written to stderr. Returns whether the new files are in use.
bool ReloadGame(Engine& e);

// The picture the window shows: Frontbuf, with the overlay over it when it
// is on. `gameFrame`: the game drew this picture (counted for the frame
// rate), rather than a screenshot or a refresh of the overlay.
const Surface& ShownPicture(Engine& e, bool gameFrame);

}  // namespace yw
