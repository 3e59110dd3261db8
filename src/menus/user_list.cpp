// Choosing from the list a script built with ADDLISTITEM and SHOWLIST: the
// chosen value goes to ListItemVal and the script carries on.
#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_kinds.h"
#include "render/compose.h"

namespace yw {

namespace {

void HandBackToScript(Engine& e, int16_t value) {
  World& w = e.world;
  w.ListItemVal = value;
  w.UserList.Reset();
  w.UserListCount = 0;
  e.win.GameMode = Mode::Script;
  BufFlip(e);
  e.win.Wait4Relase = true;
}

}  // namespace

void EnterUserListChoice(Engine& e, int16_t value) { HandBackToScript(e, value); }

// Escape counts as choosing 0, unless the script said NOESC.
void LeaveUserList(Engine& e) {
  if (e.world.UserListActive) HandBackToScript(e, 0);
}

}  // namespace yw
