// The fields of every record that scripts, the binary files, the state
// dump and the authoring tool's JSON sources name, each listed once: its
// name, where it lives in the record, how the files store it, what
// scripts may do with it and a line saying what it means. The readers and
// writers of the binary records (record_layouts.h), CHANGE and [data ...],
// the state dump, the authoring tool's JSON and its linter all walk these
// tables, so that a field cannot be spelled differently in one of them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/clock.h"
#include "world/event_cells.h"
#include "world/world.h"

namespace yw {

// How a field's value is held: the width of a number in the files and in
// the world, or a text. TimeLeft is a clock time saved as the time left
// until it, in a Long.
enum class FieldKind : uint8_t { Integer, Long, Single, Byte, Flag, ExactFlag, Name, TimeLeft };

// Where the binary records hold a field.
enum class Stored : uint8_t {
  Lead,       // the record's NAME, read before the rest; its length byte marks the record
  Always,     // in the record's body, in the table's order
  SavedOnly,  // in saved party members only (saved games from version 2 on)
  Never,      // not in these records (held elsewhere in a file, or only while the game runs)
};

// What scripts may do with a field: [data ...] reads it, CHANGE writes it.
enum class Access : uint8_t { None, Read, Write };

// The rule CHANGE restores after a write: HP at most MAXHP, MP at most MAXMP.
enum class Cap : uint8_t { None, HitPoints, MagicPoints };

// A field scripts read that no record holds: worked out when it is read.
enum class Derived : uint8_t {
  Level,            // the level reached with the fighter's EP
  CharacterNumber,  // the first character named as the fighter's character
  FirstNpc,         // the first NPC standing exactly on the map cell
  CharacterName,    // the NAME of the fighter's character (read only)
};

// What a field is, whatever record holds it.
struct FieldInfo {
  std::string_view name;
  FieldKind kind = FieldKind::Integer;
  Stored stored = Stored::Always;
  Access access = Access::Write;
  bool dumped = true;  // in the state dump
  Cap cap = Cap::None;
  bool negated = false;      // scripts read and write the flag's negation
  bool namesScript = false;  // its text is the name of a script
  bool selfByDefault = false;  // a source that leaves it out means the record's own number
  std::string_view about;

  constexpr bool IsText() const { return kind == FieldKind::Name; }
};

// The whole numbers a field of this kind holds (CHANGE limits a value to
// them, the authoring tool checks its sources against them); nullopt for a
// text or a Single.
struct FieldRange {
  int64_t lo = 0, hi = 0;
};
constexpr std::optional<FieldRange> WholeRange(FieldKind kind) {
  switch (kind) {
    case FieldKind::Integer:
      return FieldRange{INT16_MIN, INT16_MAX};
    case FieldKind::Long:
    case FieldKind::TimeLeft:
      return FieldRange{INT32_MIN, INT32_MAX};
    case FieldKind::Byte:
      return FieldRange{0, 255};
    case FieldKind::Flag:
    case FieldKind::ExactFlag:
      return FieldRange{0, 1};
    case FieldKind::Single:
    case FieldKind::Name:
      return std::nullopt;
  }
  return std::nullopt;
}

// Where a field of record R lives: a member, or worked out (Derived).
template <class R>
using FieldMember = std::variant<Derived, int16_t R::*, int32_t R::*, float R::*, uint8_t R::*,
                                 bool R::*, std::string R::*, Millis R::*>;

template <class M>
constexpr FieldKind KindOfMember() {
  if constexpr (std::is_same_v<M, int16_t>)
    return FieldKind::Integer;
  else if constexpr (std::is_same_v<M, int32_t>)
    return FieldKind::Long;
  else if constexpr (std::is_same_v<M, float>)
    return FieldKind::Single;
  else if constexpr (std::is_same_v<M, uint8_t>)
    return FieldKind::Byte;
  else if constexpr (std::is_same_v<M, bool>)
    return FieldKind::Flag;
  else if constexpr (std::is_same_v<M, std::string>)
    return FieldKind::Name;
  else
    return FieldKind::TimeLeft;
}

// One field of record R. The defaults: stored in the record's body,
// written by CHANGE, dumped; the modifiers below say otherwise.
template <class R>
struct RecordField {
  FieldInfo info;
  FieldMember<R> member;

  constexpr RecordField Lead() const {
    return With([](FieldInfo& i) { i.stored = Stored::Lead; });
  }
  constexpr RecordField SavedOnly() const {
    return With([](FieldInfo& i) { i.stored = Stored::SavedOnly; });
  }
  constexpr RecordField Unstored() const {
    return With([](FieldInfo& i) { i.stored = Stored::Never; });
  }
  constexpr RecordField ReadOnly() const {
    return With([](FieldInfo& i) { i.access = Access::Read; });
  }
  // Kept in the files but out of the scripts' and the dump's reach.
  constexpr RecordField Internal() const {
    return With([](FieldInfo& i) {
      i.access = Access::None;
      i.dumped = false;
    });
  }
  // In the dump only.
  constexpr RecordField DumpOnly() const {
    return With([](FieldInfo& i) {
      i.access = Access::None;
      i.stored = Stored::Never;
    });
  }
  constexpr RecordField Capped(Cap cap) const {
    return With([cap](FieldInfo& i) { i.cap = cap; });
  }
  constexpr RecordField Negated() const {
    return With([](FieldInfo& i) { i.negated = true; });
  }
  // A flag the files hold as exactly 0 or 1.
  constexpr RecordField Exact() const {
    return With([](FieldInfo& i) { i.kind = FieldKind::ExactFlag; });
  }
  constexpr RecordField Script() const {
    return With([](FieldInfo& i) { i.namesScript = true; });
  }
  constexpr RecordField SelfByDefault() const {
    return With([](FieldInfo& i) { i.selfByDefault = true; });
  }

 private:
  template <class F>
  constexpr RecordField With(F change) const {
    RecordField copy = *this;
    change(copy.info);
    return copy;
  }
};

// A field held in member `m` of R.
template <class R, class M>
constexpr RecordField<R> Field(std::string_view name, M R::*m, std::string_view about) {
  FieldInfo info;
  info.name = name;
  info.kind = KindOfMember<M>();
  info.about = about;
  return {info, FieldMember<R>{m}};
}

// A field scripts read that no record holds.
template <class R>
constexpr RecordField<R> DerivedField(std::string_view name, Derived how, FieldKind kind,
                                      std::string_view about) {
  FieldInfo info;
  info.name = name;
  info.kind = kind;
  info.stored = Stored::Never;
  info.access = Access::Read;
  info.dumped = false;
  info.about = about;
  return {info, FieldMember<R>{how}};
}

// --- The tables, each in the order its binary record holds the fields --------

inline constexpr std::array kCharacterFields{
    Field("NAME", &Character::NAME, "the name shown").Lead(),
    Field("HP", &Character::HP, "hit points; at most MAXHP").Capped(Cap::HitPoints),
    Field("MAXHP", &Character::MAXHP, "the most hit points").Capped(Cap::HitPoints),
    Field("MP", &Character::MP, "magic points; at most MAXMP").Capped(Cap::MagicPoints),
    Field("MAXMP", &Character::MAXMP, "the most magic points").Capped(Cap::MagicPoints),
    Field("EP", &Character::EP, "experience points; the level follows from them"),
    Field("STR", &Character::STR, "strength"),
    Field("WIS", &Character::WIS, "wisdom"),
    Field("CON", &Character::CON, "constitution"),
    Field("DEX", &Character::DEX, "dexterity"),
    Field("INI", &Character::INI, "initiative"),
    Field("STDWEP", &Character::STDWEP, "standard weapon: an item number"),
    Field("WEP", &Character::WEP, "weapon in use: an item number, 0 none").SavedOnly(),
    Field("STDARM", &Character::STDARM, "standard armour: an item number"),
    Field("ARM", &Character::ARM, "armour in use: an item number, 0 none").SavedOnly(),
    Field("DOODOWN", &Character::DOODOWN, "unit sprite facing down"),
    Field("DOOLEFT", &Character::DOOLEFT, "unit sprite facing left"),
    Field("DOORIGHT", &Character::DOORIGHT, "unit sprite facing right"),
    Field("DOOUP", &Character::DOOUP, "unit sprite facing up"),
    Field("DOODOWNANI", &Character::DOODOWNANI, "unit sprite of the walk facing down"),
    Field("DOOLEFTANI", &Character::DOOLEFTANI, "unit sprite of the walk facing left"),
    Field("DOORIGHTANI", &Character::DOORIGHTANI, "unit sprite of the walk facing right"),
    Field("DOOUPANI", &Character::DOOUPANI, "unit sprite of the walk facing up"),
};

inline constexpr std::array kItemFields{
    Field("NAME", &Item::NAME, "the name shown").Lead(),
    Field("TYPE", &Item::TYPE, "kind: 1 weapon, 3 armour, others for the menus"),
    Field("VALUE", &Item::VALUE, "the item's value"),
    Field("VISIBLE", &Item::VISIBLE, "shown in the lists; an unseen item cannot stay in use"),
    Field("SCRIPT", &Item::SCRIPT, "the script run when the item is used").Script(),
    Field("FIGHTSCRIPT", &Item::FIGHTSCRIPT, "the script run when it is used in a fight").Script(),
    Field("NUMBER", &Item::NUMBER, "how many the party carries"),
    Field("DOODAD", &Item::DOODAD, "item sprite"),
};

// A party member's own fields; its character's follow (kCharacterFields),
// which a saved member holds after STATE, from the character's NAME on.
inline constexpr std::array kPartyMemberFields{
    Field("NAME", &PartyMember::NAME, "the member's own name, the character's when it joined")
        .Lead(),
    Field("STATE", &PartyMember::STATE, "condition: 0 absent or unable, 1 on joining"),
    Field("NPC", &PartyMember::NPC, "the NPC that shows the member on the fight map, 0 none")
        .Unstored(),
    DerivedField<PartyMember>("LEVEL", Derived::Level, FieldKind::Integer,
                              "the level reached with EP"),
    DerivedField<PartyMember>("CHAR", Derived::CharacterNumber, FieldKind::Integer,
                              "the first character of the member's character's NAME"),
    Field("acted", &PartyMember::acted, "has had its turn in the fight round").DumpOnly(),
};

// An enemy's own fields; its character's follow (kCharacterFields).
// Scripts read CHAR as the first character of the enemy's NAME; the dump
// shows the character it was made from.
inline constexpr std::array kEnemyFields{
    DerivedField<Enemy>("NAME", Derived::CharacterName, FieldKind::Name,
                        "its character's NAME; cannot be changed"),
    Field("STATE", &Enemy::STATE, "condition: 0 absent or unable, 1 on being added").Unstored(),
    Field("NPC", &Enemy::NPC, "the NPC that shows the enemy on the fight map, 0 none").Unstored(),
    DerivedField<Enemy>("CHAR", Derived::CharacterNumber, FieldKind::Integer,
                        "the first character of the enemy's NAME"),
    Field("acted", &Enemy::acted, "has had its turn in the fight round").DumpOnly(),
    Field("CHAR", &Enemy::CHAR, "the character it was made from").DumpOnly(),
};

// An NPC as saved.
inline constexpr std::array kNpcFields{
    Field("stepOffsetX", &Npc::stepOffsetX, "pixels the figure lags behind its cell").Internal(),
    Field("stepOffsetY", &Npc::stepOffsetY, "pixels the figure lags behind its cell").Internal(),
    Field("DIRECTION", &Npc::DIRECTION, "facing: 1 up, 2 down, 3 left, 4 right"),
    Field("frameCount", &Npc::frameCount, "frames drawn in the running step").Internal(),
    Field("SPEED", &Npc::SPEED, "how it wanders"),
    Field("prevFrameCount", &Npc::prevFrameCount, "frames drawn in the step before").Internal(),
    Field("nextTime", &Npc::nextTime, "the end of the running step or the next decision")
        .Internal(),
    Field("POS_X", &Npc::POS_X, "position x in cells"),
    Field("POS_Y", &Npc::POS_Y, "position y in cells"),
    Field("SCRIPT", &Npc::SCRIPT, "the script run when the player uses the NPC").Script(),
    Field("CHAR", &Npc::CHAR, "the character whose unit sprites it shows"),
};

// A cell of the tile layer (held apart from these records in the files).
inline constexpr std::array kMapCellFields{
    Field("TILE", &MapCell::TILE, "tile number").Unstored(),
    Field("DOODAD", &MapCell::DOODAD, "doodad number, 0 none").Unstored(),
    DerivedField<MapCell>("NPC", Derived::FirstNpc, FieldKind::Integer,
                          "the first NPC standing exactly on the cell, 0 none"),
};

// A cell of the event layer.
inline constexpr std::array kEventCellFields{
    Field("ENTERSCRIPT", &EventCell::ENTERSCRIPT, "the script run on entering the cell").Script(),
    Field("LEAVESCRIPT", &EventCell::LEAVESCRIPT, "the script run on leaving it").Script(),
    Field("USESCRIPT", &EventCell::USESCRIPT, "the script run when it is used").Script(),
    Field("PUSHSCRIPT", &EventCell::PUSHSCRIPT, "the script run when it is pushed").Script(),
    Field("OBSTACLE", &EventCell::passable, "1 when the cell blocks the way").Exact().Negated(),
    Field("BOX", &EventCell::BOX, "a wandering NPC never steps onto it").Exact(),
};

// The player, as scripts read it (moved with SETPOS and SETDIRECTION).
inline constexpr std::array kPlayerFields{
    Field("DIRECTION", &World::PlayerDirection, "facing: 1 up, 2 down, 3 left, 4 right")
        .Unstored()
        .ReadOnly(),
    Field("POS_X", &World::PlayerPosX, "position x in cells").Unstored().ReadOnly(),
    Field("POS_Y", &World::PlayerPosY, "position y in cells").Unstored().ReadOnly(),
};

// A tile of a tilemap: where its picture is and the tile that follows it
// in its animation.
inline constexpr std::array kTileDefFields{
    Field("x", &TileDef::x, "left of the tile's picture in the tile sheet").Internal(),
    Field("y", &TileDef::y, "top of the tile's picture").Internal(),
    Field("NEXT", &TileDef::NEXT, "the tile shown next; itself for a still tile")
        .Internal()
        .SelfByDefault(),
};

// A sprite of a doodadmap (doodads, units, items).
inline constexpr std::array kSpriteDefFields{
    Field("picX", &SpriteDef::picX, "left of the picture").Internal(),
    Field("picY", &SpriteDef::picY, "top of the picture").Internal(),
    Field("maskX", &SpriteDef::maskX, "left of its mask").Internal(),
    Field("maskY", &SpriteDef::maskY, "top of its mask").Internal(),
    Field("width", &SpriteDef::width, "width in pixels").Internal(),
    Field("height", &SpriteDef::height, "height in pixels").Internal(),
    Field("NEXT", &SpriteDef::NEXT, "the sprite shown next; itself for a still one")
        .Internal()
        .SelfByDefault(),
};

// --- Walking a record's fields ----------------------------------------------

// Calls fn with the field's value in `record` (const when the record is)
// and returns true; a derived field has none, and fn is not called.
template <class Rec, class F>
constexpr bool WithValue(const RecordField<std::remove_const_t<Rec>>& field, Rec& record, F&& fn) {
  return std::visit(
      [&](auto m) {
        if constexpr (std::is_same_v<decltype(m), Derived>) {
          return false;
        } else {
          fn(record.*m);
          return true;
        }
      },
      field.member);
}

// The first field of `table` named `name` that scripts reach, or nullptr.
template <class R, size_t N>
constexpr const RecordField<R>* ScriptFieldOf(const std::array<RecordField<R>, N>& table,
                                              std::string_view name) {
  for (const RecordField<R>& f : table)
    if (f.info.access != Access::None && f.info.name == name) return &f;
  return nullptr;
}

// --- The records scripts address -------------------------------------------

// The record kinds of [data kind, ...] and CHANGE kind.
enum class ScriptRecord : uint8_t { Map, Character, Item, Party, Enemy, Npc, Player };

// How many numbers address a record of the kind: a map cell's x and y,
// none for the player, else the record's number.
constexpr size_t AddressCount(ScriptRecord record) {
  return record == ScriptRecord::Map ? 2 : record == ScriptRecord::Player ? 0 : 1;
}

// The kind a lower-case word names ("map", "character", ...), or nullopt.
std::optional<ScriptRecord> ScriptRecordNamed(std::string_view lowerWord);

// Every field scripts reach in a record of that kind, in the order they
// are looked up: a party member's and an enemy's own fields before their
// character's, a map cell's before its event cell's; a name shadowed by an
// earlier field is left out.
std::vector<FieldInfo> ScriptFields(ScriptRecord record);

// The field scripts reach by an upper-case name in a record of that kind.
std::optional<FieldInfo> ScriptField(ScriptRecord record, std::string_view name);

}  // namespace yw
