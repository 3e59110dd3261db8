// The field order of every record the binary files hold, written once:
// the records scripts reach follow their tables (record_fields.h). Each
// function takes either a BinaryReader with a record to fill or a
// BinaryWriter with a record to write, so that reading and writing a format
// can never disagree about it.
#pragma once

#include <type_traits>

#include "world/binary_io.h"
#include "world/record_fields.h"
#include "world/world.h"

namespace yw {

// One field as a binary record holds it.
template <class Io, class Rec>
void StoredField(Io& io, const RecordField<std::remove_const_t<Rec>>& field, Rec& record) {
  WithValue(field, record, [&](auto& v) {
    using V = std::remove_cvref_t<decltype(v)>;
    if constexpr (std::is_same_v<V, int16_t>) {
      io.Integer(v);
    } else if constexpr (std::is_same_v<V, int32_t>) {
      io.Long(v);
    } else if constexpr (std::is_same_v<V, float>) {
      io.Single(v);
    } else if constexpr (std::is_same_v<V, uint8_t>) {
      io.Byte(v);
    } else if constexpr (std::is_same_v<V, bool>) {
      if (field.info.kind == FieldKind::ExactFlag)
        io.ExactFlag(v);
      else
        io.Flag(v);
    } else if constexpr (std::is_same_v<V, std::string>) {
      io.Name(v);
    } else {
      // A time left, already within a Long's range (see SaveState).
      int32_t left = static_cast<int32_t>(v);
      io.Long(left);
      if constexpr (!std::is_const_v<std::remove_reference_t<decltype(v)>>) v = left;
    }
  });
}

// The fields of `record` the binary record holds where `stored` says, in
// the table's order.
template <class Io, class Rec, size_t N>
void StoredFields(Io& io, Rec& record,
                  const std::array<RecordField<std::remove_const_t<Rec>>, N>& table,
                  Stored stored) {
  for (const auto& field : table)
    if (field.info.stored == stored) StoredField(io, field, record);
}

// A record after its NAME (whose length Byte marks the record): its body,
// and for a saved party member's character the fields saved only there.
template <class Io, class Rec, size_t N>
void RecordBody(Io& io, Rec& record,
                const std::array<RecordField<std::remove_const_t<Rec>>, N>& table,
                bool withSavedOnly = false) {
  for (const auto& field : table)
    if (field.info.stored == Stored::Always ||
        (withSavedOnly && field.info.stored == Stored::SavedOnly))
      StoredField(io, field, record);
}

// Tile definition: source x, source y, NEXT.
template <class Io, class T>
void TileDefRecord(Io& io, T& t) {
  RecordBody(io, t, kTileDefFields);
}

// Sprite definition: picture x, y, mask x, y, width, height, NEXT.
template <class Io, class S>
void SpriteDefRecord(Io& io, S& s) {
  RecordBody(io, s, kSpriteDefFields);
}

// A character after its NAME, as the character file and the saved
// character table hold it.
template <class Io, class C>
void CharacterBody(Io& io, C& c) {
  RecordBody(io, c, kCharacterFields);
}

// An item after its NAME.
template <class Io, class I>
void ItemBody(Io& io, I& item) {
  RecordBody(io, item, kItemFields);
}

// A party member after its NAME: its own fields, then its character whole.
// Members saved from version 2 on carry the weapon and armour in use.
template <class Io, class M>
void PartyMemberBody(Io& io, M& m, bool withEquipment) {
  RecordBody(io, m, kPartyMemberFields);
  StoredFields(io, m.character, kCharacterFields, Stored::Lead);
  RecordBody(io, m.character, kCharacterFields, withEquipment);
}

// An event cell: the use script comes before the push script here.
template <class Io, class E>
void EventCellRecord(Io& io, E& cell) {
  RecordBody(io, cell, kEventCellFields);
}

// An NPC as saved; nextTime holds the time left until it, not a clock time.
template <class Io, class N>
void NpcRecord(Io& io, N& n) {
  RecordBody(io, n, kNpcFields);
}

}  // namespace yw
