// The list types of the menu engine and the pieces they are built from.
//
// Every list type is one row of a table: how its window is laid out, where
// its entries come from and what Enter and Escape do. Drawlist and MenuKey
// look the row up and never switch on the list type, so a new list is a new
// row (and the few functions it names).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render/surface.h"
#include "world/world.h"

namespace yw {

class Engine;

// One entry of a list: its text and the value a choice hands on (game
// number, slot number, menu choice ...).
struct ListEntry {
  std::string text;
  int16_t value = 0;
};
using ListEntries = std::vector<ListEntry>;

// One line of a picture list: a sprite of `sheet` (none when sprite is
// null) left of one or more rows of text. The line is as tall as its
// picture or its text, whichever is taller.
struct PictureLine {
  const Surface* sheet = nullptr;
  const SpriteDef* sprite = nullptr;
  std::vector<std::string> texts;
  int16_t value = 0;
};

// A picture list: heading rows above the lines, one font cell apart. With
// alignText the texts of all lines start in one column, right of the widest
// picture, whether a line has a picture or not.
struct PictureList {
  std::vector<std::string> heading;
  std::vector<PictureLine> lines;
  bool alignText = false;
};

enum class ListLayout : uint8_t {
  Pending,    // not built yet: draws nothing, keys do nothing
  Scrolling,  // window at the top left, as many entries as the screen holds
  Fixed,      // a window holding all its entries, optionally headed
  UserList,   // the script-built list with pictures and lines of any height
  Pictures,   // lines with an optional picture and one or more text rows
  Custom,     // drawn whole by the row's own draw function
};

enum class ListPlacement : uint8_t {
  TopLeft,       // frame at (10, 10)
  BottomCentre,  // centred, 10 pixels above the bottom edge
};

struct ListKind {
  ListLayout layout = ListLayout::Pending;
  ListPlacement placement = ListPlacement::TopLeft;
  std::string_view heading = {};
  // The entries to show; called at every draw.
  ListEntries (*content)(Engine&) = nullptr;
  // Shown with DrawMsg (return mode 1) instead of a list without entries.
  std::string_view emptyMessage = {};
  // Enter on the selected line, with that line's entry value.
  void (*enter)(Engine&, int16_t value) = nullptr;
  void (*escape)(Engine&) = nullptr;
  // Pictures layout: the heading and lines, built at every draw.
  PictureList (*pictures)(Engine&) = nullptr;
  // Custom layout: draws the list; reset when it is opened afresh.
  void (*draw)(Engine&, bool reset) = nullptr;
  // The GameMode set when the list is opened afresh; none leaves it.
  std::optional<Mode> openMode = {};
  // A list without lines closes at once as if Escape had been pressed.
  bool closeWhenEmpty = false;
  // Up selects the next line and Down the previous one, around the ends.
  bool wraps = false;
  // Enter does what Escape does (a screen without selectable lines).
  bool enterAsEscape = false;
};

// The row of a list type; nullptr outside 1 to 20.
const ListKind* FindListKind(int32_t listType);

// Drawing helpers of the layouts (list_layouts.cpp).
void DrawScrollingList(Engine& e, const ListKind& kind);
void DrawFixedList(Engine& e, const ListKind& kind);
void DrawUserList(Engine& e);
// Returns the bottom of the window drawn.
int DrawPictureList(Engine& e, const PictureList& list);
// Cuts a text to `cells` characters, ending in "..." when it had to be cut
// (a room of three characters or less cuts hard).
std::string CutText(std::string_view text, int cells);

// Content sources and key actions of the lists, by file.

// title_lists.cpp: game selection (1) and title menu (2).
ListEntries GameEntries(Engine& e);
ListEntries TitleEntries(Engine& e);
void EnterGame(Engine& e, int16_t game);
void LeaveToTitlePicture(Engine& e);
void EnterTitleChoice(Engine& e, int16_t choice);

// slot_lists.cpp: save slots (3) and load slots (14).
inline constexpr int kSlotCount = 5;
// What the lists show for slot N: nullopt for "<Empty>" (no file, or a
// version byte other than 1 and 2), "No name" for an empty description.
std::optional<std::string> SlotDescription(Engine& e, int slot);
ListEntries SlotEntries(Engine& e);
void EnterSaveSlot(Engine& e, int16_t slot);
void LeaveSaveSlots(Engine& e);
void EnterLoadSlot(Engine& e, int16_t slot);
void LeaveLoadSlots(Engine& e);

// main_menu.cpp: the in-game main menu (4) and "Quit Game?" (5).
ListEntries MainMenuEntries(Engine& e);
ListEntries QuitEntries(Engine& e);
void EnterMainMenuChoice(Engine& e, int16_t choice);
void LeaveMainMenu(Engine& e);
void EnterQuitAnswer(Engine& e, int16_t answer);
void BackToMainMenu(Engine& e);

// user_list.cpp: the script-built list (20).
void EnterUserListChoice(Engine& e, int16_t value);
void LeaveUserList(Engine& e);

// party_lists.cpp: team (6), member menu (7), inventory and magic (9, 10),
// weapons and armour to equip (11, 12) and the equipment screen (13).
PictureList TeamLines(Engine& e);
ListEntries MemberMenuEntries(Engine& e);
PictureList InventoryLines(Engine& e);
PictureList MagicLines(Engine& e);
PictureList WeaponLines(Engine& e);
PictureList ArmourLines(Engine& e);
PictureList EquipmentLines(Engine& e);
void EnterTeamMember(Engine& e, int16_t member);
void EnterMemberMenuChoice(Engine& e, int16_t member);
void BackToTeam(Engine& e);
void UseItem(Engine& e, int16_t item);
void EnterEquipSlot(Engine& e, int16_t slot);
void EquipWeapon(Engine& e, int16_t item);
void EquipArmour(Engine& e, int16_t item);
void BackToEquipment(Engine& e);
// The two text rows of a member's block in the team and chooser lists.
std::vector<std::string> MemberBlockTexts(const PartyMember& m);
// A member's block: its standing-down sprite and the two text rows.
PictureLine MemberBlock(Engine& e, int member);
// An item's line: its picture, NAME and "x " with the count.
PictureLine ItemLine(Engine& e, int item, int16_t count);

// statistics_screen.cpp: a member's statistics (8).
std::string StatisticsText(const Character& c);
void DrawStatistics(Engine& e, bool reset);
void NextStatisticsPage(Engine& e);

// fight_lists.cpp: fight menu (15), fight items and magic (16, 17) and the
// party-member chooser (19).
PictureList FightMenuLines(Engine& e);
PictureList FightItemLines(Engine& e);
PictureList FightMagicLines(Engine& e);
PictureList ChooserLines(Engine& e);
void EnterFightChoice(Engine& e, int16_t choice);
void UseFightItem(Engine& e, int16_t item);
void BackToFightMenu(Engine& e);
void EnterChosenMember(Engine& e, int16_t member);

// target_choice.cpp: the enemy chooser on the map (18).
void DrawEnemyChooser(Engine& e, bool reset);
void EnterChosenEnemy(Engine& e, int16_t enemy);

}  // namespace yw
