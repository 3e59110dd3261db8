// The bracketed terms [keyword arguments] of expressions. Each term has its
// own kind: asked for the other kind it yields nothing, asked with the kind
// open it decides it.
#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/engine.h"
#include "core/window_state.h"
#include "script/expressions.h"
#include "script/expressions_detail.h"
#include "world/paths.h"
#include "world/rounding.h"

namespace yw {

namespace {

using Args = std::vector<std::string_view>;

// Splits at commas outside double quotes and outside nested brackets. An
// empty text gives one empty argument.
Args SplitArguments(std::string_view text) {
  Args out;
  int depth = 0;
  bool quoted = false;
  size_t start = 0;
  for (size_t k = 0; k < text.size(); ++k) {
    const char c = text[k];
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '[') ++depth;
    if (c == ']') --depth;
    if (c == ',' && depth == 0) {
      out.push_back(text.substr(start, k - start));
      start = k + 1;
    }
  }
  out.push_back(text.substr(start));
  return out;
}

std::string Word(std::string_view arg) { return ToLower(TrimBlanks(arg)); }

// The kind rule of a term. Asked for the other kind, a term yields nothing
// and leaves the kind alone. Asked with the kind open, a known term decides
// it before its arguments are looked at, so a term whose arguments do not
// fit still makes the expression a number (or a text) that holds nothing.
bool Claim(ValueKind& kind, ValueKind own) {
  if (kind == ValueKind::Undecided) kind = own;
  return kind == own;
}

ScriptValue Num(double v) { return ScriptValue{v}; }

// Leading number of a text: blanks are skipped, reading stops at the first
// character that cannot continue the number (sign, digits, one decimal
// point, an exponent).
double LeadingNumber(std::string_view s) {
  std::string digits;
  bool point = false, exponent = false;
  for (char c : s) {
    if (c == ' ') continue;
    const char last = digits.empty() ? '\0' : digits.back();
    const bool signOk = digits.empty() || last == 'e';
    if ((c == '+' || c == '-') && signOk) {
      digits += c;
    } else if (c >= '0' && c <= '9') {
      digits += c;
    } else if (c == '.' && !point && !exponent) {
      digits += c;
      point = true;
    } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && !exponent &&
               digits.find_first_of("0123456789") != std::string::npos) {
      digits += 'e';
      exponent = true;
    } else {
      break;
    }
  }
  // Drop an unfinished tail ("12e", "12e-", "-").
  while (!digits.empty() && (digits.back() == 'e' || digits.back() == '+' ||
                             digits.back() == '-' || digits.back() == '.'))
    digits.pop_back();
  if (digits.empty()) return 0;
  const char* first = digits.data();
  if (*first == '+') ++first;
  double value = 0;
  const auto [ptr, ec] = std::from_chars(first, digits.data() + digits.size(), value);
  if (ec == std::errc::result_out_of_range) {
    const bool negative = *first == '-';
    const size_t e = digits.find('e');
    const bool tiny = e != std::string::npos && digits.size() > e + 1 && digits[e + 1] == '-';
    value = tiny ? 0.0 : HUGE_VAL;
    return negative ? -value : value;
  }
  return ec == std::errc() ? value : 0.0;
}

ScriptValue VariableTerm(Engine& e, int slot, ValueKind& kind) {
  const ScriptVariable& var = e.world.Variables[static_cast<size_t>(slot)];
  if (kind == ValueKind::Undecided) kind = var.kind;
  if (kind != var.kind) return {};
  return var.value;
}

ScriptValue RandomTerm(Engine& e, const Args& a, int depth) {
  if (a.size() < 2) return {};
  const double lo = CInt(EvaluateNumber(e, a[0], depth));
  const double hi = CInt(EvaluateNumber(e, a[1], depth));
  return Num(std::floor((hi - lo + 1) * e.rng.Next() + lo));
}

ScriptValue RoundTerm(Engine& e, const Args& a, int depth) {
  const double x = EvaluateNumber(e, a[0], depth);
  if (a.size() == 1) return Num(RoundHalfEven(x));
  const std::string mode = Word(a[1]);
  if (mode == "up") return Num(std::ceil(x));
  if (mode == "down") return Num(std::floor(x));
  return Num(0);
}

ScriptValue AllDeadTerm(const Engine& e) {
  const World& w = e.world;
  for (int i = 1; i <= w.PartyCount && w.Party.Has(i); ++i) {
    const PartyMember& m = w.Party[i];
    if (IsAlive(m.STATE, m.character.HP)) return Num(0);
  }
  return Num(1);
}

// A character index argument: its NAME, or nullptr when out of range.
const std::string* CharacterName(Engine& e, std::string_view arg, int depth) {
  const int c = CInt(EvaluateNumber(e, arg, depth));
  const World& w = e.world;
  if (c < 1 || c > w.CharacterCount || !w.Characters.Has(c)) return nullptr;
  return &w.Characters[c].NAME;
}

template <class T, class Match>
int FirstOf(const Table<T>& table, int count, Match match) {
  for (int i = 1; i <= count && table.Has(i); ++i)
    if (match(table[i])) return i;
  return 0;
}

ScriptValue ItemByName(Engine& e, std::string_view arg, int depth) {
  const std::string name = EvaluateText(e, arg, depth);
  const World& w = e.world;
  return Num(FirstOf(w.Items, w.ItemCount, [&](const Item& it) { return SameName(it.NAME, name); }));
}

ScriptValue EnemyByChar(Engine& e, std::string_view arg, int depth) {
  const std::string* name = CharacterName(e, arg, depth);
  if (!name) return Num(0);
  const World& w = e.world;
  return Num(FirstOf(w.Enemies, w.EnemyCount,
                     [&](const Enemy& en) { return SameName(en.character.NAME, *name); }));
}

ScriptValue NpcByChar(Engine& e, std::string_view arg, int depth) {
  const int c = CInt(EvaluateNumber(e, arg, depth));
  const World& w = e.world;
  if (c < 1 || c > w.CharacterCount) return Num(0);
  return Num(FirstOf(w.Npcs, w.NpcCount, [&](const Npc& n) { return n.CHAR == c; }));
}

ScriptValue PlayerByName(Engine& e, std::string_view arg, int depth) {
  const std::string name = EvaluateText(e, arg, depth);
  const World& w = e.world;
  return Num(FirstOf(w.Party, w.PartyCount,
                     [&](const PartyMember& m) { return SameName(m.NAME, name); }));
}

// Members are matched by their own copy of the character they came from,
// which keeps its name when the member is renamed.
ScriptValue PlayerByChar(Engine& e, std::string_view arg, int depth) {
  const std::string* name = CharacterName(e, arg, depth);
  if (!name) return Num(0);
  const World& w = e.world;
  return Num(FirstOf(w.Party, w.PartyCount,
                     [&](const PartyMember& m) { return SameName(m.character.NAME, *name); }));
}

ScriptValue CountTerm(const Engine& e, std::string_view arg) {
  const World& w = e.world;
  const std::string what = Word(arg);
  if (what == "players") return Num(w.PartyCount);
  if (what == "items") return Num(w.ItemCount);
  if (what == "characters") return Num(w.CharacterCount);
  if (what == "npc") return Num(w.NpcCount);
  if (what == "enemys") return Num(w.EnemyCount);
  return Num(0);
}

ScriptValue ProbeTerm(Engine& e, const Args& a, int depth) {
  const int x = CInt(EvaluateNumber(e, a[0], depth));
  const int y = CInt(EvaluateNumber(e, a[1], depth));
  return Num(Probe(e, x, y) ? 1 : 0);
}

// The terms that yield a number (keywords as IsNumberKeyword lists them).
ScriptValue NumberTerm(Engine& e, const std::string& k, const Args& a, int depth) {
  const size_t n = a.size();
  if (k == "val") return n == 1 ? Num(LeadingNumber(EvaluateText(e, a[0], depth))) : ScriptValue{};
  if (k == "no") return Num(0);
  if (k == "up" || k == "yes") return Num(1);
  if (k == "down") return Num(2);
  if (k == "left") return Num(3);
  if (k == "right") return Num(4);
  if (k == "random") return RandomTerm(e, a, depth);
  if (k == "listitemval") return Num(e.world.ListItemVal);
  if (k == "round") return RoundTerm(e, a, depth);
  if (k == "alldead") return AllDeadTerm(e);
  if (k == "probe") return n == 2 ? ProbeTerm(e, a, depth) : ScriptValue{};
  if (n != 1) return {};  // the lookups below take exactly one argument
  if (k == "itembyname") return ItemByName(e, a[0], depth);
  if (k == "enemybychar") return EnemyByChar(e, a[0], depth);
  if (k == "npcbychar") return NpcByChar(e, a[0], depth);
  if (k == "playerbyname") return PlayerByName(e, a[0], depth);
  if (k == "playerbychar") return PlayerByChar(e, a[0], depth);
  if (k == "charbyname") return Num(CharacterByName(e, EvaluateText(e, a[0], depth)));
  if (k == "count") return CountTerm(e, a[0]);
  return {};
}

bool IsNumberKeyword(const std::string& k) {
  static constexpr std::string_view kNumberKeywords[] = {
      "val",         "no",        "up",         "yes",        "down",         "left",
      "right",       "random",    "listitemval", "round",     "alldead",      "probe",
      "itembyname",  "enemybychar", "npcbychar", "playerbyname", "playerbychar", "charbyname",
      "count"};
  for (std::string_view w : kNumberKeywords)
    if (k == w) return true;
  return false;
}

}  // namespace

// A number as decimal text: whole numbers plainly, others with the seven
// significant digits a 32-bit float carries.
std::string NumberText(double v) {
  char buf[64];
  if (std::isfinite(v) && v == std::trunc(v) && std::fabs(v) < 1e15) {
    std::snprintf(buf, sizeof buf, "%.0f", v);
  } else {
    std::snprintf(buf, sizeof buf, "%.7G", v);
  }
  std::string out(buf);
  return out == "-0" ? "0" : out;
}

bool SameName(std::string_view a, std::string_view b) {
  return ToLower(TrimBlanks(a)) == ToLower(TrimBlanks(b));
}

int16_t CharacterByName(const Engine& e, std::string_view name) {
  const World& w = e.world;
  return static_cast<int16_t>(FirstOf(w.Characters, w.CharacterCount,
                                      [&](const Character& c) { return SameName(c.NAME, name); }));
}

ScriptValue ResolveTermAt(Engine& e, std::string_view keyword, std::string_view arguments,
                          ValueKind& kind, int depth) {
  if (depth > kMaxExpressionDepth) return {};
  const std::string k = Word(keyword);
  if (k.size() == 1 && k[0] >= 'a' && k[0] <= 'j') return VariableTerm(e, k[0] - 'a', kind);
  const Args args = SplitArguments(arguments);
  if (k == "str") {
    if (!Claim(kind, ValueKind::Text) || args.size() != 1) return {};
    return ScriptValue{NumberText(EvaluateNumber(e, args[0], depth))};
  }
  if (k == "text") {
    if (!Claim(kind, ValueKind::Text)) return {};
    return ScriptValue{e.win.KInputBox};
  }
  if (k == "data") return DataTerm(e, args, kind, depth);
  if (!IsNumberKeyword(k) || !Claim(kind, ValueKind::Number)) return {};
  return NumberTerm(e, k, args, depth);
}

ScriptValue ResolveTerm(Engine& e, std::string_view keyword, std::string_view arguments,
                        ValueKind& kind) {
  return ResolveTermAt(e, keyword, arguments, kind, 0);
}

bool Probe(Engine& e, int a, int b) {
  if (b == 0) return true;  // nothing to resist: the contest is won
  const double capped = a < 100 ? a : 100;
  const float p = ToSingle(1.0 - 1.0 / (capped / b + 1.0));
  const float r = static_cast<float>(e.rng.Next());
  return r <= p;
}

}  // namespace yw
