// The fight rounds: each turn of the FightRound state lets fallen fighters
// leave the scene and new ones enter it, ends the fight when a side is gone
// or the rounds are used up, and otherwise gives the next fighter by
// initiative its turn. Every action is a script that returns here.
#include "sim/fight_rounds.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_menu.h"
#include "render/compose.h"
#include "render/frames.h"
#include "render/surfaces.h"
#include "render/view_state.h"
#include "script/script_engine.h"
#include "sim/actors.h"
#include "sim/sim_states.h"
#include "world/paths.h"
#include "world/rounding.h"

namespace yw {

namespace {

constexpr std::string_view kDeathSound = "death.wav";
constexpr float kLeaveSpeed = 1.0f;
constexpr float kJumpSpeed = 4.0f;
// Directions the two sides face: the party stands on the right looking
// left, the enemies in the middle looking right; each leaves the way it
// came.
constexpr int32_t kPartyFacing = 3, kEnemyFacing = 4;
constexpr int32_t kPartyLeaves = 4, kEnemyLeaves = 3;
// Enemies jump this far onto the scene (and the arc is drawn as for a jump
// twice as long).
constexpr int16_t kEnemyJump = 2;
// Pixels between the pointer hand and the figure it points at, and between
// the fight lists and the enemies.
constexpr int kHandGap = 2;
constexpr int kListGap = 4;
// Characters a line of a fight list shows before it is cut, where the
// screen has room for them.
constexpr int kFightListCells = 12;

bool Alive(const PartyMember& m) { return IsAlive(m.STATE, m.character.HP); }
bool Alive(const Enemy& en) { return IsAlive(en.STATE, en.character.HP); }

struct Scene {
  int16_t perSide = 0;
  int16_t slots() const { return static_cast<int16_t>(2 * perSide); }
  bool PartySlot(int s) const { return s >= 1 && s <= perSide; }
  bool OnScene(int s) const { return s >= 1 && s <= slots(); }
};

// Where a slot's figure waits before it enters: party figures just right
// of the visible area, enemy figures a jump short of their column, from
// the third row down with a free row between two fighters of a side (the
// top rows leave room for tall figures and their numbers).
void PutFigureInWaiting(const Engine& e, const Scene& scene, int s, Npc& npc) {
  const bool party = scene.PartySlot(s);
  const int row = party ? s : s - scene.perSide;
  npc.POS_X =
      static_cast<float>(party ? e.win.ScreenTileWidth + 1 : FightStandsOf(e).enemies - kEnemyJump);
  npc.POS_Y = static_cast<float>(2 * row + 1);
  npc.stepOffsetX = npc.stepOffsetY = 0;
}

Npc NewFigure(const Engine& e, const Scene& scene, int s) {
  Npc npc;
  npc.DIRECTION = scene.PartySlot(s) ? kPartyFacing : kEnemyFacing;
  PutFigureInWaiting(e, scene, s, npc);
  return npc;
}

// Gives the scene its 2R figures, keeping the ones it has.
void SizeScene(Engine& e, const Scene& scene) {
  World& w = e.world;
  if (w.NpcCount == scene.slots()) return;
  const int16_t old = std::min(w.NpcCount, scene.slots());
  w.NpcCount = scene.slots();
  w.Npcs.Resize(w.NpcCount);
  if (w.NpcCount == 0) w.Npcs.Reset();
  for (int s = old + 1; s <= w.NpcCount; ++s) w.Npcs[s] = NewFigure(e, scene, s);
}

Scene CurrentScene(const Engine& e) { return Scene{FightSlotsPerSide(e)}; }

void Leave(Engine& e, int s, int32_t direction) {
  e.world.Npcs[s].actor = ActorOrder{true, direction, kLeaveSpeed, 1, 1, ActorAction::Leave, 0};
  PlaySound(e, kDeathSound);
}

// Fighters who fell, or who stand on the other side's slot, leave.
void Departures(Engine& e, const Scene& scene) {
  World& w = e.world;
  for (int s = 1; s <= scene.slots(); ++s) {
    bool partyLeft = false;
    for (int i = 1; i <= w.PartyCount && w.Party.Has(i); ++i) {
      PartyMember& m = w.Party[i];
      if (m.NPC != s || (Alive(m) && scene.PartySlot(s))) continue;
      m.NPC = 0;
      Leave(e, s, kPartyLeaves);
      partyLeft = true;
    }
    if (partyLeft) continue;
    for (int i = 1; i <= w.EnemyCount && w.Enemies.Has(i); ++i) {
      Enemy& en = w.Enemies[i];
      if (en.NPC != s || (Alive(en) && !scene.PartySlot(s))) continue;
      en.NPC = 0;
      Leave(e, s, kEnemyLeaves);
    }
  }
}

bool Linked(const World& w, int s) {
  for (int i = 1; i <= w.PartyCount && w.Party.Has(i); ++i)
    if (w.Party[i].NPC == s) return true;
  for (int i = 1; i <= w.EnemyCount && w.Enemies.Has(i); ++i)
    if (w.Enemies[i].NPC == s) return true;
  return false;
}

// The first slot of a side that nobody holds and whose figure is idle;
// 0 when the side is full.
int FreeSlot(const World& w, const Scene& scene, bool party) {
  const int first = party ? 1 : scene.perSide + 1;
  const int last = party ? scene.perSide : scene.slots();
  for (int s = first; s <= last; ++s)
    if (!w.Npcs[s].actor.active && !Linked(w, s)) return s;
  return 0;
}

// The character whose sprites show a party member: the first of that name.
int16_t CharacterNamed(const World& w, const std::string& name) {
  for (int16_t i = 1; i <= w.CharacterCount && w.Characters.Has(i); ++i)
    if (w.Characters[i].NAME == name) return i;
  return 0;
}

// Sends a slot's figure jumping onto the scene.
void Enter(Engine& e, const Scene& scene, int s, int16_t character, bool party) {
  Npc& npc = e.world.Npcs[s];
  PutFigureInWaiting(e, scene, s, npc);
  npc.CHAR = character;
  int16_t steps = kEnemyJump;
  if (party && e.world.TileWidth > 0) {
    const int across = e.win.ScreenWidth / e.world.TileWidth;
    steps = static_cast<int16_t>(std::clamp(CLng(npc.POS_X) - (across - 1), 0, INT16_MAX / 2));
  }
  npc.actor = ActorOrder{
      true, npc.DIRECTION, kJumpSpeed, steps, static_cast<int16_t>(2 * steps), ActorAction::Jump,
      0};
}

// Living fighters without a slot take a free one of their side, the
// party first.
void Arrivals(Engine& e, const Scene& scene) {
  World& w = e.world;
  for (int i = 1; i <= w.PartyCount && w.Party.Has(i); ++i) {
    PartyMember& m = w.Party[i];
    if (!Alive(m) || scene.OnScene(m.NPC)) continue;
    const int s = FreeSlot(w, scene, true);
    if (s == 0) break;
    m.NPC = static_cast<int16_t>(s);
    Enter(e, scene, s, CharacterNamed(w, m.character.NAME), true);
  }
  for (int i = 1; i <= w.EnemyCount && w.Enemies.Has(i); ++i) {
    Enemy& en = w.Enemies[i];
    if (!Alive(en) || scene.OnScene(en.NPC)) continue;
    const int s = FreeSlot(w, scene, false);
    if (s == 0) break;
    en.NPC = static_cast<int16_t>(s);
    Enter(e, scene, s, en.CHAR, false);
  }
}

// Entries and exits play as a cut-scene that returns to the fight.
bool PlayMovements(Engine& e) {
  const World& w = e.world;
  bool any = false;
  for (int s = 1; s <= w.NpcCount && w.Npcs.Has(s) && !any; ++s) any = w.Npcs[s].actor.active;
  if (!any) return false;
  e.win.FightAfterMovie = true;
  ShowMovie(e, 0);
  return true;
}

template <class T>
bool AnyAlive(const Table<T>& table, int16_t count) {
  for (int i = 1; i <= count && table.Has(i); ++i)
    if (Alive(table[i])) return true;
  return false;
}

struct Turn {
  bool party = false;
  int16_t index = 0;
};

// The fighter whose turn comes next: among those alive, on the scene and
// not yet acted in this round, the highest INI; a tie is drawn at random.
std::optional<Turn> ChooseFighter(Engine& e) {
  const World& w = e.world;
  std::vector<Turn> eligible;
  std::vector<int16_t> ini;
  const auto onScene = [&w](int16_t npc) { return npc >= 1 && npc <= w.NpcCount; };
  for (int16_t i = 1; i <= w.PartyCount && w.Party.Has(i); ++i) {
    const PartyMember& m = w.Party[i];
    if (!Alive(m) || m.acted || !onScene(m.NPC)) continue;
    eligible.push_back({true, i});
    ini.push_back(m.character.INI);
  }
  for (int16_t i = 1; i <= w.EnemyCount && w.Enemies.Has(i); ++i) {
    const Enemy& en = w.Enemies[i];
    if (!Alive(en) || en.acted || !onScene(en.NPC)) continue;
    eligible.push_back({false, i});
    ini.push_back(en.character.INI);
  }
  if (eligible.empty()) return std::nullopt;
  const int16_t best = *std::max_element(ini.begin(), ini.end());
  const auto count = std::count(ini.begin(), ini.end(), best);
  auto k = static_cast<long>(e.rng.Next() * static_cast<double>(count)) + 1;
  for (size_t j = 0; j < eligible.size(); ++j)
    if (ini[j] == best && --k == 0) return eligible[j];
  return std::nullopt;
}

void StartNewRound(World& w) {
  for (int i = 1; i <= w.PartyCount && w.Party.Has(i); ++i) w.Party[i].acted = false;
  for (int i = 1; i <= w.EnemyCount && w.Enemies.Has(i); ++i) w.Enemies[i].acted = false;
}

// The pointer hand beside a party member's figure, on the shown frame: left
// of it, pointing at it, level with the middle of its picture but never
// higher than the top of its head. A number the member took starts at the
// top of its head and rises from there, so the hand never covers it.
void PointAt(Engine& e, const Npc& figure) {
  const World& w = e.world;
  const Surface& hand = e.pics.HandPic;
  const int handWidth = CInt(hand.Width() / 2.0);
  // The scene's view starts at cell (1, 1); the view's margin is one tile.
  const int cellX = CLng((figure.POS_X - 1) * w.TileWidth - (e.view.BufX - w.TileWidth));
  const int cellY = CLng((figure.POS_Y - 1) * w.TileHeight - (e.view.BufY - w.TileHeight));
  int spriteHeight = w.TileHeight;
  if (w.Characters.Has(figure.CHAR)) {
    const int16_t doo = w.Characters[figure.CHAR].DOODOWN;
    if (doo >= 1 && doo <= w.UnitDefCount && w.UnitFrames.Has(doo))
      spriteHeight = w.UnitFrames[doo].height;
  }
  const int headTop = cellY + w.TileHeight - spriteHeight;
  const int x = cellX - handWidth - kHandGap;
  const int y = headTop + std::max(0, (spriteHeight - hand.Height()) / 2);
  DrawHand(hand, e.pics.Frontbuf, x, y);
}

void PartyMemberTurn(Engine& e, int16_t index) {
  e.world.Party[index].acted = true;
  BufFlip(e);
  PointAtActingMember(e);
  e.Show();
  e.win.GameMode = Mode::Menu;
  Drawlist(e, list::kFightMenu, true);
}

// The fight script of an item the enemy may use, or an empty name.
std::string_view WeaponScript(const World& w, int16_t item) {
  if (item < 1 || item > w.ItemCount || !w.Items.Has(item)) return {};
  return w.Items[item].FIGHTSCRIPT;
}

// An enemy attacks with its weapon or its standard weapon, whichever a
// coin toss tries first and has a fight script.
void EnemyTurn(Engine& e, int16_t index) {
  Enemy& en = e.world.Enemies[index];
  en.acted = true;
  const bool weaponFirst = static_cast<int>(e.rng.Next() * 2) + 1 == 1;
  const int16_t first = weaponFirst ? en.character.WEP : en.character.STDWEP;
  const int16_t second = weaponFirst ? en.character.STDWEP : en.character.WEP;
  std::string script(WeaponScript(e.world, first));
  if (script.empty()) script = WeaponScript(e.world, second);
  e.win.Wait4Relase = true;
  e.win.GameMode = Mode::FightRound;
  e.pics.Extrabuf.Resize(1, 1);
  e.pics.Extrabuf.Clear();
  BufFlip(e);
  RunScript(e, script);
}

}  // namespace

int16_t FightSlotsPerSide(const Engine& e) {
  const int16_t th = e.world.TileHeight;
  if (th <= 0) return 0;
  const int q = CInt(static_cast<double>(e.win.ScreenHeight) / th);
  return static_cast<int16_t>(std::max(0, (q - 2) / 2));
}

FightStands FightStandsOf(const Engine& e) {
  const int tw = e.world.TileWidth, sw = e.win.ScreenWidth;
  if (tw <= 0 || sw <= 0) return {};
  const int across = sw / tw;
  const int party = across - 1;
  // The first column whose left edge lies at or right of the middle, or
  // further right where the left half is too narrow for the lists: they
  // need their window 10 pixels in, its frame and margins, the pointer and
  // a dozen characters.
  const int middle = (sw / 2 + tw - 1) / tw + 1;
  const int fw = std::max<int>(e.win.FontWidth, 1);
  const int listsNeed = 10 + 2 * e.win.Frame.CornerWidth + 2 * fw + e.pics.HandPic.Width() / 2 +
                        kFightListCells * fw + kListGap;
  const int clear = (listsNeed + tw - 1) / tw + 1;
  return {party, std::max(1, std::min(std::max(middle, clear), party - 2))};
}

int FightListsRight(const Engine& e) {
  const int tw = e.world.TileWidth;
  if (tw <= 0) return e.win.ScreenWidth;
  return (FightStandsOf(e).enemies - 1) * tw - kListGap;
}

void PointAtActingMember(Engine& e) {
  const World& w = e.world;
  const int m = e.win.FightDran;
  if (!e.win.FightDranPlayer || m < 1 || m > w.PartyCount || !w.Party.Has(m)) return;
  const int16_t figure = w.Party[m].NPC;
  if (figure >= 1 && figure <= w.NpcCount && w.Npcs.Has(figure)) PointAt(e, w.Npcs[figure]);
}

void PrepareFight(Engine& e) {
  World& w = e.world;
  for (int i = 1; i <= w.PartyCount && w.Party.Has(i); ++i) w.Party[i].NPC = 0;
  for (int i = 1; i <= w.EnemyCount && w.Enemies.Has(i); ++i) w.Enemies[i].NPC = 0;
  StartNewRound(w);
  w.Npcs.Reset();
  w.NpcCount = 0;
  SizeScene(e, CurrentScene(e));
}

void FightRoundFrame(Engine& e) {
  World& w = e.world;
  const Scene scene = CurrentScene(e);
  SizeScene(e, scene);
  Departures(e, scene);
  if (PlayMovements(e)) return;
  Arrivals(e, scene);
  if (PlayMovements(e)) return;
  if (!AnyAlive(w.Party, w.PartyCount) || !AnyAlive(w.Enemies, w.EnemyCount)) {
    e.win.GameMode = Mode::Script;
    return;
  }
  CheckPartyItems(w);
  std::optional<Turn> turn = ChooseFighter(e);
  if (!turn) {
    StartNewRound(w);
    if (e.win.FightRounds == 1) {
      e.win.GameMode = Mode::Script;
      return;
    }
    if (e.win.FightRounds > 1) --e.win.FightRounds;
    turn = ChooseFighter(e);
  }
  if (!turn) {
    // Nobody on the scene can act (a screen too low for any slot): the
    // fight ends instead of waiting forever.
    e.win.GameMode = Mode::Script;
    return;
  }
  e.win.FightDran = turn->index;
  e.win.FightDranPlayer = turn->party;
  if (turn->party)
    PartyMemberTurn(e, turn->index);
  else
    EnemyTurn(e, turn->index);
}

}  // namespace yw
