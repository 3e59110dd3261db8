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

// Tile layer data ("data" of a Tiled layer, 4 million values on a 2048 x
// 2048 map) is held packed: the tile ids as 16-bit or, when one needs
// more, 32-bit little-endian numbers in a binary value, rather than one
// JSON value each. A list under the key "data" whose values are all whole
// numbers from 0 to 4294967295 is read this way; any other stays a list.
class PackedIds {
 public:
  // The ids of `value` when it is packed, else an empty view.
  static PackedIds Of(const Json& value);
  size_t size() const { return size_; }
  uint32_t operator[](size_t i) const;

 private:
  const uint8_t* bytes_ = nullptr;
  size_t size_ = 0;
  int width_ = 2;  // bytes a value
};

// Collects tile ids into a packed value, widening from 16 to 32 bits at the
// first id that needs it.
class IdPacker {
 public:
  void Push(uint32_t id);
  size_t size() const { return bytes_.size() / static_cast<size_t>(width_); }
  uint32_t operator[](size_t i) const;
  Json Take();

 private:
  std::vector<uint8_t> bytes_;
  int width_ = 2;
};

// The lines of a packed list's values: the index at which each new line
// begins (lines only grow along a list).
struct LineRun {
  uint32_t first;
  int line;
};

// The line of every value of a document, held as a tree shaped like the
// document (each value keeps its own key or index, not its whole path), so
// that the memory it takes grows with the text and not with its depth.
class LineIndex {
 public:
  // Adds a value under `parent` (kNone for the root) at `key` in an object,
  // or at the next index of an array when `key` is null; returns its id. A
  // key met twice keeps the last value, as the document does.
  uint32_t Add(uint32_t parent, const std::string* key, int line, bool container);
  // Adds a packed list (a value with the lines of its items as runs).
  uint32_t AddPacked(uint32_t parent, const std::string* key, int line, std::vector<LineRun> runs);
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
    std::vector<LineRun> runs;                       // packed lists
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
  // Set when the text is not valid JSON: what is wrong, in plain words, and
  // where (the column counts characters from 1; 0 when not known).
  std::string error;
  int errorLine = 0;
  int errorColumn = 0;

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
