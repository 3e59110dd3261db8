// The event layer of a map: per cell the enter, leave, use and push scripts
// and the OBSTACLE and BOX flags.
//
// Maps are made of few kinds of cell (most cells have no script at all), so
// a layer keeps one table of distinct cells, and the cells name their entry
// there. As loaded, the cells are held as runs of alike neighbours: a large
// map of open ground is a handful of runs, and loading it writes a few
// bytes a run instead of a number per cell. Reading a cell finds its run
// by a binary search. A mutable reference first gives the cell an entry of
// its own (copy on write), so changing one cell never changes another; the
// first such change spreads the runs out into one number per cell, so that
// later changes cost the same wherever they fall.
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

// A sequence of event cells (a layer row by row) with shared entries; at
// most 2^32 - 1 cells (a layer is at most 32767 x 32767).
class EventCells {
 public:
  using Id = uint32_t;

  EventCells() { clear(); }
  // A layer made of these cells in order (alike neighbours share entries).
  EventCells(const std::vector<EventCell>& cells) {  // NOLINT: converting on purpose
    clear();
    for (const EventCell& c : cells) push_back(c);
  }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  const EventCell& operator[](size_t i) const { return entries_[IdAt(i)]; }
  // The cell to change in place; it stops sharing its entry.
  EventCell& operator[](size_t i) { return Unshare(i); }
  void Set(size_t i, const EventCell& cell);

  // No cells; the entry table keeps only the plain cell (blocked, no
  // scripts).
  void clear();
  // Grows with plain cells or shrinks.
  void resize(size_t n);
  void push_back(const EventCell& cell);
  // Room for n cells to come: runs are counted on as one for every few
  // cells, up to a bound, so that a large layer grows its storage a few
  // times rather than many (see ShrinkToFit).
  void reserve(size_t n);
  // Gives back room that a layer of few runs did not use.
  void ShrinkToFit();

  // For loaders that find the distinct cells themselves: adds an entry no
  // cell uses yet, then appends cells naming it.
  Id AddEntry(EventCell cell);
  void AppendCell(Id entry) { AppendCells(entry, 1); }
  // Appends n cells naming the same entry.
  void AppendCells(Id entry, size_t n) {
    if (n == 0) return;
    uses_[entry] += static_cast<uint32_t>(n);
    size_ += n;
    if (flat_)
      ids_.insert(ids_.end(), n, entry);
    else if (!runs_.empty() && runs_.back().id == entry)
      runs_.back().end = static_cast<uint32_t>(size_);
    else
      runs_.push_back({static_cast<uint32_t>(size_), entry});
  }

  bool operator==(const EventCells& other) const;

  // Iteration by value of the cells in order; the mutable form unshares
  // each cell it reaches.
  class ConstIterator {
   public:
    ConstIterator(const EventCells* owner, size_t i) : owner_(owner), i_(i) {}
    const EventCell& operator*() const { return owner_->entries_[EntryId()]; }
    ConstIterator& operator++() {
      ++i_;
      if (!owner_->flat_ && run_ < owner_->runs_.size() && i_ >= owner_->runs_[run_].end) ++run_;
      return *this;
    }
    bool operator==(const ConstIterator& o) const { return i_ == o.i_; }

   private:
    EventCells::Id EntryId() const {
      return owner_->flat_ ? owner_->ids_[i_] : owner_->runs_[run_].id;
    }
    const EventCells* owner_;
    size_t i_;
    size_t run_ = 0;  // the run holding cell i_ while the cells are runs
  };
  class Iterator {
   public:
    Iterator(EventCells* owner, size_t i) : owner_(owner), i_(i) {}
    EventCell& operator*() const { return (*owner_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const Iterator& o) const { return i_ == o.i_; }

   private:
    EventCells* owner_;
    size_t i_;
  };
  ConstIterator begin() const { return {this, 0}; }
  ConstIterator end() const { return {this, size()}; }
  Iterator begin() { return {this, 0}; }
  Iterator end() { return {this, size()}; }

 private:
  // Cells up to (not including) `end` name entry `id`, from the end of the
  // run before.
  struct Run {
    uint32_t end;
    Id id;
  };

  Id IdAt(size_t i) const;
  EventCell& Unshare(size_t i);
  // Turns the runs into one entry number per cell.
  void Spread();

  size_t size_ = 0;
  bool flat_ = false;  // the cells are in ids_, else in runs_
  std::vector<Run> runs_;
  std::vector<Id> ids_;
  // A deque keeps references to entries valid while entries are added, so
  // a script name read from a cell stays valid while its script changes
  // other cells.
  std::deque<EventCell> entries_;
  std::vector<uint32_t> uses_;  // cells naming each entry
};

// A cell the event layer does not hold (a map loaded without an eventmap,
// or one larger than its eventmap): it runs no script, may be entered and
// is no BOX. Saving writes such cells as this cell.
const EventCell& OpenEventCell();

// The event layer indexed (x, y) from 1, x varying fastest; at least 1 x 1.
class EventGrid {
 public:
  EventGrid() { Clear(); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Has(int x, int y) const { return x >= 1 && y >= 1 && x <= width_ && y <= height_; }

  const EventCell& operator()(int x, int y) const { return cells_[Index(x, y)]; }
  EventCell& operator()(int x, int y) { return cells_[Index(x, y)]; }
  const EventCell* Find(int x, int y) const { return Has(x, y) ? &cells_[Index(x, y)] : nullptr; }
  // The cell to change in place (it stops sharing its entry), or nullptr.
  EventCell* Find(int x, int y) { return Has(x, y) ? &cells_[Index(x, y)] : nullptr; }

  // The cell at (x, y), or the open cell when the layer does not hold it.
  const EventCell& At(int x, int y) const {
    const EventCell* cell = Find(x, y);
    return cell ? *cell : OpenEventCell();
  }

  // No eventmap: a single open cell.
  void Clear();
  // Plain cells, width x height (at least 1 x 1).
  void Reset(int width, int height);
  // Grows the layer with open cells until it holds width x height cells;
  // the cells it holds keep their places.
  void Cover(int width, int height);
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
