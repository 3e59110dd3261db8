// The party menus under the main menu: the team (list 6), the member menu
// (7), the inventory and magic (9, 10), the weapons and armour a member can
// take (11, 12) and the member's equipment (13).
#include <string>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_kinds.h"
#include "menus/list_menu.h"
#include "menus/list_state.h"
#include "render/compose.h"
#include "render/surfaces.h"
#include "script/field_access.h"
#include "script/script_engine.h"

namespace yw {

namespace {

enum class MemberChoice : int16_t { Equip = 1, Stats = 2 };
enum class EquipSlot : int16_t { Weapon = 1, Armour = 2 };

constexpr uint8_t kItemMagic = 2;

bool ValidMember(const World& w, int member) {
  return member >= 1 && member <= w.PartyCount && w.Party.Has(member);
}

bool ValidItem(const World& w, int item) {
  return item >= 1 && item <= w.ItemCount && w.Items.Has(item);
}

const SpriteDef* ItemSprite(const World& w, int16_t doodad) {
  if (doodad < 1 || doodad > w.ItemDefCount) return nullptr;
  return w.ItemFrames.Find(doodad);
}

// Items the inventory or the magic list shows: visible and carried.
PictureList CarriedItems(Engine& e, bool magic) {
  const World& w = e.world;
  PictureList list;
  for (int i = 1; i <= w.ItemCount && w.Items.Has(i); ++i) {
    const Item& item = w.Items[i];
    if (item.VISIBLE && item.NUMBER > 0 && (item.TYPE == kItemMagic) == magic)
      list.lines.push_back(ItemLine(e, i, item.NUMBER));
  }
  return list;
}

// Items of one TYPE that are free to be taken: carried and not worn by
// every carried piece already.
PictureList FreeItems(Engine& e, uint8_t type) {
  const World& w = e.world;
  PictureList list;
  for (int i = 1; i <= w.ItemCount && w.Items.Has(i); ++i) {
    const Item& item = w.Items[i];
    const int16_t count = ItmCount(w, i);
    if (item.VISIBLE && item.TYPE == type && count > 0) list.lines.push_back(ItemLine(e, i, count));
  }
  return list;
}

// The equipment screen's line: the label and the worn item's picture and
// NAME (the label alone for an item number out of range).
PictureLine WornLine(Engine& e, std::string_view label, int16_t item, EquipSlot slot) {
  const World& w = e.world;
  PictureLine line{&e.pics.ItemDoo, nullptr, {std::string(label)}, static_cast<int16_t>(slot)};
  if (ValidItem(w, item)) {
    line.sprite = ItemSprite(w, w.Items[item].DOODAD);
    line.texts[0] += " " + w.Items[item].NAME;
  }
  return line;
}

void Equip(Engine& e, int16_t item, bool weapon) {
  World& w = e.world;
  const int member = e.lists.ListMember;
  if (ValidMember(w, member) && ValidItem(w, item)) {
    Character& c = w.Party[member].character;
    (weapon ? c.WEP : c.ARM) = item;
  }
  CheckPartyItems(w);
  BufFlip(e);
  Drawlist(e, list::kEquipment, true);
}

}  // namespace

std::vector<std::string> MemberBlockTexts(const PartyMember& m) {
  const Character& c = m.character;
  auto n = [](int v) { return std::to_string(v); };
  return {m.NAME + " EP:" + n(c.EP) + "(L" + n(LevelFromEP(c.EP)) + ")",
          "HP:" + n(c.HP) + "/" + n(c.MAXHP) + " MP:" + n(c.MP) + "/" + n(c.MAXMP)};
}

// The block shows the member facing the player, as it stands still.
PictureLine MemberBlock(Engine& e, int member) {
  const World& w = e.world;
  const PartyMember& m = w.Party[member];
  const int16_t frame = m.character.DOODOWN;
  const SpriteDef* sprite =
      frame >= 1 && frame <= w.UnitDefCount ? w.UnitFrames.Find(frame) : nullptr;
  return {&e.pics.UnitDoo, sprite, MemberBlockTexts(m), static_cast<int16_t>(member)};
}

PictureLine ItemLine(Engine& e, int item, int16_t count) {
  const Item& it = e.world.Items[item];
  return {&e.pics.ItemDoo,
          ItemSprite(e.world, it.DOODAD),
          {it.NAME + " x " + std::to_string(count)},
          static_cast<int16_t>(item)};
}

PictureList TeamLines(Engine& e) {
  PictureList list;
  for (int m = 1; m <= e.world.PartyCount && e.world.Party.Has(m); ++m)
    list.lines.push_back(MemberBlock(e, m));
  return list;
}

// Both lines carry the member; the line chosen says what to do.
ListEntries MemberMenuEntries(Engine& e) {
  const int16_t member = e.lists.ListMember;
  return {{"Equip", member}, {"Stats", member}};
}

PictureList InventoryLines(Engine& e) { return CarriedItems(e, false); }
PictureList MagicLines(Engine& e) { return CarriedItems(e, true); }
PictureList WeaponLines(Engine& e) { return FreeItems(e, kItemWeapon); }
PictureList ArmourLines(Engine& e) { return FreeItems(e, kItemArmour); }

PictureList EquipmentLines(Engine& e) {
  PictureList list;
  list.alignText = true;
  const World& w = e.world;
  if (!ValidMember(w, e.lists.ListMember)) return list;
  const Character& c = w.Party[e.lists.ListMember].character;
  list.lines.push_back(WornLine(e, "Weapon:", c.WEP, EquipSlot::Weapon));
  list.lines.push_back(WornLine(e, "Armor:", c.ARM, EquipSlot::Armour));
  return list;
}

void EnterTeamMember(Engine& e, int16_t member) {
  e.lists.ListMember = member;
  BufFlip(e);
  Drawlist(e, list::kMemberMenu, true);
}

void EnterMemberMenuChoice(Engine& e, int16_t member) {
  e.lists.ListMember = member;
  if (static_cast<MemberChoice>(e.lists.ListCursor) == MemberChoice::Equip) {
    CheckPartyItems(e.world);
    BufFlip(e);
    Drawlist(e, list::kEquipment, true);
  } else {
    Drawlist(e, list::kStatistics, true);
  }
}

void BackToTeam(Engine& e) {
  BufFlip(e);
  Drawlist(e, list::kTeam, true);
}

// An item with a SCRIPT is used by running it on the map; the menus close.
void UseItem(Engine& e, int16_t item) {
  World& w = e.world;
  if (!ValidItem(w, item) || w.Items[item].SCRIPT.empty()) return;
  const std::string script = w.Items[item].SCRIPT;
  e.win.Wait4Relase = true;
  e.win.GameMode = Mode::Map;
  e.pics.Extrabuf.Clear();
  e.pics.Extrabuf.Resize(1, 1);
  BufFlip(e);
  RunScript(e, script);
}

void EnterEquipSlot(Engine& e, int16_t slot) {
  BufFlip(e);
  Drawlist(e, static_cast<EquipSlot>(slot) == EquipSlot::Weapon ? 11 : 12, true);
}

void EquipWeapon(Engine& e, int16_t item) { Equip(e, item, true); }
void EquipArmour(Engine& e, int16_t item) { Equip(e, item, false); }

void BackToEquipment(Engine& e) {
  BufFlip(e);
  Drawlist(e, list::kEquipment, true);
}

}  // namespace yw
