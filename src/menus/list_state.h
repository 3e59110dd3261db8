// The state of the list on screen; one set shared by all lists.
#pragma once

#include <cstddef>
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
  // The party member the member menu was opened for; the statistics and
  // equipment lists show this member.
  int16_t ListMember = 0;
  // The statistics text: where the page on screen starts and where the
  // next page starts (the text's length when it was the last page).
  size_t PageStart = 0, PageNext = 0;
};

}  // namespace yw
