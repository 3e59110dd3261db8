// The lists before a game runs: the game library (list 1) and a game's
// title menu (list 2) with the new-game flow.
#include <filesystem>
#include <string>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_kinds.h"
#include "menus/list_menu.h"
#include "render/compose.h"
#include "render/dialogs.h"
#include "render/surfaces.h"
#include "render/view_state.h"
#include "script/script_engine.h"
#include "sim/game_files.h"
#include "world/paths.h"

namespace yw {

namespace fs = std::filesystem;

namespace {

enum class TitleChoice : int16_t { New = 1, Load = 2, Quit = 3 };

constexpr std::string_view kAutoexec = "autoexec.skr";

// Shows a loading problem; closing it goes back to the start state.
void LoadFailed(Engine& e, std::string_view message) {
  DrawMsg(e, message, Mode::Start);
}

bool IsAutoexec(const World& w, int i) {
  return w.Scripts.Has(i) && ToLower(w.Scripts[i].Name) == kAutoexec;
}

// The first script named autoexec.skr in any letter case, else the last.
int AutoexecIndex(const World& w) {
  int i = 1;
  while (i < w.ScriptCount && !IsAutoexec(w, i)) ++i;
  return i;
}

}  // namespace

ListEntries GameEntries(Engine& e) {
  const World& w = e.world;
  ListEntries entries;
  for (int i = 1; i <= w.GameCount && w.GameList.Has(i); ++i)
    entries.push_back({w.GameList[i], static_cast<int16_t>(i)});
  return entries;
}

ListEntries TitleEntries(Engine&) {
  return {{"New", static_cast<int16_t>(TitleChoice::New)},
          {"Load", static_cast<int16_t>(TitleChoice::Load)},
          {"Quit", static_cast<int16_t>(TitleChoice::Quit)}};
}

// The chosen game's folder becomes current; the start state then finds its
// autoexec.skr and shows the game's own title. A game folder that is a link
// becomes current as the folder it leads to: that folder is the game's own,
// for what it may read and where it saves.
void EnterGame(Engine& e, int16_t game) {
  const World& w = e.world;
  if (game < 1 || game > w.GameCount || !w.GameList.Has(game)) return;
  const fs::path games = ResolvePath(e.ProgramDir, "games").value_or(e.ProgramDir / "games");
  const fs::path folder = games / w.GameList[game];
  std::error_code ec;
  const fs::path real = fs::is_symlink(folder, ec) ? fs::canonical(folder, ec) : folder;
  e.CurrentDir = ec ? folder : real;
  e.win.GameMode = Mode::Start;
}

void LeaveToTitlePicture(Engine& e) {
  e.win.GameMode = Mode::Title;
  e.win.Switsch = switsch::kTitlePicture;
}

void EnterTitleChoice(Engine& e, int16_t choice) {
  switch (static_cast<TitleChoice>(choice)) {
    case TitleChoice::New:
      StartNewGame(e);
      break;
    case TitleChoice::Load:
      e.win.Switsch = switsch::kSlotsOpened;
      Drawlist(e, list::kTitleMenu, false);
      Drawlist(e, list::kLoadSlots, true);
      e.win.GameMode = Mode::SaveList;
      break;
    case TitleChoice::Quit:
      e.CurrentDir = e.ProgramDir;
      e.win.GameMode = Mode::Start;
      break;
  }
}

// Reads the game's scripts, characters and items and starts autoexec.skr.
// The other world tables stay as they are.
void StartNewGame(Engine& e) {
  WindowState& w = e.win;
  w.Wait4Relase = true;
  // The game's own sheets are loaded afresh even when an earlier game used
  // pictures of the same names.
  e.view.KeptTilePic.clear();
  e.view.KeptDoodadPic.clear();
  e.view.KeptUnitPic.clear();
  e.view.KeptItemPic.clear();
  ShowNotice(e, "Loading...");
  e.DoEvents();

  if (!LoadScripts(e)) return LoadFailed(e, "Error: Cannot load scripts!");
  if (!LoadCharacters(e)) return LoadFailed(e, "Error: Cannot load characters!");
  if (!LoadItems(e)) return LoadFailed(e, "Error: Cannot load items!");
  World& wd = e.world;
  if (wd.ScriptCount < 1) return LoadFailed(e, "Error: The game contains no scripts");
  const int start = AutoexecIndex(wd);
  w.SavingActive = true;
  w.FightMode = false;
  if (!IsAutoexec(wd, start)) return LoadFailed(e, "Error: No AUTOEXEC.SKR Found!");
  wd.PlayerDirection = 2;
  w.GameMode = Mode::Map;
  w.FPS = w.FPSLimit;
  // Backbuf stays as it is: a message before the first map stands over
  // the title picture it holds (black when none was shown). The notice and
  // the title menu go.
  CopyView(e.pics.Frontbuf, 0, e.pics.Frontbuf.Height(), e.pics.Backbuf, 0, 0);
  e.view.ScreenCovered = false;
  RunScript(e, kAutoexec);
}

}  // namespace yw
