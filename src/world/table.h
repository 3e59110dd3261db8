// 1-based tables as the game data uses them: a table always holds at least
// one element, and its count of valid entries is kept separately by the
// owner (entries 1..count are valid; count 0 means empty).
#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <span>
#include <vector>

namespace yw {

template <class T>
class Table {
 public:
  Table() : items_(1) {}

  // Number of allocated elements (at least 1).
  int Size() const { return static_cast<int>(items_.size()); }
  bool Has(int i) const { return i >= 1 && i <= Size(); }

  T& operator[](int i) {
    assert(Has(i));
    return items_[static_cast<size_t>(i - 1)];
  }
  const T& operator[](int i) const {
    assert(Has(i));
    return items_[static_cast<size_t>(i - 1)];
  }
  // Element i, or nullptr when i is not allocated.
  T* Find(int i) { return Has(i) ? &items_[static_cast<size_t>(i - 1)] : nullptr; }
  const T* Find(int i) const { return Has(i) ? &items_[static_cast<size_t>(i - 1)] : nullptr; }

  // Grows or shrinks to n elements (at least 1), keeping the entries that
  // remain; new entries are default (zeros and empty strings).
  void Resize(int n) { items_.resize(static_cast<size_t>(std::max(n, 1))); }
  // Back to a single default element.
  void Reset() { items_.assign(1, T{}); }
  // Removes entry i, moving the later ones up; the table shrinks by one
  // (never below one element).
  void Remove(int i) {
    if (!Has(i)) return;
    items_.erase(items_.begin() + (i - 1));
    if (items_.empty()) items_.resize(1);
  }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<T> items_;
};

// A two-dimensional table indexed (x, y) from 1, x varying fastest.
template <class T>
class Grid {
 public:
  Grid() : width_(1), height_(1), cells_(1) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Has(int x, int y) const { return x >= 1 && y >= 1 && x <= width_ && y <= height_; }

  T& operator()(int x, int y) {
    assert(Has(x, y));
    return cells_[Index(x, y)];
  }
  const T& operator()(int x, int y) const {
    assert(Has(x, y));
    return cells_[Index(x, y)];
  }
  T* Find(int x, int y) { return Has(x, y) ? &cells_[Index(x, y)] : nullptr; }
  const T* Find(int x, int y) const { return Has(x, y) ? &cells_[Index(x, y)] : nullptr; }

  // All cells row by row, for passes over the whole grid.
  std::span<T> Cells() { return cells_; }
  std::span<const T> Cells() const { return cells_; }

  // Width x height cells (at least 1 x 1) of unspecified values, for a
  // caller that then sets every one; the storage is reused.
  void Resize(int width, int height) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    cells_.resize(static_cast<size_t>(width_) * height_);
  }

  // Reallocates to width x height default cells (at least 1 x 1).
  void Reset(int width, int height) {
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    cells_.assign(static_cast<size_t>(width_) * height_, T{});
  }

 private:
  size_t Index(int x, int y) const {
    return static_cast<size_t>(y - 1) * width_ + static_cast<size_t>(x - 1);
  }
  int width_, height_;
  std::vector<T> cells_;
};

}  // namespace yw
