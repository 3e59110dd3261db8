// The field order of every record the binary files hold, written once.
// Each function takes either a BinaryReader with a record to fill or a
// BinaryWriter with a record to write, so that reading and writing a format
// can never disagree about it.
#pragma once

#include <type_traits>

#include "world/binary_io.h"
#include "world/world.h"

namespace yw {

// Tile definition: source x, source y, NEXT.
template <class Io, class T>
void TileDefRecord(Io& io, T& t) {
  io.Integer(t.x);
  io.Integer(t.y);
  io.Integer(t.NEXT);
}

// Sprite definition: picture x, y, mask x, y, width, height, NEXT.
template <class Io, class S>
void SpriteDefRecord(Io& io, S& s) {
  io.Integer(s.picX);
  io.Integer(s.picY);
  io.Integer(s.maskX);
  io.Integer(s.maskY);
  io.Integer(s.width);
  io.Integer(s.height);
  io.Integer(s.NEXT);
}

// The numbers of a character after its NAME. Saved party members carry the
// weapon and armour in use after the standard ones; the character file and
// version 1 saved games do not.
template <class Io, class C>
void CharacterNumbers(Io& io, C& c, bool withEquipment) {
  io.Integer(c.HP);
  io.Integer(c.MAXHP);
  io.Integer(c.MP);
  io.Integer(c.MAXMP);
  io.Integer(c.EP);
  io.Integer(c.STR);
  io.Integer(c.WIS);
  io.Integer(c.CON);
  io.Integer(c.DEX);
  io.Integer(c.INI);
  io.Integer(c.STDWEP);
  if (withEquipment) io.Integer(c.WEP);
  io.Integer(c.STDARM);
  if (withEquipment) io.Integer(c.ARM);
  io.Integer(c.DOODOWN);
  io.Integer(c.DOOLEFT);
  io.Integer(c.DOORIGHT);
  io.Integer(c.DOOUP);
  io.Integer(c.DOODOWNANI);
  io.Integer(c.DOOLEFTANI);
  io.Integer(c.DOORIGHTANI);
  io.Integer(c.DOOUPANI);
}

// A character after its NAME (whose length Byte marks the record).
template <class Io, class C>
void CharacterBody(Io& io, C& c) {
  CharacterNumbers(io, c, false);
}

// An item after its NAME.
template <class Io, class I>
void ItemBody(Io& io, I& item) {
  io.Byte(item.TYPE);
  io.Integer(item.VALUE);
  io.Flag(item.VISIBLE);
  io.Name(item.SCRIPT);
  io.Name(item.FIGHTSCRIPT);
  io.Integer(item.NUMBER);
  io.Integer(item.DOODAD);
}

// A party member after its NAME.
template <class Io, class M>
void PartyMemberBody(Io& io, M& m, bool withEquipment) {
  io.Long(m.STATE);
  io.Name(m.character.NAME);
  CharacterNumbers(io, m.character, withEquipment);
}

// An event cell: the use script comes before the push script here.
template <class Io, class E>
void EventCellRecord(Io& io, E& cell) {
  io.Name(cell.ENTERSCRIPT);
  io.Name(cell.LEAVESCRIPT);
  io.Name(cell.USESCRIPT);
  io.Name(cell.PUSHSCRIPT);
  io.ExactFlag(cell.passable);
  io.ExactFlag(cell.BOX);
}

// An NPC as saved; nextTime holds the time left until it, not a clock time.
template <class Io, class N>
void NpcRecord(Io& io, N& n) {
  io.Single(n.stepOffsetX);
  io.Single(n.stepOffsetY);
  io.Long(n.DIRECTION);
  io.Integer(n.frameCount);
  io.Integer(n.SPEED);
  io.Integer(n.prevFrameCount);
  // The time left, already within a Long's range (see SaveState).
  int32_t left = static_cast<int32_t>(n.nextTime);
  io.Long(left);
  if constexpr (!std::is_const_v<N>) n.nextTime = left;
  io.Single(n.POS_X);
  io.Single(n.POS_Y);
  io.Name(n.SCRIPT);
  io.Integer(n.CHAR);
}

}  // namespace yw
