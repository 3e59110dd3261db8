// The lists of a fight: the fight menu of the member whose turn it is
// (list 15), the items and magic it can use (16, 17), and the chooser of a
// party member as the one who acts or as a target (19).
#include <string>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_kinds.h"
#include "menus/list_menu.h"
#include "menus/list_state.h"
#include "render/compose.h"
#include "render/surfaces.h"
#include "script/script_engine.h"
#include "sim/fight_rounds.h"
#include "sim/turn.h"
#include "world/paths.h"

namespace yw {

namespace {

enum class FightChoice : int16_t { Fight = 1, Item = 2, Magic = 3, Wait = 4 };

constexpr Mode kFightRound = Mode::FightRound;

const PartyMember* Fighter(const Engine& e) {
  const World& w = e.world;
  const int m = e.win.FightDran;
  return m >= 1 && m <= w.PartyCount && w.Party.Has(m) ? &w.Party[m] : nullptr;
}

PictureLine Choice(std::string_view text, FightChoice value) {
  return {nullptr, nullptr, {std::string(text)}, static_cast<int16_t>(value)};
}

// Ends the member's choice and starts the fight script of its action, by
// its name as it stands; the fight round takes over again when the script
// ends. An empty name starts nothing, and the turn is spent.
void StartFightScript(Engine& e, const std::string& script, bool clearDialogs) {
  if (clearDialogs) {
    e.win.Wait4Relase = true;
    e.pics.Extrabuf.Clear();
    e.pics.Extrabuf.Resize(1, 1);
  }
  e.win.GameMode = kFightRound;
  BufFlip(e);
  RunScript(e, script);
}

// The map frame under a fight list, with the pointer over the member whose
// turn it is.
void FightFrame(Engine& e) {
  BufFlip(e);
  PointAtActingMember(e);
}

}  // namespace

// The member's name and condition above the choices; no "Magic" for a
// member without magic points.
PictureList FightMenuLines(Engine& e) {
  PictureList list;
  const PartyMember* m = Fighter(e);
  if (m == nullptr) return list;
  const Character& c = m->character;
  list.heading = {m->NAME, "HP: " + std::to_string(c.HP) + "/" + std::to_string(c.MAXHP),
                  "MP: " + std::to_string(c.MP) + "/" + std::to_string(c.MAXMP)};
  list.lines.push_back(Choice("Fight", FightChoice::Fight));
  list.lines.push_back(Choice("Item", FightChoice::Item));
  if (c.MAXMP != 0) list.lines.push_back(Choice("Magic", FightChoice::Magic));
  list.lines.push_back(Choice("Wait", FightChoice::Wait));
  return list;
}

// A fight lists the same items as the inventory and the magic list.
PictureList FightItemLines(Engine& e) { return InventoryLines(e); }
PictureList FightMagicLines(Engine& e) { return MagicLines(e); }

PictureList ChooserLines(Engine& e) {
  PictureList list;
  list.heading = {e.world.ChoosingUser ? "Who has to do it?:" : "Select target:"};
  for (int m = 1; m <= e.world.PartyCount && e.world.Party.Has(m); ++m)
    list.lines.push_back(MemberBlock(e, m));
  return list;
}

void FightListTurn(Engine& e) {
  if (!e.win.FightMode || e.world.PopupCount <= 0) return;
  const int32_t list = e.lists.CurrentList;
  const bool pointed =
      list == list::kFightMenu || list == list::kFightItems || list == list::kFightMagic;
  if (!pointed && list != list::kMemberChooser) return;
  FrameLimiter(e, e.Now());
  // The scene is drawn afresh, numbers and all (the last one that runs out
  // is dropped by this drawing), then the pointer and the list as they were.
  BufFlip(e);
  if (pointed) PointAtActingMember(e);
  Drawlist(e, list, false);
}

void EnterFightChoice(Engine& e, int16_t choice) {
  switch (static_cast<FightChoice>(choice)) {
    case FightChoice::Fight: {
      // The member strikes with the weapon in use, when it has a fight script.
      const PartyMember* m = Fighter(e);
      const World& w = e.world;
      if (m == nullptr) return;
      const int16_t wep = m->character.WEP;
      if (wep >= 1 && wep <= w.ItemCount && w.Items.Has(wep) &&
          !TrimBlanks(w.Items[wep].FIGHTSCRIPT).empty())
        StartFightScript(e, w.Items[wep].FIGHTSCRIPT, true);
      return;
    }
    // The list replaces the menu on the map.
    case FightChoice::Item:
      FightFrame(e);
      Drawlist(e, list::kFightItems, true);
      return;
    case FightChoice::Magic:
      FightFrame(e);
      Drawlist(e, list::kFightMagic, true);
      return;
    case FightChoice::Wait:
      e.win.GameMode = kFightRound;
      return;
  }
}

void UseFightItem(Engine& e, int16_t item) {
  const World& w = e.world;
  if (item < 1 || item > w.ItemCount || !w.Items.Has(item)) return;
  StartFightScript(e, w.Items[item].FIGHTSCRIPT, false);
}

void BackToFightMenu(Engine& e) {
  FightFrame(e);
  Drawlist(e, list::kFightMenu, true);
}

// The chosen member becomes the one who acts or the target; the script
// that asked carries on.
void EnterChosenMember(Engine& e, int16_t member) {
  if (e.world.ChoosingUser) {
    e.win.FightDran = member;
    e.win.FightDranPlayer = true;
  } else {
    e.world.TargetIndex = member;
    e.world.TargetIsParty = true;
  }
  BufFlip(e);
  e.win.GameMode = Mode::Script;
}

}  // namespace yw
