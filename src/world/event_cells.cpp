#include "world/event_cells.h"

#include <algorithm>

namespace yw {

void EventCells::clear() {
  ids_.clear();
  entries_.assign(1, EventCell{});
  uses_.assign(1, 0);
}

void EventCells::resize(size_t n) {
  if (n < ids_.size()) {
    for (size_t i = n; i < ids_.size(); ++i) Release(i);
    ids_.resize(n);
    return;
  }
  uses_[0] += static_cast<uint32_t>(n - ids_.size());
  ids_.resize(n, 0);
}

void EventCells::push_back(const EventCell& cell) {
  // Neighbouring cells are often alike: reuse the last cell's entry then.
  if (!ids_.empty() && entries_[ids_.back()] == cell) return AppendCell(ids_.back());
  if (cell == entries_[0]) return AppendCell(0);
  AppendCell(AddEntry(cell));
}

EventCells::Id EventCells::AddEntry(EventCell cell) {
  entries_.push_back(std::move(cell));
  uses_.push_back(0);
  return static_cast<Id>(entries_.size() - 1);
}

void EventCells::Release(size_t i) { --uses_[ids_[i]]; }

EventCell& EventCells::Unshare(size_t i) {
  const Id id = ids_[i];
  // Entry 0 stays the plain cell for resize to hand out.
  if (id != 0 && uses_[id] == 1) return entries_[id];
  Release(i);
  const Id own = AddEntry(entries_[id]);
  ids_[i] = own;
  uses_[own] = 1;
  return entries_[own];
}

void EventCells::Set(size_t i, const EventCell& cell) { Unshare(i) = cell; }

bool EventCells::operator==(const EventCells& other) const {
  if (size() != other.size()) return false;
  for (size_t i = 0; i < size(); ++i)
    if ((*this)[i] != other[i]) return false;
  return true;
}

void EventGrid::Reset(int width, int height) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  cells_.clear();
  cells_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_));
}

void EventGrid::Assign(int width, int height, EventCells cells) {
  width_ = std::max(width, 1);
  height_ = std::max(height, 1);
  cells_ = std::move(cells);
  cells_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_));
}

}  // namespace yw
