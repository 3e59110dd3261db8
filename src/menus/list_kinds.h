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

namespace yw {

class Engine;

// One entry of a list: its text and the value a choice hands on (game
// number, slot number, menu choice ...).
struct ListEntry {
  std::string text;
  int16_t value = 0;
};
using ListEntries = std::vector<ListEntry>;

enum class ListLayout : uint8_t {
  Pending,    // not built yet: draws nothing, keys do nothing
  Scrolling,  // window at the top left, as many entries as the screen holds
  Fixed,      // a window holding all its entries, optionally headed
  UserList,   // the script-built list with pictures and lines of any height
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
};

// The row of a list type; nullptr outside 1 to 20.
const ListKind* FindListKind(int32_t listType);

// Drawing helpers of the layouts (list_layouts.cpp).
void DrawScrollingList(Engine& e, const ListKind& kind);
void DrawFixedList(Engine& e, const ListKind& kind);
void DrawUserList(Engine& e);
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
void StartNewGame(Engine& e);

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

}  // namespace yw
