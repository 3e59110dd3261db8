#include "source_fields.h"

#include <array>
#include <cmath>

#include "platform/encoding.h"

namespace yw::pack {

std::string ToJsonText(std::string_view cp1252) { return Cp1252ToUtf8(cp1252); }

std::optional<std::string> FromJsonText(std::string_view utf8) {
  std::string bytes = Utf8ToCp1252(utf8);
  if (Cp1252ToUtf8(bytes) != utf8) return std::nullopt;
  return bytes;
}

std::string TextAt(const Json& object, const char* key) {
  if (!object.is_object()) return {};
  const auto it = object.find(key);
  return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

void SourceReader::Error(const std::string& pointer, const std::string& field,
                         const std::string& message) {
  ++errors_;
  report_.Error(file_, doc_.LineOf(pointer), field, message);
}

void SourceReader::Warning(const std::string& pointer, const std::string& field,
                           const std::string& message) {
  report_.Warning(file_, doc_.LineOf(pointer), field, message);
}

std::optional<int64_t> SourceReader::Integer(const Json& object, const std::string& pointer,
                                              std::string_view key, const std::string& field,
                                              int64_t lo, int64_t hi,
                                              std::optional<int64_t> fallback) {
  const std::string at = Child(pointer, key);
  if (!object.is_object() || !object.contains(key)) {
    if (!fallback) Error(pointer, field, "is missing");
    return fallback;
  }
  const Json& v = object.at(key);
  const auto outOfRange = [&](const std::string& shown) {
    Error(at, field,
          shown + " is out of range (" + std::to_string(lo) + " to " + std::to_string(hi) + ")");
    return fallback.value_or(0);
  };
  int64_t n = 0;
  if (v.is_number_unsigned()) {
    if (v.get<uint64_t>() > static_cast<uint64_t>(hi)) return outOfRange(v.dump());
    n = static_cast<int64_t>(v.get<uint64_t>());
  } else if (v.is_number_integer()) {
    n = v.get<int64_t>();
  } else if (v.is_number_float() && std::trunc(v.get<double>()) == v.get<double>()) {
    // Checked against the range before converting: a double beyond the
    // integer's range has no integer value.
    const double d = v.get<double>();
    if (d < static_cast<double>(lo) || d > static_cast<double>(hi) || std::fabs(d) >= 0x1p63)
      return outOfRange(v.dump());
    n = static_cast<int64_t>(d);
  } else {
    Error(at, field, "must be a whole number, not " + v.dump());
    return fallback.value_or(0);
  }
  if (n < lo || n > hi) return outOfRange(std::to_string(n));
  return n;
}

int16_t SourceReader::Int16(const Json& object, const std::string& pointer, std::string_view key,
                            const std::string& field, int16_t fallback) {
  return static_cast<int16_t>(
      Integer(object, pointer, key, field, INT16_MIN, INT16_MAX, fallback).value_or(fallback));
}

std::string SourceReader::Text(const Json& object, const std::string& pointer,
                               std::string_view key, const std::string& field, bool required) {
  const std::string at = Child(pointer, key);
  if (!object.is_object() || !object.contains(key)) {
    if (required) Error(pointer, field, "is missing");
    return {};
  }
  const Json& v = object.at(key);
  if (!v.is_string()) {
    Error(at, field, "must be a text in double quotes, not " + v.dump());
    return {};
  }
  auto bytes = FromJsonText(v.get<std::string>());
  if (!bytes) {
    Error(at, field, "holds characters that Windows-1252 cannot store");
    return {};
  }
  if (bytes->size() > 255) {
    Error(at, field, "is " + std::to_string(bytes->size()) + " bytes long; at most 255 fit");
    bytes->resize(255);
  }
  if (required && bytes->empty()) Error(at, field, "must not be empty");
  return *bytes;
}

bool SourceReader::Flag(const Json& object, const std::string& pointer, std::string_view key,
                        const std::string& field) {
  if (!object.is_object() || !object.contains(key)) return false;
  const Json& v = object.at(key);
  if (v.is_boolean()) return v.get<bool>();
  if (v.is_number()) return v.get<double>() != 0;
  Error(Child(pointer, key), field, "must be true or false, not " + v.dump());
  return false;
}

void SourceReader::UnknownKeys(const Json& object, const std::string& pointer,
                               const std::string& field,
                               std::initializer_list<std::string_view> known) {
  UnknownKeysIn(object, pointer, field, known);
}

}  // namespace yw::pack
