// JSON sources with the line of every value, so that a problem can be
// reported at the line an author has to change.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace yw::pack {

// Objects keep their keys in the order written, so that unpacked sources
// list the fields in file order.
using Json = nlohmann::ordered_json;

// The line of every value of a document, held as a tree shaped like the
// document (each value keeps its own key or index, not its whole path), so
// that the memory it takes grows with the text and not with its depth.
class LineIndex {
 public:
  // Adds a value under `parent` (kNone for the root) at `key` in an object,
  // or at the next index of an array when `key` is null; returns its id. A
  // key met twice keeps the last value, as the document does.
  uint32_t Add(uint32_t parent, const std::string* key, int line, bool container);
  // The line of the value at `pointer`, or of its nearest enclosing value.
  int LineOf(std::string_view pointer) const;

  static constexpr uint32_t kNone = UINT32_MAX;

 private:
  struct Node {
    int line = 0;
    uint32_t container = kNone;  // index into containers_
  };
  struct Container {
    std::vector<uint32_t> items;                     // arrays
    std::unordered_map<std::string, uint32_t> keys;  // objects
  };
  std::vector<Node> nodes_;
  std::vector<Container> containers_;
};

// Deeper nesting is refused: no source needs it, and the tool's readers
// walk the document recursively.
inline constexpr size_t kMaxJsonDepth = 100;

struct JsonDoc {
  Json root;
  LineIndex lines;
  // Set when the text is not valid JSON.
  std::string error;
  int errorLine = 0;

  bool Ok() const { return error.empty(); }
  // The line of the value at `pointer` ("/layers/0/data/15"), or of its
  // nearest enclosing value.
  int LineOf(std::string_view pointer) const { return lines.LineOf(pointer); }
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
