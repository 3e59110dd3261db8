// Reading typed fields out of a JSON source and reporting every problem
// with the file, line and field it concerns.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "diagnostics.h"
#include "json_doc.h"
#include "nearest_word.h"
#include "world/record_fields.h"

namespace yw::pack {

class SourceReader {
 public:
  SourceReader(const JsonDoc& doc, std::string file, Report& report)
      : doc_(doc), file_(std::move(file)), report_(report) {}

  const Json& Root() const { return doc_.root; }
  const std::string& File() const { return file_; }

  void Error(const std::string& pointer, const std::string& field, const std::string& message);
  void Warning(const std::string& pointer, const std::string& field, const std::string& message);
  int ErrorCount() const { return errors_; }

  // A whole number in [lo, hi]; `fallback` when the key is absent.
  std::optional<int64_t> Integer(const Json& object, const std::string& pointer,
                                 std::string_view key, const std::string& field, int64_t lo,
                                 int64_t hi, std::optional<int64_t> fallback);
  int16_t Int16(const Json& object, const std::string& pointer, std::string_view key,
                const std::string& field, int16_t fallback = 0);
  // A text converted to Windows-1252, at most 255 bytes (the files store
  // its length in one byte).
  std::string Text(const Json& object, const std::string& pointer, std::string_view key,
                   const std::string& field, bool required = false);
  // true/false, or a number (non-zero is true).
  bool Flag(const Json& object, const std::string& pointer, std::string_view key,
            const std::string& field);
  // Reports the keys of `object` that are not in `known` (a typo would
  // otherwise silently give a zero). "comment" is always allowed.
  void UnknownKeys(const Json& object, const std::string& pointer, const std::string& field,
                   std::initializer_list<std::string_view> known);
  template <class Range>
  void UnknownKeysIn(const Json& object, const std::string& pointer, const std::string& field,
                     const Range& known);

 private:
  const JsonDoc& doc_;
  std::string file_;
  Report& report_;
  int errors_ = 0;
};

// The text at `key` of `object` as written, or "" when the value is not an
// object, has no such key or holds something else there.
std::string TextAt(const Json& object, const char* key);

// A Windows-1252 text converted for JSON (UTF-8), or nullopt when a text
// read from JSON cannot be held in Windows-1252.
std::string ToJsonText(std::string_view cp1252);
std::optional<std::string> FromJsonText(std::string_view utf8);

// Whether a record's JSON source holds the field: those of the data file
// (its NAME and body), not those only saved games or the running game hold.
constexpr bool InSource(const FieldInfo& f) {
  return f.stored == Stored::Lead || f.stored == Stored::Always;
}

// The names of the fields a record's JSON source holds, in the table's order.
template <class R, size_t N>
std::vector<std::string_view> SourceFieldNames(const std::array<RecordField<R>, N>& table) {
  std::vector<std::string_view> names;
  for (const RecordField<R>& f : table)
    if (InSource(f.info)) names.push_back(f.info.name);
  return names;
}

// Fills record number `number` (from 1) from the JSON object `rec` (at
// `pointer`) field by field, each checked against its kind's range; the
// NAME a record leads with must be there. `label` names the record in
// messages. Keys the table does not know are left to UnknownKeysIn.
template <class R, size_t N>
void ReadRecordFields(SourceReader& in, const Json& rec, const std::string& pointer,
                      const std::string& label, R& record,
                      const std::array<RecordField<R>, N>& table, size_t number) {
  for (const RecordField<R>& field : table) {
    if (!InSource(field.info)) continue;
    const std::string_view key = field.info.name;
    const std::string what = label + ": " + std::string(key);
    WithValue(field, record, [&](auto& v) {
      using V = std::remove_cvref_t<decltype(v)>;
      if constexpr (std::is_same_v<V, std::string>) {
        v = in.Text(rec, pointer, key, what, field.info.stored == Stored::Lead);
      } else if constexpr (std::is_same_v<V, bool>) {
        v = in.Flag(rec, pointer, key, what);
      } else if constexpr (std::is_same_v<V, int16_t>) {
        v = in.Int16(rec, pointer, key, what,
                     static_cast<int16_t>(field.info.selfByDefault ? number : 0));
      } else if constexpr (std::is_integral_v<V>) {
        const FieldRange range = WholeRange(field.info.kind).value_or(FieldRange{});
        v = static_cast<V>(in.Integer(rec, pointer, key, what, range.lo, range.hi, 0).value_or(0));
      }
      // The data files hold no Single.
    });
  }
}

// The JSON source of one record: its fields in the table's order.
template <class R, size_t N>
Json RecordFieldsToJson(const R& record, const std::array<RecordField<R>, N>& table) {
  Json j = Json::object();
  for (const RecordField<R>& field : table) {
    if (!InSource(field.info)) continue;
    WithValue(field, record, [&](const auto& v) {
      using V = std::remove_cvref_t<decltype(v)>;
      if constexpr (std::is_same_v<V, std::string>)
        j[std::string(field.info.name)] = ToJsonText(v);
      else
        j[std::string(field.info.name)] = v;
    });
  }
  return j;
}

template <class Range>
void SourceReader::UnknownKeysIn(const Json& object, const std::string& pointer,
                                 const std::string& field, const Range& known) {
  if (!object.is_object()) return;
  for (const auto& [key, value] : object.items()) {
    if (key == "comment") continue;
    bool found = false;
    for (const auto& k : known) found = found || key == k;
    if (found) continue;
    std::vector<std::string_view> fields(std::begin(known), std::end(known));
    std::string list;
    for (std::string_view f : fields) list += (list.empty() ? "" : ", ") + std::string(f);
    Error(Child(pointer, key), field.empty() ? key : field + ": " + key,
          "unknown field" + DidYouMean(key, fields) + "; the fields are " + list);
  }
}

}  // namespace yw::pack
