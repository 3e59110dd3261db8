// The main menu the player opens on the map (list 4) and the question
// "Quit Game?" (list 5).
#include <array>
#include <optional>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_kinds.h"
#include "menus/list_menu.h"
#include "render/compose.h"
#include "render/surfaces.h"

namespace yw {

namespace {

// What a main-menu line opens: the list, and how the main loop's state is
// set for it. Lines whose list is not built yet do nothing.
struct MainMenuLine {
  std::string_view text;
  int32_t opens;
  bool checkItems = false;       // put members back to items they still carry
  int16_t switsch = -1;          // Switsch for the opened list; -1 keeps it
  std::optional<Mode> mode = {};  // GameMode for the opened list; none keeps it
  bool needsSaving = false;      // refused while a script has turned saving off
};

constexpr Mode kSaveListMode = Mode::SaveList;

// Switsch tells the slot lists where they were opened (Escape on the load
// slots comes back here).
constexpr std::array<MainMenuLine, 6> kLines = {{
    {.text = "Team", .opens = list::kTeam, .checkItems = true},
    {.text = "Inventory", .opens = list::kInventory},
    {.text = "Magic", .opens = list::kMagic},
    {.text = "Save",
     .opens = list::kSaveSlots,
     .switsch = switsch::kSlotsOpened,
     .mode = kSaveListMode,
     .needsSaving = true},
    {.text = "Load",
     .opens = list::kLoadSlots,
     .switsch = switsch::kLoadSlotsFromMenu,
     .mode = kSaveListMode},
    {.text = "Quit", .opens = list::kQuit},
}};

enum class QuitAnswer : int16_t { Yes = 1, No = 2 };

}  // namespace

ListEntries MainMenuEntries(Engine&) {
  ListEntries entries;
  for (size_t i = 0; i < kLines.size(); ++i)
    entries.push_back({std::string(kLines[i].text), static_cast<int16_t>(i + 1)});
  return entries;
}

ListEntries QuitEntries(Engine&) {
  return {{"Yes", static_cast<int16_t>(QuitAnswer::Yes)},
          {"No", static_cast<int16_t>(QuitAnswer::No)}};
}

// Each choice puts the map back on the screen before its list appears.
// While saving is off (SAVING OFF) the Save line only leaves the menu as
// it is, so a game can keep the player from saving in the middle of a
// scene.
void EnterMainMenuChoice(Engine& e, int16_t choice) {
  if (choice < 1 || choice > static_cast<int16_t>(kLines.size())) return;
  const MainMenuLine& line = kLines[static_cast<size_t>(choice - 1)];
  if (line.needsSaving && !e.win.SavingActive) {
    Drawlist(e, list::kMainMenu, false);
    return;
  }
  const ListKind* target = FindListKind(line.opens);
  if (target == nullptr || target->layout == ListLayout::Pending) return;
  if (line.checkItems) CheckPartyItems(e.world);
  BufFlip(e);
  if (line.switsch >= 0) e.win.Switsch = line.switsch;
  Drawlist(e, line.opens, true);
  if (line.mode) e.win.GameMode = *line.mode;
}

// Back to the map; the Escape still held must not reopen the menu.
void LeaveMainMenu(Engine& e) {
  e.win.Wait4Relase = true;
  e.win.GameMode = Mode::Map;
}

// Yes ends the game: the world is emptied and the start state runs again.
void EnterQuitAnswer(Engine& e, int16_t answer) {
  if (static_cast<QuitAnswer>(answer) != QuitAnswer::Yes) {
    BackToMainMenu(e);
    return;
  }
  e.pics.Frontbuf.Clear();
  e.win.GameMode = Mode::Start;
  InitWorld(e.world);
}

void BackToMainMenu(Engine& e) {
  BufFlip(e);
  Drawlist(e, list::kMainMenu, true);
}

}  // namespace yw
