// Fields of the world state as scripts name them: read by the term
// [data kind, address..., FIELD] and written by CHANGE. Both go through one
// lookup that turns a record and a field name into a typed reference; the
// fields and what scripts may do with them are the records' tables
// (world/record_fields.h).
#include "script/field_access.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <variant>

#include "core/engine.h"
#include "core/window_state.h"
#include "script/expressions_detail.h"
#include "world/paths.h"
#include "world/record_fields.h"
#include "world/rounding.h"

namespace yw {

int16_t LevelFromEP(int32_t ep) {
  // Level n - 1 for the smallest n >= 1 with 5 n (n - 1) >= EP, in 1..100.
  for (int64_t n = 1; n <= 101; ++n)
    if (5 * n * (n - 1) >= ep) return static_cast<int16_t>(std::clamp<int64_t>(n - 1, 1, 100));
  return 100;
}

namespace {

using Record = ScriptRecord;

// A flag field; OBSTACLE is stored as its negation (the cell's passable
// flag).
struct FlagRef {
  bool* flag;
  bool negated;
};

// A field of one record: where it lives and how it is typed. A computed
// field holds its value and cannot be written.
struct FieldRef {
  std::variant<int16_t*, int32_t*, float*, uint8_t*, FlagRef, std::string*, double> at;
  bool writable = true;
  Character* owner = nullptr;
  Cap cap = Cap::None;

  ValueKind Kind() const {
    return std::holds_alternative<std::string*>(at) ? ValueKind::Text : ValueKind::Number;
  }
};

// A record chosen by kind and address; the address is already checked.
struct Target {
  Record record;
  int x = 0, y = 0;  // the index in x; a map cell in (x, y)
};

// What a derived field is worked out from.
struct Context {
  Engine& e;
  Character* character = nullptr;  // the record's character, if it has one
  int x = 0, y = 0;                // a map cell
};

int FirstNpcAt(const World& w, int x, int y) {
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i)
    if (w.Npcs[i].POS_X == static_cast<float>(x) && w.Npcs[i].POS_Y == static_cast<float>(y))
      return i;
  return 0;
}

FieldRef DerivedRef(Derived how, const Context& c) {
  switch (how) {
    case Derived::Level:
      return FieldRef{static_cast<double>(LevelFromEP(c.character->EP)), false};
    case Derived::CharacterNumber:
      return FieldRef{static_cast<double>(CharacterByName(c.e, c.character->NAME)), false};
    case Derived::FirstNpc:
      return FieldRef{static_cast<double>(FirstNpcAt(c.e.world, c.x, c.y)), false};
    case Derived::CharacterName:
      return FieldRef{&c.character->NAME, false};
  }
  return FieldRef{0.0, false};
}

// The reference to a field of `record`.
template <class R>
std::optional<FieldRef> RefTo(const RecordField<R>& field, R& record, const Context& c) {
  std::optional<FieldRef> ref;
  if (const Derived* how = std::get_if<Derived>(&field.member)) {
    ref = DerivedRef(*how, c);
  } else {
    WithValue(field, record, [&](auto& v) {
      using V = std::remove_cvref_t<decltype(v)>;
      if constexpr (std::is_same_v<V, bool>)
        ref = FieldRef{FlagRef{&v, field.info.negated}};
      else if constexpr (!std::is_same_v<V, Millis>)
        ref = FieldRef{&v};
    });
    if (!ref) return std::nullopt;
    ref->writable = field.info.access == Access::Write;
  }
  ref->owner = c.character;
  ref->cap = field.info.cap;
  return ref;
}

// The field `name` of `record` in `table`, when scripts reach it there.
template <class R, size_t N>
std::optional<FieldRef> FieldIn(const std::array<RecordField<R>, N>& table, R& record,
                                std::string_view name, const Context& c) {
  const RecordField<R>* field = ScriptFieldOf(table, name);
  if (!field) return std::nullopt;
  return RefTo(*field, record, c);
}

// A party member or an enemy: its own fields, then its character's.
template <class F, size_t N>
std::optional<FieldRef> FighterField(const std::array<RecordField<F>, N>& own, F& fighter,
                                     std::string_view name, Engine& e) {
  const Context c{e, &fighter.character};
  if (auto ref = FieldIn(own, fighter, name, c)) return ref;
  return FieldIn(kCharacterFields, fighter.character, name, c);
}

bool IsEventField(std::string_view name) { return ScriptFieldOf(kEventCellFields, name); }

// Event fields of a cell the event layer does not hold (no eventmap
// loaded) are out of reach: reading yields nothing, writing fails.
std::optional<FieldRef> MapField(Engine& e, int x, int y, std::string_view name) {
  World& w = e.world;
  const Context c{e, nullptr, x, y};
  if (IsEventField(name)) {
    EventCell* ev = w.MapEvents.Find(x, y);
    if (!ev) return std::nullopt;
    return FieldIn(kEventCellFields, *ev, name, c);
  }
  return FieldIn(kMapCellFields, w.MapTiles(x, y), name, c);
}

// The field `name` (already trimmed and in capitals) of a checked record.
std::optional<FieldRef> FindField(Engine& e, const Target& t, std::string_view name) {
  World& w = e.world;
  switch (t.record) {
    case Record::Map:
      return MapField(e, t.x, t.y, name);
    case Record::Character: {
      Character& ch = w.Characters[t.x];
      return FieldIn(kCharacterFields, ch, name, Context{e, &ch});
    }
    case Record::Item:
      return FieldIn(kItemFields, w.Items[t.x], name, Context{e});
    case Record::Party:
      return FighterField(kPartyMemberFields, w.Party[t.x], name, e);
    case Record::Enemy:
      return FighterField(kEnemyFields, w.Enemies[t.x], name, e);
    case Record::Npc:
      return FieldIn(kNpcFields, w.Npcs[t.x], name, Context{e});
    case Record::Player:
      return FieldIn(kPlayerFields, w, name, Context{e});
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
  if (f.cap == Cap::HitPoints && c.HP > c.MAXHP) c.HP = c.MAXHP;
  if (f.cap == Cap::MagicPoints && c.MP > c.MAXMP) c.MP = c.MAXMP;
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
  const std::optional<Record> record = ScriptRecordNamed(kindWord);
  if (!record) return std::nullopt;
  const size_t wanted = 2 + AddressCount(*record);  // kind, address, field
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
  const std::optional<Record> record = ScriptRecordNamed(ToLower(kindWord));
  if (!record || *record == Record::Player) return uint8_t{13};
  if (*record == Record::Map) {
    if (p.size() < 3 + AddressCount(*record)) return uint8_t{15};
    return WriteRequest{
        {Record::Map, CInt(EvaluateNumber(e, p[1], 0)), CInt(EvaluateNumber(e, p[2], 0))}, 3};
  }
  if (p.size() < 3 + AddressCount(*record)) return uint8_t{15};  // kind, address, field, value
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
