// Placeholders until the list menus are drawn: the list is recorded as
// open, and Esc on the title lists leaves the program.
#include "menus/list_menu.h"
#include "shell/engine.h"

namespace yw {

void Drawlist(Engine& e, int32_t listType, bool reset) {
  e.lists.CurrentList = listType;
  if (reset) {
    e.lists.ListCursor = 1;
    e.lists.ListScroll = 1;
  }
}
void MenuKey(Engine&, int32_t, int32_t) {}

}  // namespace yw
