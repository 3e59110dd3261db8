// Replacing a whole table with freshly read records.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "world/table.h"

namespace yw {

// The table becomes exactly the records (one empty element when there are
// none) and the count their number. Callers keep the number within the
// range of a count.
template <class T>
void ReplaceTable(Table<T>& table, int16_t& count, std::vector<T>&& records) {
  table.Reset();
  table.Resize(static_cast<int>(records.size()));
  for (size_t i = 0; i < records.size(); ++i) table[static_cast<int>(i) + 1] = std::move(records[i]);
  count = static_cast<int16_t>(records.size());
}

}  // namespace yw
