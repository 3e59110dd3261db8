// What is wrong with a text that is not valid JSON, in the words of an
// author fixing it: the place of the mistake (where the missing comma
// belongs, the quote that is never closed, the bracket that never ends)
// and a plain description.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace yw::pack {

struct JsonSyntaxError {
  int line = 1;    // from 1
  int column = 1;  // from 1, in characters of the line
  std::string message;
};

// The first syntax mistake of `text` (strict JSON as Tiled and the tool
// write it, after an optional UTF-8 byte order mark), or nothing when it is
// valid JSON. Values nested deeper than `maxDepth` are a mistake too.
std::optional<JsonSyntaxError> FindJsonSyntaxError(std::string_view text, size_t maxDepth);

}  // namespace yw::pack
