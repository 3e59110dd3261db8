// The menu engine: the table of list types, Drawlist and MenuKey with the
// cursor rules every list shares.
#include <array>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_kinds.h"
#include "menus/list_menu.h"
#include "menus/list_state.h"
#include "platform/platform.h"

namespace yw {

namespace {

constexpr int32_t kEnter = VirtualKeyCode(GameKey::Enter);
constexpr int32_t kEscape = VirtualKeyCode(GameKey::Esc);
constexpr int32_t kUp = VirtualKeyCode(GameKey::Up);
constexpr int32_t kDown = VirtualKeyCode(GameKey::Down);

// List types 1 to 20.
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
    // 6: the party, one block per member.
    {.layout = ListLayout::Pictures,
     .enter = EnterTeamMember,
     .escape = BackToMainMenu,
     .pictures = TeamLines},
    // 7: what to do with the chosen member.
    {.layout = ListLayout::Fixed,
     .content = MemberMenuEntries,
     .enter = EnterMemberMenuChoice,
     .escape = BackToTeam},
    // 8: the member's statistics, paged; both keys page on.
    {.layout = ListLayout::Custom,
     .escape = NextStatisticsPage,
     .draw = DrawStatistics,
     .enterAsEscape = true},
    // 9: inventory.
    {.layout = ListLayout::Pictures,
     .enter = UseItem,
     .escape = BackToMainMenu,
     .pictures = InventoryLines},
    // 10: magic.
    {.layout = ListLayout::Pictures,
     .enter = UseItem,
     .escape = BackToMainMenu,
     .pictures = MagicLines},
    // 11: weapons the member can take.
    {.layout = ListLayout::Pictures,
     .enter = EquipWeapon,
     .escape = BackToEquipment,
     .pictures = WeaponLines},
    // 12: armour the member can take.
    {.layout = ListLayout::Pictures,
     .enter = EquipArmour,
     .escape = BackToEquipment,
     .pictures = ArmourLines},
    // 13: the member's weapon and armour.
    {.layout = ListLayout::Pictures,
     .enter = EnterEquipSlot,
     .escape = BackToTeam,
     .pictures = EquipmentLines},
    // 14: load slots.
    {.layout = ListLayout::Fixed,
     .heading = "Load:",
     .content = SlotEntries,
     .enter = EnterLoadSlot,
     .escape = LeaveLoadSlots},
    // 15: the fight menu of the member whose turn it is.
    {.layout = ListLayout::Pictures,
     .enter = EnterFightChoice,
     .pictures = FightMenuLines,
     .openMode = Mode::Menu},
    // 16: items usable in a fight.
    {.layout = ListLayout::Pictures,
     .enter = UseFightItem,
     .escape = BackToFightMenu,
     .pictures = FightItemLines,
     .closeWhenEmpty = true},
    // 17: magic usable in a fight.
    {.layout = ListLayout::Pictures,
     .enter = UseFightItem,
     .escape = BackToFightMenu,
     .pictures = FightMagicLines,
     .closeWhenEmpty = true},
    // 18: the pointer on the enemies on the map; a target must be chosen.
    {.layout = ListLayout::Custom,
     .enter = EnterChosenEnemy,
     .draw = DrawEnemyChooser,
     .wraps = true},
    // 19: a party member as user or target; one must be chosen.
    {.layout = ListLayout::Pictures,
     .enter = EnterChosenMember,
     .pictures = ChooserLines},
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

// Steps the selection by one line, from either end round to the other.
void MoveAround(ListState& l, int step) {
  if (l.ListRowCount < 1) return;
  const int next = l.ListCursor + step;
  l.ListCursor = static_cast<int16_t>(next < 1 ? l.ListRowCount : next > l.ListRowCount ? 1 : next);
}

// Draws a picture list, or closes it when it has no lines and must not be
// shown empty.
void DrawPictures(Engine& e, int32_t listType, const ListKind& kind) {
  const PictureList list = kind.pictures(e);
  if (list.lines.empty() && kind.closeWhenEmpty) {
    MenuKey(e, listType, kEscape);
    return;
  }
  DrawPictureList(e, list);
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
    const bool fixed = kind->layout == ListLayout::Fixed || kind->layout == ListLayout::Custom;
    if (fixed) l.ListMaxScroll = 1;
    if (kind->openMode) e.win.GameMode = *kind->openMode;
  }
  switch (kind->layout) {
    case ListLayout::Scrolling: DrawScrollingList(e, *kind); break;
    case ListLayout::Fixed: DrawFixedList(e, *kind); break;
    case ListLayout::UserList: DrawUserList(e); break;
    case ListLayout::Pictures: DrawPictures(e, listType, *kind); break;
    case ListLayout::Custom: kind->draw(e, reset); break;
    case ListLayout::Pending: break;
  }
}

void MenuKey(Engine& e, int32_t listType, int32_t key) {
  const ListKind* kind = FindListKind(listType);
  if (kind == nullptr || kind->layout == ListLayout::Pending) return;
  ListState& l = e.lists;
  if (kind->enterAsEscape && key == kEnter) key = kEscape;
  if (key == kUp) {
    if (kind->wraps) MoveAround(l, 1);
    else MoveUp(l);
  } else if (key == kDown) {
    if (kind->wraps) MoveAround(l, -1);
    else MoveDown(l);
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
