// The event layer of a map: per cell the enter, leave, use and push scripts
// and the OBSTACLE and BOX flags.
//
// Maps are made of few kinds of cell (most cells have no script at all), so
// a layer keeps one table of distinct cells and a 32-bit number per cell
// that names its entry there. A 1024 x 1024 layer then takes 4 MB instead of
// four strings per cell, and loading it is a scan of the file rather than a
// million string constructions. Reading a cell is one indirection; a
// mutable reference first gives the cell an entry of its own (copy on
// write), so changing one cell never changes another.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace yw {

struct EventCell {
  std::string ENTERSCRIPT, LEAVESCRIPT, PUSHSCRIPT, USESCRIPT;
  bool BOX = false;
  bool passable = false;  // the script field OBSTACLE is its negation
  bool operator==(const EventCell&) const = default;
};

// A sequence of event cells (a layer row by row) with shared entries.
class EventCells {
 public:
  using Id = uint32_t;

  EventCells() { clear(); }
  // A layer made of these cells in order (alike neighbours share entries).
  EventCells(const std::vector<EventCell>& cells) {  // NOLINT: converting on purpose
    clear();
    reserve(cells.size());
    for (const EventCell& c : cells) push_back(c);
  }

  size_t size() const { return ids_.size(); }
  bool empty() const { return ids_.empty(); }

  const EventCell& operator[](size_t i) const { return entries_[ids_[i]]; }
  // The cell to change in place; it stops sharing its entry.
  EventCell& operator[](size_t i) { return Unshare(i); }
  void Set(size_t i, const EventCell& cell);

  // No cells; the entry table keeps only the plain cell (blocked, no
  // scripts).
  void clear();
  // Grows with plain cells or shrinks.
  void resize(size_t n);
  void reserve(size_t n) { ids_.reserve(n); }
  void push_back(const EventCell& cell);

  // For loaders that find the distinct cells themselves: adds an entry no
  // cell uses yet, then appends cells naming it.
  Id AddEntry(EventCell cell);
  void AppendCell(Id entry) { AppendCells(entry, 1); }
  // Appends n cells naming the same entry.
  void AppendCells(Id entry, size_t n) {
    if (n == 1)
      ids_.push_back(entry);
    else
      ids_.insert(ids_.end(), n, entry);
    uses_[entry] += static_cast<uint32_t>(n);
  }

  // Number of distinct entries held (at least 1).
  size_t EntryCount() const { return entries_.size(); }

  bool operator==(const EventCells& other) const;

  // Iteration by value of the cells in order; the mutable form unshares
  // each cell it reaches.
  template <class Owner, class Ref>
  class Iterator {
   public:
    Iterator(Owner* owner, size_t i) : owner_(owner), i_(i) {}
    Ref operator*() const { return (*owner_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const Iterator& o) const { return i_ == o.i_; }

   private:
    Owner* owner_;
    size_t i_;
  };
  auto begin() const { return Iterator<const EventCells, const EventCell&>(this, 0); }
  auto end() const { return Iterator<const EventCells, const EventCell&>(this, size()); }
  auto begin() { return Iterator<EventCells, EventCell&>(this, 0); }
  auto end() { return Iterator<EventCells, EventCell&>(this, size()); }

 private:
  EventCell& Unshare(size_t i);
  void Release(size_t i);

  std::vector<Id> ids_;
  // A deque keeps references to entries valid while entries are added, so
  // a script name read from a cell stays valid while its script changes
  // other cells.
  std::deque<EventCell> entries_;
  std::vector<uint32_t> uses_;  // cells naming each entry
};

// The event layer indexed (x, y) from 1, x varying fastest; at least 1 x 1.
class EventGrid {
 public:
  EventGrid() { Reset(1, 1); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Has(int x, int y) const { return x >= 1 && y >= 1 && x <= width_ && y <= height_; }

  const EventCell& operator()(int x, int y) const { return cells_[Index(x, y)]; }
  EventCell& operator()(int x, int y) { return cells_[Index(x, y)]; }
  const EventCell* Find(int x, int y) const { return Has(x, y) ? &cells_[Index(x, y)] : nullptr; }
  // The cell to change in place (it stops sharing its entry), or nullptr.
  EventCell* Find(int x, int y) { return Has(x, y) ? &cells_[Index(x, y)] : nullptr; }

  // Plain cells, width x height (at least 1 x 1).
  void Reset(int width, int height);
  // Takes a layer of width x height cells row by row; missing cells are
  // plain, extra ones dropped.
  void Assign(int width, int height, EventCells cells);
  const EventCells& Cells() const { return cells_; }

 private:
  size_t Index(int x, int y) const {
    return static_cast<size_t>(y - 1) * static_cast<size_t>(width_) + static_cast<size_t>(x - 1);
  }
  int width_ = 1, height_ = 1;
  EventCells cells_;
};

}  // namespace yw
