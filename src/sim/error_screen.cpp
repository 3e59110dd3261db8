// The script error screen: a script that fails ends the running game and
// the player is taken back to the title lists with the error on screen.
#include "core/engine.h"
#include "core/window_state.h"
#include "render/dialogs.h"
#include "render/surfaces.h"
#include "sim/sim_states.h"

namespace yw {

namespace {

// Drops every running script and empties the party, the enemies, the NPCs
// and the lists of flying doodads and floating numbers. Maps, characters
// and items stay; the next game loaded replaces them.
void EmptyRunningGame(World& w) {
  w.Npcs.Reset();
  w.NpcCount = 0;
  w.ScriptStack.Reset();
  w.ScriptDepth = 0;
  w.Voodoos.Reset();
  w.VoodooCount = 0;
  w.Popups.Reset();
  w.PopupCount = 0;
  w.PartyCount = 0;
  w.EnemyCount = 0;
}

}  // namespace

void ShowScriptError(Engine& e, const std::string& message) {
  if (message.empty()) return;
  std::string text = message;
  if (!e.world.ErrorLine.empty())
    text += "\r\nThe error occured in the following line:\r\n" + e.world.ErrorLine;
  WindowState& w = e.win;
  w.Switsch = switsch::kTitleLists;
  w.KeyEnabled = true;
  e.pics.Frontbuf.Clear();
  w.GameMode = Mode::Start;
  EmptyRunningGame(e.world);
  // Closing the message lands in the title state at the step that draws
  // the game list (or the single game's menu).
  DrawMsg(e, text, Mode::Title);
}

}  // namespace yw
