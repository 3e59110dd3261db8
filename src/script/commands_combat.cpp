// Staging a fight: FIGHTINIT, ADDENEMY, FIGHTSTART and FIGHTEND, and the
// choice of targets and users: SELECTTARGET and SELECTUSER.
#include <algorithm>
#include <limits>
#include <vector>

#include "core/engine.h"
#include "core/game_names.h"
#include "core/window_state.h"
#include "menus/list_menu.h"
#include "render/compose.h"
#include "render/pictures.h"
#include "script/commands.h"
#include "sim/actors.h"
#include "sim/fight_rounds.h"
#include "sim/game_files.h"
#include "world/paths.h"

namespace yw {

namespace {

// The fight snapshot: the world as it was before the fight.
constexpr std::string_view kSnapshotFile = "temp.tmp";
constexpr std::string_view kSnapshotDescription = "FightTemp";

// The main loop's key state: what the last poll saw and whether keys must
// first be let go.
struct HeldKeys {
  bool enabled = true;
  int32_t key = 0, lastKey = 0;
  bool waitForRelease = false;

  static HeldKeys Of(const WindowState& w) {
    return {w.KeyEnabled, w.Key, w.LastKey, w.Wait4Relase};
  }
  void Restore(WindowState& w) const {
    w.KeyEnabled = enabled;
    w.Key = key;
    w.LastKey = lastKey;
    w.Wait4Relase = waitForRelease;
  }
};

bool OnScene(const World& w, int16_t npc) { return npc >= 1 && npc <= w.NpcCount; }

void EmptyNpcsAndEnemies(World& w) {
  w.Npcs.Reset();
  w.NpcCount = 0;
  w.Enemies.Reset();
  w.EnemyCount = 0;
}

// An enemy's turn: it picks a target at random from its own point of view,
// FOE among the party and FRIEND among the enemies, taking only fighters
// on the scene. With nobody there the target stays as it was.
CommandResult EnemyChoosesTarget(Engine& e, std::string_view word) {
  World& w = e.world;
  const bool foe = word == "FOE";
  if (!foe && word != "FRIEND") return ScriptCode::UnknownParameters;
  std::vector<int16_t> candidates;
  if (foe) {
    for (int16_t i = 1; i <= w.PartyCount && w.Party.Has(i); ++i)
      if (OnScene(w, w.Party[i].NPC)) candidates.push_back(i);
  } else {
    for (int16_t i = 1; i <= w.EnemyCount && w.Enemies.Has(i); ++i)
      if (OnScene(w, w.Enemies[i].NPC)) candidates.push_back(i);
  }
  if (candidates.empty()) return kNextLine;
  const auto r = static_cast<size_t>(e.rng.Next() * static_cast<double>(candidates.size()));
  w.TargetIndex = candidates[std::min(r, candidates.size() - 1)];
  w.TargetIsParty = foe;
  return kNextLine;
}

// The player chooses: a party member from the chooser, or an enemy on the
// scene with the pointer.
CommandResult PlayerChoosesTarget(Engine& e, std::string_view word) {
  World& w = e.world;
  if (word == "FRIEND") {
    w.ChoosingUser = false;
    e.win.GameMode = Mode::Menu;
    ShowMapChange(e);
    Drawlist(e, list::kMemberChooser, true);
    return CommandResult::HandBack();
  }
  if (word != "FOE") return ScriptCode::UnknownParameters;
  bool any = false;
  for (int i = 1; i <= w.EnemyCount && w.Enemies.Has(i) && !any; ++i)
    any = OnScene(w, w.Enemies[i].NPC);
  if (!any) return ScriptCode::NothingToSelect;
  e.win.GameMode = Mode::TargetChoice;
  Drawlist(e, list::kEnemyChooser, true);
  return CommandResult::HandBack();
}

}  // namespace

CommandResult FightInitCommand(CommandContext& c) {
  if (c.params.empty()) return ScriptCode::NotEnoughParameters;
  Engine& e = c.e;
  if (!SaveState(e, kSnapshotFile, kSnapshotDescription)) return ScriptCode::TempFileNotWritten;
  const std::string map = ParamText(e, c.params[0]);
  if (TrimBlanks(map).empty() || !GameFileExists(e, map)) return ScriptCode::MapNotFound;
  if (!LoadMapFile(e, map, true)) return ScriptCode::MapLoadFailed;
  EmptyNpcsAndEnemies(e.world);
  e.win.FightMode = true;
  LoadPix(e, 1);
  ResetFrames(e.world);
  StepFrames(e.world, FrameFamily::All);
  ResetBufDelta(e);
  BackbufUpdate(e, false, true);
  BufFlip(e);
  return kNextLine;
}

CommandResult AddEnemyCommand(CommandContext& c) {
  if (c.params.empty()) return ScriptCode::NotEnoughParameters;
  World& w = c.e.world;
  if (!c.e.win.FightMode) return ScriptCode::FightNotInitialized;
  const int16_t n = ParamInteger(c.e, c.params[0]);
  if (n < 1 || n > w.CharacterCount || !w.Characters.Has(n)) return ScriptCode::CharacterNotFound;
  if (w.EnemyCount == std::numeric_limits<int16_t>::max()) return kNextLine;
  Enemy enemy;
  enemy.character = w.Characters[n];
  enemy.STATE = 1;
  enemy.character.WEP = enemy.character.STDWEP;
  enemy.character.ARM = enemy.character.STDARM;
  enemy.CHAR = n;
  ++w.EnemyCount;
  w.Enemies.Resize(w.EnemyCount);
  w.Enemies[w.EnemyCount] = enemy;
  return kNextLine;
}

CommandResult FightStartCommand(CommandContext& c) {
  Engine& e = c.e;
  const int16_t rounds = c.params.empty() ? int16_t{0} : ParamInteger(e, c.params[0]);
  PrepareFight(e);
  e.win.FightAfterMovie = true;
  e.win.FightRounds = rounds;
  ShowMovie(e, 0);
  return CommandResult::HandBack();
}

CommandResult FightEndCommand(CommandContext& c) {
  Engine& e = c.e;
  e.win.FightMode = false;
  EmptyNpcsAndEnemies(e.world);
  // The fight's floating numbers stood over its scene, not over the map.
  e.world.Popups.Reset();
  e.world.PopupCount = 0;
  // The keys stay as they are now. The snapshot's keys are those of the
  // moment the fight began, usually all up; taken back, they would report
  // the key still held from the fight's last choice as a new press and
  // close the first message after the fight at once.
  const HeldKeys keys = HeldKeys::Of(e.win);
  const bool loaded = LoadState(e, kSnapshotFile, true);
  keys.Restore(e.win);
  if (!loaded) return ScriptCode::TempFileNotRead;
  for (int i = 1; i <= e.world.PartyCount && e.world.Party.Has(i); ++i) e.world.Party[i].NPC = 0;
  return kNextLine;
}

CommandResult SelectTargetCommand(CommandContext& c) {
  if (c.params.empty()) return ScriptCode::NotEnoughParameters;
  Engine& e = c.e;
  const std::string word = ParamKeyword(c.params[0]);
  const int16_t dran = e.win.FightDran;
  if (e.win.FightMode && !e.win.FightDranPlayer) {
    if (dran < 0 || dran > e.world.EnemyCount) return ScriptCode::NoItemUser;
    return EnemyChoosesTarget(e, word);
  }
  if (e.win.FightMode && (dran < 0 || dran > e.world.PartyCount)) return ScriptCode::NoItemUser;
  return PlayerChoosesTarget(e, word);
}

CommandResult SelectUserCommand(CommandContext& c) {
  Engine& e = c.e;
  // In a fight the user is always the fighter whose turn it is.
  if (e.win.FightMode) return kNextLine;
  e.world.ChoosingUser = true;
  e.win.GameMode = Mode::Menu;
  ShowMapChange(e);
  Drawlist(e, list::kMemberChooser, true);
  return CommandResult::HandBack();
}

}  // namespace yw
