// Hit points and experience: DAMAGE and AWARD. Both name the fighters they
// affect with a selector word and draw an amount between a minimum and a
// maximum afresh for each of them.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/engine.h"
#include "core/window_state.h"
#include "render/compose.h"
#include "render/dialogs.h"
#include "render/surfaces.h"
#include "script/commands.h"
#include "script/expressions.h"
#include "script/field_access.h"
#include "sim/effects.h"
#include "world/rounding.h"

namespace yw {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// How long a damage number floats above its fighter.
constexpr int32_t kPopupMs = 4000;

// One fighter affected by a command: a party member or an enemy by number.
struct Fighter {
  bool party = true;
  int16_t index = 0;
};

// The fighters a selector names and where the amounts start.
struct Selection {
  std::vector<Fighter> fighters;
  size_t amountsAt = 2;  // parameter number of the minimum
};

int16_t Saturate(int64_t v) {
  return static_cast<int16_t>(std::clamp<int64_t>(v, INT16_MIN, INT16_MAX));
}

bool PartyIndexOk(const World& w, int16_t n) { return n >= 1 && n <= w.PartyCount && w.Party.Has(n); }
bool EnemyIndexOk(const World& w, int16_t n) {
  return n >= 1 && n <= w.EnemyCount && w.Enemies.Has(n);
}

// One fighter by number, checked against its list: a number outside it
// changes nothing and fails with the list's code.
CommandResult One(const World& w, bool party, int16_t n, Selection& s) {
  if (party ? !PartyIndexOk(w, n) : !EnemyIndexOk(w, n))
    return party ? ScriptCode::CharacterNotFound : ScriptCode::EnemyNotFound;
  s.fighters.push_back({party, n});
  return kNextLine;
}

void AllOf(const World& w, bool party, Selection& s) {
  const int16_t count = party ? w.PartyCount : w.EnemyCount;
  for (int16_t i = 1; i <= count; ++i)
    if (party ? w.Party.Has(i) : w.Enemies.Has(i)) s.fighters.push_back({party, i});
}

// Which selector words a command accepts besides TARGET, USER and PARTY.
enum class Command { Damage, Award };

// Reads the selector and checks the parameter count and the numbers it
// names. AWARD refuses a target or a user that is an enemy.
CommandResult Select(CommandContext& c, Command command, Selection& s) {
  if (c.params.size() < 3) return ScriptCode::NotEnoughParameters;
  Engine& e = c.e;
  const World& w = e.world;
  const std::string word = ParamKeyword(c.params[0]);
  const bool damage = command == Command::Damage;
  if (word == "PARTY" || (damage && word == "ENEMY")) {
    if (c.params.size() < 4) return ScriptCode::NotEnoughParameters;
    s.amountsAt = 3;
    return One(w, word == "PARTY", ParamInteger(e, c.params[1]), s);
  }
  if (word == "TARGET") {
    if (!damage && !w.TargetIsParty) return ScriptCode::OnlyPartyEarns;
    return One(w, w.TargetIsParty, w.TargetIndex, s);
  }
  if (word == "USER") {
    if (!damage && !e.win.FightDranPlayer) return ScriptCode::OnlyPartyEarns;
    return One(w, e.win.FightDranPlayer, e.win.FightDran, s);
  }
  if (damage && word == "ALLFOE") AllOf(w, !e.win.FightDranPlayer, s);
  else if (damage && word == "ALLFRIEND") AllOf(w, e.win.FightDranPlayer, s);
  else if (!damage && word == "ALL") AllOf(w, true, s);
  else return ScriptCode::UnknownParameters;
  return kNextLine;
}

// The amounts' range and the optional marker after them. The marker is
// read only when it is the last parameter.
struct Amounts {
  int16_t minimum = 0, maximum = 0;
  bool hasMarker = false;
  std::string marker;
};

Amounts ReadAmounts(CommandContext& c, size_t k) {
  Amounts a;
  a.minimum = ParamInteger(c.e, Param(c.params, k));
  a.maximum = ParamInteger(c.e, Param(c.params, k + 1));
  if (c.params.size() == k + 2) {
    a.hasMarker = true;
    a.marker = ParamKeyword(c.params[k + 1]);
  }
  return a;
}

// A value from minimum to maximum, drawn afresh each time.
int32_t Draw(Engine& e, const Amounts& a) {
  const double span = static_cast<double>(a.maximum) - a.minimum + 1;
  return static_cast<int32_t>(std::floor(span * e.rng.Next() + a.minimum));
}

Character& CharacterOf(World& w, Fighter f) {
  return f.party ? w.Party[f.index].character : w.Enemies[f.index].character;
}

// Height of a unit's sprite facing down, 0 when it has none.
int UnitHeight(const World& w, int16_t doodown) {
  if (doodown < 1 || doodown > w.UnitDefCount || !w.UnitFrames.Has(doodown)) return 0;
  return w.UnitFrames[doodown].height;
}

// Shows how much a fighter's hit points changed, above its figure: in a
// fight above its NPC on the scene, outside one above the player (for a
// party member, while anyone in the party lives).
void PopupFor(Engine& e, Fighter f, int16_t shown) {
  World& w = e.world;
  float x = 0, y = 0;
  int16_t doodown = 0;
  if (e.win.FightMode) {
    const int16_t npc = f.party ? w.Party[f.index].NPC : w.Enemies[f.index].NPC;
    if (npc < 1 || npc > w.NpcCount || !w.Npcs.Has(npc)) return;
    x = w.Npcs[npc].POS_X;
    y = w.Npcs[npc].POS_Y;
    doodown = CharacterOf(w, f).DOODOWN;
  } else {
    if (!f.party) return;
    int leader = 0;
    for (int i = 1; i <= w.PartyCount && w.Party.Has(i) && leader == 0; ++i)
      if (IsAlive(w.Party[i].STATE, w.Party[i].character.HP)) leader = i;
    if (leader == 0) return;
    x = w.PlayerPosX;
    y = w.PlayerPosY;
    doodown = w.Party[leader].character.DOODOWN;
  }
  const int16_t height = CInt(e.pics.DigitPic.Height() / 5.0 + UnitHeight(w, doodown));
  AddPopup(e, shown, static_cast<float>(CInt(x)), static_cast<float>(CInt(y)), kPopupMs, height);
}

// Takes `amount` hit points from a character (a negative amount heals),
// keeping HP within 0..MAXHP; returns what was actually taken.
int32_t TakeHitPoints(Character& c, int32_t amount) {
  const int32_t old = c.HP;
  int32_t hp = old - amount;
  if (hp > c.MAXHP) hp = c.MAXHP;
  else if (hp < 0) hp = 0;
  c.HP = Saturate(hp);
  return old - c.HP;
}

// --- AWARD ---------------------------------------------------------------

// A number as the message shows it: a leading blank for 0 and above.
std::string Signed(int32_t v) {
  std::string text(v >= 0 ? " " : "");
  return text += std::to_string(v);
}

// Multiplies a value by the level factor L / (L - 1), keeping the integer
// part.
int16_t Grow(int16_t v, int level) {
  return Saturate(static_cast<int64_t>(std::floor(v * (static_cast<double>(level) / (level - 1)))));
}

struct Attribute {
  int16_t Character::*field;
  std::string_view label;
};

// The attributes a level-up may raise, in the order they are tried; the
// labels are shown to the player as they are.
constexpr Attribute kAttributes[] = {
    {&Character::WIS, "Wisdom: +"},     {&Character::STR, "Strenght: +"},
    {&Character::DEX, "Dexterity: +"},  {&Character::INI, "Initiative: +"},
    {&Character::CON, "Constitution: +"},
};

// Raises a character from one level to the next: hit points (and magic
// points when it has any) by the level factor, and each attribute that
// loses its contest against `newLevel` by 1 to 5. Returns the lines that
// report the gains, ending with an empty line.
std::string LevelUp(Engine& e, Character& c, int level, int16_t newLevel) {
  std::string lines;
  c.HP = Grow(c.HP, level);
  const int16_t oldMaxHp = c.MAXHP;
  c.MAXHP = Grow(c.MAXHP, level);
  lines += "MaxHP: +" + std::to_string(c.MAXHP - oldMaxHp) + std::string(kLineEnd);
  if (c.MAXMP > 0) {
    c.MP = Grow(c.MP, level);
    const int16_t oldMaxMp = c.MAXMP;
    c.MAXMP = Grow(c.MAXMP, level);
    lines += "MaxMP: +" + std::to_string(c.MAXMP - oldMaxMp) + std::string(kLineEnd);
  }
  for (const Attribute& a : kAttributes) {
    int16_t& value = c.*a.field;
    if (Probe(e, value, newLevel)) continue;
    const int16_t before = value;
    value = Saturate(static_cast<int32_t>(value) + static_cast<int32_t>(e.rng.Next() * 5) + 1);
    lines += std::string(a.label) + std::to_string(value - before) + std::string(kLineEnd);
  }
  lines += kLineEnd;
  return lines;
}

// Gives a party member experience; EP stop at the largest value they can
// hold (and at the smallest for a negative amount). Returns the member's
// part of the message.
std::string Award(Engine& e, PartyMember& m, int32_t amount) {
  Character& c = m.character;
  const int16_t oldLevel = LevelFromEP(c.EP);
  const int16_t oldEp = c.EP;
  c.EP = Saturate(static_cast<int32_t>(c.EP) + amount);
  const int16_t newLevel = LevelFromEP(c.EP);
  std::string levels;
  for (int level = oldLevel + 1; level <= newLevel; ++level) levels += LevelUp(e, c, level, newLevel);
  std::string text = m.NAME + ": +" + Signed(c.EP - oldEp) + "EP" + std::string(kLineEnd);
  if (newLevel > oldLevel)
    text += m.NAME + " reaches Level" + Signed(newLevel) + "!" + std::string(kLineEnd) + levels;
  return text;
}

}  // namespace

CommandResult DamageCommand(CommandContext& c) {
  Selection s;
  if (const CommandResult r = Select(c, Command::Damage, s); r.flow() != CommandResult::Flow::NextLine)
    return r;
  const Amounts a = ReadAmounts(c, s.amountsAt);
  for (const Fighter f : s.fighters) {
    const int32_t taken = TakeHitPoints(CharacterOf(c.e.world, f), Draw(c.e, a));
    if (!a.hasMarker) continue;
    if (a.marker != "POPUP") return ScriptCode::UnknownParameters;
    PopupFor(c.e, f, Saturate(-static_cast<int64_t>(taken)));
  }
  return kNextLine;
}

CommandResult AwardCommand(CommandContext& c) {
  Selection s;
  if (const CommandResult r = Select(c, Command::Award, s); r.flow() != CommandResult::Flow::NextLine)
    return r;
  const Amounts a = ReadAmounts(c, s.amountsAt);
  const bool badMarker = a.hasMarker && a.marker != "MSG";
  std::string message;
  World& w = c.e.world;
  for (const Fighter f : s.fighters) {
    PartyMember& m = w.Party[f.index];
    if (!IsAlive(m.STATE, m.character.HP)) continue;
    message += Award(c.e, m, Draw(c.e, a));
    if (badMarker) return ScriptCode::UnknownParameters;
  }
  if (!a.hasMarker) return kNextLine;
  if (badMarker) return ScriptCode::UnknownParameters;
  ShowMapChange(c.e);
  DrawMsg(c.e, message, Mode::Script);
  return CommandResult::HandBack();
}

}  // namespace yw
