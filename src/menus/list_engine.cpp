// The menu engine: the table of list types, Drawlist and MenuKey with the
// cursor rules every list shares.
#include <array>

#include "menus/list_kinds.h"
#include "menus/list_menu.h"
#include "platform/platform.h"
#include "shell/engine.h"

namespace yw {

namespace {

constexpr int32_t kEnter = VirtualKeyCode(GameKey::Enter);
constexpr int32_t kEscape = VirtualKeyCode(GameKey::Esc);
constexpr int32_t kUp = VirtualKeyCode(GameKey::Up);
constexpr int32_t kDown = VirtualKeyCode(GameKey::Down);

// List types 1 to 20. Rows left Pending belong to lists that are not built
// yet (the party and fight menus): they draw nothing and take no keys.
const std::array<ListKind, 20> kListKinds = {{
    // 1: the game library.
    {.layout = ListLayout::Scrolling,
     .content = GameEntries,
     .emptyMessage = "No Games Found",
     .enter = EnterGame,
     .escape = LeaveToTitlePicture},
    // 2: the title menu of a game.
    {.layout = ListLayout::Fixed,
     .placement = ListPlacement::BottomCentre,
     .content = TitleEntries,
     .enter = EnterTitleChoice,
     .escape = LeaveToTitlePicture},
    // 3: save slots.
    {.layout = ListLayout::Fixed,
     .heading = "Save as:",
     .content = SlotEntries,
     .enter = EnterSaveSlot,
     .escape = LeaveSaveSlots},
    // 4: the main menu during play.
    {.layout = ListLayout::Fixed,
     .content = MainMenuEntries,
     .enter = EnterMainMenuChoice,
     .escape = LeaveMainMenu},
    // 5: "Quit Game?"
    {.layout = ListLayout::Fixed,
     .heading = "Quit Game?",
     .content = QuitEntries,
     .enter = EnterQuitAnswer,
     .escape = BackToMainMenu},
    {},  // 6: team
    {},  // 7: member menu
    {},  // 8: statistics
    {},  // 9: inventory
    {},  // 10: magic
    {},  // 11: weapons to equip
    {},  // 12: armour to equip
    {},  // 13: equipment
    // 14: load slots.
    {.layout = ListLayout::Fixed,
     .heading = "Load:",
     .content = SlotEntries,
     .enter = EnterLoadSlot,
     .escape = LeaveLoadSlots},
    {},  // 15: fight menu
    {},  // 16: fight items
    {},  // 17: fight magic
    {},  // 18: enemy chooser
    {},  // 19: party-member chooser
    // 20: the list a script builds.
    {.layout = ListLayout::UserList,
     .enter = EnterUserListChoice,
     .escape = LeaveUserList},
}};

void MoveUp(ListState& l) {
  if (l.ListCursor > 1) --l.ListCursor;
  else if (l.ListScroll >= 2) --l.ListScroll;
}

void MoveDown(ListState& l) {
  if (l.ListCursor < l.ListRowCount) ++l.ListCursor;
  else if (l.ListScroll < l.ListMaxScroll) ++l.ListScroll;
}

// The entry value of the selected line, when a line is selected.
std::optional<int16_t> SelectedEntry(const ListState& l) {
  if (l.ListCursor < 1 || l.ListCursor > l.ListRowCount || !l.ListRows.Has(l.ListCursor))
    return std::nullopt;
  return l.ListRows[l.ListCursor].entry;
}

}  // namespace

const ListKind* FindListKind(int32_t listType) {
  if (listType < 1 || listType > static_cast<int32_t>(kListKinds.size())) return nullptr;
  return &kListKinds[static_cast<size_t>(listType - 1)];
}

void Drawlist(Engine& e, int32_t listType, bool reset) {
  const ListKind* kind = FindListKind(listType);
  if (kind == nullptr || kind->layout == ListLayout::Pending) return;
  ListState& l = e.lists;
  if (reset) {
    l.CurrentList = listType;
    l.ListCursor = 1;
    l.ListScroll = 1;
    if (kind->layout == ListLayout::Fixed) l.ListMaxScroll = 1;
  }
  switch (kind->layout) {
    case ListLayout::Scrolling: DrawScrollingList(e, *kind); break;
    case ListLayout::Fixed: DrawFixedList(e, *kind); break;
    case ListLayout::UserList: DrawUserList(e); break;
    case ListLayout::Pending: break;
  }
}

void MenuKey(Engine& e, int32_t listType, int32_t key) {
  const ListKind* kind = FindListKind(listType);
  if (kind == nullptr || kind->layout == ListLayout::Pending) return;
  ListState& l = e.lists;
  if (key == kUp) {
    MoveUp(l);
  } else if (key == kDown) {
    MoveDown(l);
  } else if (key == kEnter) {
    const std::optional<int16_t> entry = SelectedEntry(l);
    if (kind->enter != nullptr && entry) {
      kind->enter(e, *entry);
      return;
    }
  } else if (key == kEscape) {
    if (kind->escape != nullptr) {
      kind->escape(e);
      return;
    }
  }
  // Cursor keys, other keys and choices without an action redraw the list.
  Drawlist(e, listType, false);
}

}  // namespace yw
