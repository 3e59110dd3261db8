#include "world/world.h"

namespace yw {

void InitWorld(World& w) {
  w.Characters.Reset();
  w.CharacterCount = 0;
  w.UnitDefs.Reset();
  w.UnitFrames.Reset();
  w.UnitDefCount = 0;
  w.Items.Reset();
  w.ItemCount = 0;
  w.ItemDefs.Reset();
  w.ItemFrames.Reset();
  w.ItemDefCount = 0;
  w.Party.Reset();
  w.PartyCount = 0;
  w.Enemies.Reset();
  w.EnemyCount = 0;
  w.Npcs.Reset();
  w.NpcCount = 0;
  w.TileDefs.Reset();
  w.TileFrames.Reset();
  w.TileDefCount = 0;
  w.DoodadDefs.Reset();
  w.DoodadFrames.Reset();
  w.DoodadDefCount = 0;
  w.ScriptStack.Reset();
  w.ScriptDepth = 0;
  w.Voodoos.Reset();
  w.VoodooCount = 0;
  w.Popups.Reset();
  w.PopupCount = 0;
  w.UserList.Reset();
  w.UserListCount = 0;
  w.MapTiles.Reset(1, 1);
  w.DoodadLinks.Clear();
  w.MapEvents.Clear();
  w.MapWidth = w.MapHeight = 0;
  w.TileWidth = w.TileHeight = 0;
  w.UnitPicture.clear();
  w.UnitDoodadmapFile.clear();
  w.ItemPicture.clear();
  w.ItemDoodadmapFile.clear();
  w.DoodadPicture.clear();
  w.TilePicture.clear();
  w.MapFile.clear();
  w.TilemapFile.clear();
  w.DoodadmapFile.clear();
  w.GameCount = 0;
  w.ListItemVal = 0;
}

namespace {

template <class Def>
void CopyFrames(const Table<Def>& defs, Table<Def>& frames, int count) {
  if (count < 1) return;
  frames.Resize(count);
  for (int i = 1; i <= count && defs.Has(i); ++i) frames[i] = defs[i];
}

// Every frame whose NEXT names a definition in 1..count becomes a copy of
// that definition; the others keep their content.
template <class Def>
void StepFamily(const Table<Def>& defs, Table<Def>& frames, int count) {
  for (int i = 1; i <= count && frames.Has(i); ++i) {
    const int next = frames[i].NEXT;
    if (next > 0 && next <= count && defs.Has(next)) frames[i] = defs[next];
  }
}

}  // namespace

void ResetFrames(World& w) {
  CopyFrames(w.TileDefs, w.TileFrames, w.TileDefCount);
  CopyFrames(w.DoodadDefs, w.DoodadFrames, w.DoodadDefCount);
  CopyFrames(w.UnitDefs, w.UnitFrames, w.UnitDefCount);
  CopyFrames(w.ItemDefs, w.ItemFrames, w.ItemDefCount);
}

void StepFrames(World& w, FrameFamily kind) {
  const bool all = kind == FrameFamily::All;
  if (all || kind == FrameFamily::Tiles || kind == FrameFamily::Map)
    StepFamily(w.TileDefs, w.TileFrames, w.TileDefCount);
  if (all || kind == FrameFamily::Doodads || kind == FrameFamily::Map)
    StepFamily(w.DoodadDefs, w.DoodadFrames, w.DoodadDefCount);
  if (all || kind == FrameFamily::Units) {
    StepFamily(w.UnitDefs, w.UnitFrames, w.UnitDefCount);
    switch (w.UnitPhase) {
      case 1: w.UnitPhase = 3; break;
      case 3: w.UnitPhase = 2; break;
      case 2: w.UnitPhase = 4; break;
      default: w.UnitPhase = 1; break;
    }
  }
  if (all || kind == FrameFamily::Items) StepFamily(w.ItemDefs, w.ItemFrames, w.ItemDefCount);
}

int16_t ItmCount(const World& w, int wepIndex) {
  if (wepIndex < 1 || wepIndex > w.ItemCount || !w.Items.Has(wepIndex)) return -1;
  const Item& item = w.Items[wepIndex];
  int count = item.NUMBER;
  if (item.TYPE == kItemWeapon || item.TYPE == kItemArmour) {
    for (int m = 1; m <= w.PartyCount && w.Party.Has(m); ++m) {
      const Character& c = w.Party[m].character;
      if (item.TYPE == kItemWeapon && c.WEP == wepIndex && c.STDWEP != wepIndex) --count;
      if (item.TYPE == kItemArmour && c.ARM == wepIndex && c.STDARM != wepIndex) --count;
    }
  }
  return static_cast<int16_t>(count);
}

void CheckPartyItems(World& w) {
  auto visible = [&](int i) { return w.Items.Has(i) && w.Items[i].VISIBLE; };
  for (int m = 1; m <= w.PartyCount && w.Party.Has(m); ++m) {
    Character& c = w.Party[m].character;
    if (c.WEP != c.STDWEP && (ItmCount(w, c.WEP) < 0 || !visible(c.WEP))) c.WEP = c.STDWEP;
    if (c.ARM != c.STDARM && (ItmCount(w, c.ARM) < 0 || !visible(c.ARM))) c.ARM = c.STDARM;
  }
}

}  // namespace yw
