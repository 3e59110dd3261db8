// The state of the list on screen; one set shared by all lists.
#pragma once

#include <cstdint>

#include "world/table.h"

namespace yw {

struct ListRow {
  int16_t entry = 0;
  int16_t handX = 0, handY = 0;
};

struct ListState {
  int32_t CurrentList = 0;
  int16_t ListCursor = 0;
  int16_t ListScroll = 0;
  int16_t ListMaxScroll = 0;
  Table<ListRow> ListRows;
  int16_t ListRowCount = 0;
};

}  // namespace yw
