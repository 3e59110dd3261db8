#include "world/event_cells.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace yw {
namespace {

// A layer is changed by every operation the loaders and scripts use, in a
// random order, beside a plain vector of cells: after each step every cell
// reads back the same, by index and in order, and alike cells never change
// together.
TEST(EventCells, EveryOperationKeepsTheCellsOfAPlainList) {
  std::mt19937 rng(11);
  std::vector<EventCell> kinds(4);
  kinds[1].passable = true;
  kinds[2].ENTERSCRIPT = "door.skr";
  kinds[3].USESCRIPT = "chest.skr";
  kinds[3].BOX = true;
  for (int round = 0; round < 40; ++round) {
    EventCells cells;
    std::vector<EventCell> want;
    for (int step = 0; step < 30; ++step) {
      const size_t n = 1 + rng() % 9;
      const int kind = static_cast<int>(rng() % kinds.size());
      switch (rng() % 5) {
        case 0:
        case 1: {  // as a loader does: a new entry, named by two runs
          const EventCells::Id id = cells.AddEntry(kinds[kind]);
          cells.AppendCells(id, n);
          cells.AppendCells(id, n / 2);
          want.insert(want.end(), n + n / 2, kinds[kind]);
          break;
        }
        case 2:
          cells.push_back(kinds[kind]);
          want.push_back(kinds[kind]);
          break;
        case 3: {  // shrink into a run, or grow with plain cells
          const size_t size = rng() % (want.size() + 8);
          cells.resize(size);
          want.resize(size);
          break;
        }
        default:
          if (want.empty()) break;
          const size_t i = rng() % want.size();
          if (rng() % 2) {
            cells.Set(i, kinds[kind]);
            want[i] = kinds[kind];
          } else {
            cells[i].LEAVESCRIPT = "changed.skr";
            want[i].LEAVESCRIPT = "changed.skr";
          }
      }
      ASSERT_EQ(cells.size(), want.size());
      const EventCells& read = cells;
      size_t i = 0;
      for (const EventCell& c : read) {
        ASSERT_EQ(c, want[i]) << "round " << round << " step " << step << " cell " << i;
        ASSERT_EQ(read[i], want[i]);
        ++i;
      }
      ASSERT_EQ(i, want.size());
      ASSERT_EQ(cells, EventCells(want));
    }
  }
}

}  // namespace
}  // namespace yw
