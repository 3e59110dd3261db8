#include "world/record_fields.h"

#include <algorithm>

namespace yw {

namespace {

// Appends the fields of `table` scripts reach whose names are not taken.
template <class R, size_t N>
void AddScriptFields(std::vector<FieldInfo>& out, const std::array<RecordField<R>, N>& table) {
  for (const RecordField<R>& f : table) {
    if (f.info.access == Access::None) continue;
    const auto taken = [&](const FieldInfo& i) { return i.name == f.info.name; };
    if (std::none_of(out.begin(), out.end(), taken)) out.push_back(f.info);
  }
}

}  // namespace

std::optional<ScriptRecord> ScriptRecordNamed(std::string_view lowerWord) {
  constexpr std::pair<std::string_view, ScriptRecord> kWords[] = {
      {"map", ScriptRecord::Map},       {"character", ScriptRecord::Character},
      {"item", ScriptRecord::Item},     {"party", ScriptRecord::Party},
      {"enemy", ScriptRecord::Enemy},   {"npc", ScriptRecord::Npc},
      {"player", ScriptRecord::Player},
  };
  for (const auto& [word, record] : kWords)
    if (word == lowerWord) return record;
  return std::nullopt;
}

std::vector<FieldInfo> ScriptFields(ScriptRecord record) {
  std::vector<FieldInfo> out;
  switch (record) {
    case ScriptRecord::Map:
      AddScriptFields(out, kMapCellFields);
      AddScriptFields(out, kEventCellFields);
      break;
    case ScriptRecord::Character:
      AddScriptFields(out, kCharacterFields);
      break;
    case ScriptRecord::Item:
      AddScriptFields(out, kItemFields);
      break;
    case ScriptRecord::Party:
      AddScriptFields(out, kPartyMemberFields);
      AddScriptFields(out, kCharacterFields);
      break;
    case ScriptRecord::Enemy:
      AddScriptFields(out, kEnemyFields);
      AddScriptFields(out, kCharacterFields);
      break;
    case ScriptRecord::Npc:
      AddScriptFields(out, kNpcFields);
      break;
    case ScriptRecord::Player:
      AddScriptFields(out, kPlayerFields);
      break;
  }
  return out;
}

std::optional<FieldInfo> ScriptField(ScriptRecord record, std::string_view name) {
  for (const FieldInfo& f : ScriptFields(record))
    if (f.name == name) return f;
  return std::nullopt;
}

}  // namespace yw
