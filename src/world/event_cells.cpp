#include "world/event_cells.h"

#include <algorithm>
#include <utility>

namespace yw {

void EventCells::clear() {
  size_ = 0;
  flat_ = false;
  runs_.clear();
  ids_.clear();
  entries_.assign(1, EventCell{});
  uses_.assign(1, 0);
}

void EventCells::reserve(size_t n) {
  constexpr size_t kMaxGuess = size_t{1} << 16;
  if (!flat_) runs_.reserve(runs_.size() + std::min(n / 4, kMaxGuess));
}

void EventCells::ShrinkToFit() {
  if (runs_.capacity() > 2 * runs_.size()) runs_.shrink_to_fit();
}

EventCells::Id EventCells::IdAt(size_t i) const {
  if (flat_) return ids_[i];
  const auto run = std::upper_bound(runs_.begin(), runs_.end(), i,
                                    [](size_t cell, const Run& r) { return cell < r.end; });
  return run->id;
}

void EventCells::Spread() {
  if (flat_) return;
  ids_.clear();
  ids_.reserve(size_);
  uint32_t start = 0;
  for (const Run& r : runs_) {
    ids_.insert(ids_.end(), r.end - start, r.id);
    start = r.end;
  }
  runs_.clear();
  runs_.shrink_to_fit();
  flat_ = true;
}

void EventCells::resize(size_t n) {
  if (n >= size_) {
    AppendCells(0, n - size_);
    return;
  }
  if (flat_) {
    for (size_t i = n; i < size_; ++i) --uses_[ids_[i]];
    ids_.resize(n);
  } else {
    // Drop the runs past n and cut the one that holds cell n.
    while (!runs_.empty()) {
      Run& last = runs_.back();
      const size_t start = runs_.size() > 1 ? runs_[runs_.size() - 2].end : 0;
      const size_t keep = std::max(start, n);
      uses_[last.id] -= static_cast<uint32_t>(last.end - keep);
      if (keep > start) {
        last.end = static_cast<uint32_t>(keep);
        break;
      }
      runs_.pop_back();
    }
  }
  size_ = n;
}

void EventCells::push_back(const EventCell& cell) {
  // Neighbouring cells are often alike: reuse the last cell's entry then.
  if (size_ != 0) {
    const Id last = flat_ ? ids_.back() : runs_.back().id;
    if (entries_[last] == cell) return AppendCell(last);
  }
  if (cell == entries_[0]) return AppendCell(0);
  AppendCell(AddEntry(cell));
}

EventCells::Id EventCells::AddEntry(EventCell cell) {
  entries_.push_back(std::move(cell));
  uses_.push_back(0);
  return static_cast<Id>(entries_.size() - 1);
}

EventCell& EventCells::Unshare(size_t i) {
  Spread();
  const Id id = ids_[i];
  // Entry 0 stays the plain cell for resize to hand out.
  if (id != 0 && uses_[id] == 1) return entries_[id];
  --uses_[id];
  const Id own = AddEntry(entries_[id]);
  ids_[i] = own;
  uses_[own] = 1;
  return entries_[own];
}

void EventCells::Set(size_t i, const EventCell& cell) { Unshare(i) = cell; }

bool EventCells::operator==(const EventCells& other) const {
  if (size() != other.size()) return false;
  for (auto a = begin(), b = other.begin(); a != end(); ++a, ++b)
    if (*a != *b) return false;
  return true;
}

const EventCell& OpenEventCell() {
  static const EventCell open = [] {
    EventCell cell;
    cell.passable = true;
    return cell;
  }();
  return open;
}

void EventGrid::Clear() {
  width_ = height_ = 1;
  cells_.clear();
  cells_.push_back(OpenEventCell());
}

void EventGrid::Cover(int width, int height) {
  if (width <= width_ && height <= height_) return;
  const int grownWidth = std::max(width, width_);
  const int grownHeight = std::max(height, height_);
  const auto extraColumns = static_cast<size_t>(grownWidth - width_);
  EventCells grown;
  const EventCells::Id open = grown.AddEntry(OpenEventCell());
  auto cell = std::as_const(cells_).begin();
  for (int y = 1; y <= height_; ++y) {
    for (int x = 1; x <= width_; ++x, ++cell) grown.push_back(*cell);
    grown.AppendCells(open, extraColumns);
  }
  grown.AppendCells(open,
                    static_cast<size_t>(grownWidth) * static_cast<size_t>(grownHeight - height_));
  width_ = grownWidth;
  height_ = grownHeight;
  cells_ = std::move(grown);
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
