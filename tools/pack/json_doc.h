// JSON sources with the line of every value, so that a problem can be
// reported at the line an author has to change.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <unordered_map>

namespace yw::pack {

// Objects keep their keys in the order written, so that unpacked sources
// list the fields in file order.
using Json = nlohmann::ordered_json;

struct JsonDoc {
  Json root;
  // JSON pointer ("/layers/0/data/15") -> 1-based line of the value.
  std::unordered_map<std::string, int> lines;
  // Set when the text is not valid JSON.
  std::string error;
  int errorLine = 0;

  bool Ok() const { return error.empty(); }
  // The line of the value at `pointer`, or of its nearest enclosing value.
  int LineOf(std::string pointer) const;
};

JsonDoc ParseJson(std::string_view text);

// Pointer helpers: "/a" + key, "/a" + index (keys escaped as JSON pointer).
std::string Child(const std::string& pointer, std::string_view key);
std::string Child(const std::string& pointer, size_t index);

// The JSON text of `value` as the unpacker writes it: two-space indent,
// small flat objects and number arrays on one line, except that the "data"
// of an object with a "width" (a map layer) gets one line per row.
std::string Pretty(const Json& value);

}  // namespace yw::pack
