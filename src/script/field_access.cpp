// Fields of the world state as scripts name them: read by the term
// [data kind, address..., FIELD] and written by CHANGE. Both go through one
// lookup that turns a record and a field name into a typed reference.
#include "script/field_access.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>

#include "core/engine.h"
#include "core/window_state.h"
#include "script/expressions_detail.h"
#include "world/paths.h"
#include "world/rounding.h"

namespace yw {

int16_t LevelFromEP(int32_t ep) {
  // Level n - 1 for the smallest n >= 1 with 5 n (n - 1) >= EP, in 1..100.
  for (int64_t n = 1; n <= 101; ++n)
    if (5 * n * (n - 1) >= ep) return static_cast<int16_t>(std::clamp<int64_t>(n - 1, 1, 100));
  return 100;
}

namespace {

enum class Record { Map, Character, Item, Party, Enemy, Npc, Player };

// A flag field; OBSTACLE is stored as its negation (the cell's passable
// flag).
struct FlagRef {
  bool* flag;
  bool negated;
};

// Which limit a write must restore: HP at most MAXHP, MP at most MAXMP.
enum class Limit { None, HitPoints, MagicPoints };

// A field of one record: where it lives and how it is typed. A computed
// field holds its value and cannot be written.
struct FieldRef {
  std::variant<int16_t*, int32_t*, float*, uint8_t*, FlagRef, std::string*, double> at;
  bool writable = true;
  Character* owner = nullptr;
  Limit limit = Limit::None;

  ValueKind Kind() const {
    return std::holds_alternative<std::string*>(at) ? ValueKind::Text : ValueKind::Number;
  }
};

// A record chosen by kind and address; the address is already checked.
struct Target {
  Record record;
  int x = 0, y = 0;  // the index in x; a map cell in (x, y)
};

struct NumberField {
  std::string_view name;
  int16_t Character::*member;
};

constexpr NumberField kCharacterNumbers[] = {
    {"MAXHP", &Character::MAXHP},         {"HP", &Character::HP},
    {"MAXMP", &Character::MAXMP},         {"MP", &Character::MP},
    {"STR", &Character::STR},             {"CON", &Character::CON},
    {"INI", &Character::INI},             {"WIS", &Character::WIS},
    {"DEX", &Character::DEX},             {"EP", &Character::EP},
    {"STDWEP", &Character::STDWEP},       {"STDARM", &Character::STDARM},
    {"DOOLEFT", &Character::DOOLEFT},     {"DOOUP", &Character::DOOUP},
    {"DOORIGHT", &Character::DOORIGHT},   {"DOODOWN", &Character::DOODOWN},
    {"DOOLEFTANI", &Character::DOOLEFTANI}, {"DOOUPANI", &Character::DOOUPANI},
    {"DOORIGHTANI", &Character::DOORIGHTANI}, {"DOODOWNANI", &Character::DOODOWNANI},
    {"WEP", &Character::WEP},             {"ARM", &Character::ARM},
};

std::optional<FieldRef> CharacterNumber(Character& c, std::string_view name) {
  for (const NumberField& f : kCharacterNumbers) {
    if (f.name != name) continue;
    FieldRef ref{&(c.*f.member)};
    ref.owner = &c;
    if (name == "HP" || name == "MAXHP") ref.limit = Limit::HitPoints;
    if (name == "MP" || name == "MAXMP") ref.limit = Limit::MagicPoints;
    return ref;
  }
  return std::nullopt;
}

FieldRef ReadOnly(double value) { return FieldRef{value, false}; }

std::optional<FieldRef> CharacterField(Character& c, std::string_view name) {
  if (name == "NAME") return FieldRef{&c.NAME};
  return CharacterNumber(c, name);
}

// Fields a party member and an enemy share beyond their character block.
std::optional<FieldRef> FighterField(Engine& e, int32_t& state, int16_t& npc, Character& c,
                                     std::string_view name) {
  if (name == "STATE") return FieldRef{&state};
  if (name == "NPC") return FieldRef{&npc};
  if (name == "CHAR") return ReadOnly(CharacterByName(e, c.NAME));
  return CharacterNumber(c, name);
}

std::optional<FieldRef> PartyField(Engine& e, PartyMember& m, std::string_view name) {
  if (name == "NAME") return FieldRef{&m.NAME};
  if (name == "LEVEL") return ReadOnly(LevelFromEP(m.character.EP));
  return FighterField(e, m.STATE, m.NPC, m.character, name);
}

std::optional<FieldRef> EnemyField(Engine& e, Enemy& en, std::string_view name) {
  if (name == "NAME") return FieldRef{&en.character.NAME, false};
  return FighterField(e, en.STATE, en.NPC, en.character, name);
}

std::optional<FieldRef> ItemField(Item& it, std::string_view name) {
  if (name == "NAME") return FieldRef{&it.NAME};
  if (name == "TYPE") return FieldRef{&it.TYPE};
  if (name == "SCRIPT") return FieldRef{&it.SCRIPT};
  if (name == "FIGHTSCRIPT") return FieldRef{&it.FIGHTSCRIPT};
  if (name == "DOODAD") return FieldRef{&it.DOODAD};
  if (name == "NUMBER") return FieldRef{&it.NUMBER};
  if (name == "VALUE") return FieldRef{&it.VALUE};
  if (name == "VISIBLE") return FieldRef{FlagRef{&it.VISIBLE, false}};
  return std::nullopt;
}

std::optional<FieldRef> NpcField(Npc& n, std::string_view name) {
  if (name == "POS_X") return FieldRef{&n.POS_X};
  if (name == "POS_Y") return FieldRef{&n.POS_Y};
  if (name == "DIRECTION") return FieldRef{&n.DIRECTION};
  if (name == "CHAR") return FieldRef{&n.CHAR};
  if (name == "SCRIPT") return FieldRef{&n.SCRIPT};
  if (name == "SPEED") return FieldRef{&n.SPEED};
  return std::nullopt;
}

std::optional<FieldRef> PlayerField(World& w, std::string_view name) {
  if (name == "DIRECTION") return FieldRef{&w.PlayerDirection, false};
  if (name == "POS_X") return FieldRef{&w.PlayerPosX, false};
  if (name == "POS_Y") return FieldRef{&w.PlayerPosY, false};
  return std::nullopt;
}

bool IsEventField(std::string_view name) {
  return name == "OBSTACLE" || name == "BOX" || name == "USESCRIPT" || name == "ENTERSCRIPT" ||
         name == "LEAVESCRIPT" || name == "PUSHSCRIPT";
}

int FirstNpcAt(const World& w, int x, int y) {
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i)
    if (w.Npcs[i].POS_X == static_cast<float>(x) && w.Npcs[i].POS_Y == static_cast<float>(y))
      return i;
  return 0;
}

// Event fields of a cell the event layer does not hold (no eventmap
// loaded) are out of reach: reading yields nothing, writing fails.
std::optional<FieldRef> EventField(EventCell* ev, std::string_view name) {
  if (!ev) return std::nullopt;
  if (name == "OBSTACLE") return FieldRef{FlagRef{&ev->passable, true}};
  if (name == "BOX") return FieldRef{FlagRef{&ev->BOX, false}};
  if (name == "USESCRIPT") return FieldRef{&ev->USESCRIPT};
  if (name == "ENTERSCRIPT") return FieldRef{&ev->ENTERSCRIPT};
  if (name == "LEAVESCRIPT") return FieldRef{&ev->LEAVESCRIPT};
  if (name == "PUSHSCRIPT") return FieldRef{&ev->PUSHSCRIPT};
  return std::nullopt;
}

std::optional<FieldRef> MapField(World& w, int x, int y, std::string_view name) {
  if (IsEventField(name)) return EventField(w.MapEvents.Find(x, y), name);
  MapCell& cell = w.MapTiles(x, y);
  if (name == "TILE") return FieldRef{&cell.TILE};
  if (name == "DOODAD") return FieldRef{&cell.DOODAD};
  if (name == "NPC") return ReadOnly(FirstNpcAt(w, x, y));
  return std::nullopt;
}

// The field `name` (already trimmed and in capitals) of a checked record.
std::optional<FieldRef> FindField(Engine& e, const Target& t, std::string_view name) {
  World& w = e.world;
  switch (t.record) {
    case Record::Map: return MapField(w, t.x, t.y, name);
    case Record::Character: return CharacterField(w.Characters[t.x], name);
    case Record::Item: return ItemField(w.Items[t.x], name);
    case Record::Party: return PartyField(e, w.Party[t.x], name);
    case Record::Enemy: return EnemyField(e, w.Enemies[t.x], name);
    case Record::Npc: return NpcField(w.Npcs[t.x], name);
    case Record::Player: return PlayerField(w, name);
  }
  return std::nullopt;
}

// Whether the address names an existing record of its kind.
bool InRange(const World& w, const Target& t) {
  const auto within = [&](const auto& table, int count) {
    return t.x >= 1 && t.x <= count && table.Has(t.x);
  };
  switch (t.record) {
    case Record::Map:
      return t.x >= 1 && t.x <= w.MapWidth && t.y >= 1 && t.y <= w.MapHeight &&
             w.MapTiles.Has(t.x, t.y);
    case Record::Character: return within(w.Characters, w.CharacterCount);
    case Record::Item: return within(w.Items, w.ItemCount);
    case Record::Party: return within(w.Party, w.PartyCount);
    case Record::Enemy: return within(w.Enemies, w.EnemyCount);
    case Record::Npc: return within(w.Npcs, w.NpcCount);
    case Record::Player: return true;
  }
  return false;
}

ScriptValue ReadValue(const FieldRef& f) {
  struct Reader {
    double operator()(const int16_t* p) const { return *p; }
    double operator()(const int32_t* p) const { return *p; }
    double operator()(const float* p) const { return *p; }
    double operator()(const uint8_t* p) const { return *p; }
    double operator()(const FlagRef& r) const { return (*r.flag != r.negated) ? 1 : 0; }
    double operator()(const std::string*) const { return 0; }
    double operator()(double v) const { return v; }
  };
  if (const auto* text = std::get_if<std::string*>(&f.at)) return ScriptValue{**text};
  return ScriptValue{std::visit(Reader{}, f.at)};
}

uint8_t ToByte(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<uint8_t>(std::clamp(RoundHalfEven(v), 0.0, 255.0));
}

// Stores a number converted to the field's width; out-of-range values are
// limited to the width's range.
void StoreNumber(const FieldRef& f, double v) {
  if (auto* p = std::get_if<int16_t*>(&f.at)) **p = CInt(v);
  if (auto* p = std::get_if<int32_t*>(&f.at)) **p = CLng(v);
  if (auto* p = std::get_if<float*>(&f.at)) **p = ToSingle(v);
  if (auto* p = std::get_if<uint8_t*>(&f.at)) **p = ToByte(v);
  // Any value other than 0 sets a flag, a fraction too.
  if (auto* p = std::get_if<FlagRef>(&f.at)) *p->flag = (v != 0 && !std::isnan(v)) != p->negated;
}

void ApplyLimit(const FieldRef& f) {
  if (!f.owner) return;
  Character& c = *f.owner;
  if (f.limit == Limit::HitPoints && c.HP > c.MAXHP) c.HP = c.MAXHP;
  if (f.limit == Limit::MagicPoints && c.MP > c.MAXMP) c.MP = c.MAXMP;
}

std::optional<Record> RecordNamed(std::string_view lowerName) {
  if (lowerName == "map") return Record::Map;
  if (lowerName == "character") return Record::Character;
  if (lowerName == "item") return Record::Item;
  if (lowerName == "party") return Record::Party;
  if (lowerName == "enemy") return Record::Enemy;
  if (lowerName == "npc") return Record::Npc;
  if (lowerName == "player") return Record::Player;
  return std::nullopt;
}

// The fighter a target or user address stands for.
Target TargetRecord(const Engine& e) {
  return {e.world.TargetIsParty ? Record::Party : Record::Enemy, e.world.TargetIndex};
}
Target UserRecord(const Engine& e) {
  return {e.win.FightDranPlayer ? Record::Party : Record::Enemy, e.win.FightDran};
}

// The arguments a read needs: the record, its address and the field name.
struct ReadRequest {
  Target target;
  std::string_view field;
};

std::optional<ReadRequest> ParseRead(Engine& e, const std::vector<std::string_view>& args,
                                     int depth) {
  const std::string kindWord = ToLower(TrimBlanks(args[0]));
  const size_t n = args.size();
  if (kindWord == "target" || kindWord == "user") {
    if (n != 2) return std::nullopt;
    return ReadRequest{kindWord == "target" ? TargetRecord(e) : UserRecord(e), args[1]};
  }
  const std::optional<Record> record = RecordNamed(kindWord);
  if (!record) return std::nullopt;
  const size_t wanted = *record == Record::Map ? 4 : *record == Record::Player ? 2 : 3;
  if (n != wanted) return std::nullopt;
  Target t{*record};
  if (n >= 3) t.x = CInt(EvaluateNumber(e, args[1], depth));
  if (n == 4) t.y = CInt(EvaluateNumber(e, args[2], depth));
  return ReadRequest{t, args[n - 1]};
}

}  // namespace

ScriptValue DataTerm(Engine& e, const std::vector<std::string_view>& args, ValueKind& kind,
                     int depth) {
  const std::optional<ReadRequest> req = ParseRead(e, args, depth);
  if (!req || !InRange(e.world, req->target)) return {};
  const std::optional<FieldRef> field = FindField(e, req->target, ToUpper(TrimBlanks(req->field)));
  if (!field) return {};
  if (kind == ValueKind::Undecided) kind = field->Kind();
  if (kind != field->Kind()) return {};
  return ReadValue(*field);
}

namespace {

// A CHANGE after its kind word: the record and the positions of the field
// and value parameters.
struct WriteRequest {
  Target target;
  size_t field;  // index of the field name in the parameters
};

uint8_t RangeCode(Record r) {
  switch (r) {
    case Record::Map: return 14;
    case Record::Item: return 24;
    case Record::Enemy: return 23;
    default: return 12;
  }
}

// Parses the kind and address; returns the result code on failure.
std::variant<WriteRequest, uint8_t> ParseWrite(Engine& e, std::span<const std::string> p) {
  const std::string kindWord = ToUpper(TrimBlanks(p[0]));
  if (kindWord == "TARGET") return WriteRequest{TargetRecord(e), 1};
  if (kindWord == "USER") return WriteRequest{UserRecord(e), 1};
  const std::optional<Record> record = RecordNamed(ToLower(kindWord));
  if (!record || *record == Record::Player) return uint8_t{13};
  if (*record == Record::Map) {
    if (p.size() < 5) return uint8_t{15};
    return WriteRequest{{Record::Map, CInt(EvaluateNumber(e, p[1], 0)),
                         CInt(EvaluateNumber(e, p[2], 0))},
                        3};
  }
  if (p.size() < 4) return uint8_t{15};
  return WriteRequest{{*record, CInt(EvaluateNumber(e, p[1], 0))}, 2};
}

}  // namespace

uint8_t ChangeCommand(Engine& e, std::span<const std::string> params) {
  if (params.size() < 3) return 15;
  const auto parsed = ParseWrite(e, params);
  if (const uint8_t* code = std::get_if<uint8_t>(&parsed)) return *code;
  const WriteRequest& req = std::get<WriteRequest>(parsed);
  if (!InRange(e.world, req.target)) return RangeCode(req.target.record);
  const std::string name = ToUpper(TrimBlanks(params[req.field]));
  const std::optional<FieldRef> field = FindField(e, req.target, name);
  if (!field) {
    // An event field of a cell outside the event layer is out of reach.
    const bool missingCell = req.target.record == Record::Map && IsEventField(name);
    return missingCell ? RangeCode(Record::Map) : 13;
  }
  if (!field->writable) return 13;
  ValueKind kind = field->Kind();
  const ScriptValue value = EvaluateAt(e, params[req.field + 1], kind, 0);
  if (auto* text = std::get_if<std::string*>(&field->at)) {
    **text = value.Text();
  } else {
    StoreNumber(*field, value.Number());
    ApplyLimit(*field);
  }
  return 0;
}

}  // namespace yw
