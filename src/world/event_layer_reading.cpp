// Reading an event layer: width x height cell records (four names and two
// flags each), row by row.
//
// A map is made of few kinds of cell, and alike cells stand next to each
// other, so the reader keeps the last few distinct records it met and
// matches the bytes ahead against them: a run of alike cells costs a word
// comparison per cell and one append. A record not among them is measured
// by walking its layout and decoded only when its bytes were never seen.
#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

#include "world/data_files.h"
#include "world/record_layouts.h"

namespace yw {

namespace {

// A distinct record met in the layer and the entry it decodes to. Records
// of up to eight bytes (cells without scripts) are matched as one masked
// word.
class KnownRecord {
 public:
  KnownRecord() = default;
  KnownRecord(std::string_view raw, EventCells::Id id) : raw_(raw), id_(id) {
    if (raw.size() <= 8) {
      std::memcpy(&word_, raw.data(), raw.size());
      mask_ = raw.size() == 8 ? ~uint64_t{0} : (uint64_t{1} << (8 * raw.size())) - 1;
    }
  }

  // Whether the record starts at p, with `left` bytes from p to the end.
  bool At(const char* p, size_t left) const {
    if (raw_.size() <= 8 && left >= 8) {
      uint64_t word;
      std::memcpy(&word, p, 8);
      return (word & mask_) == word_;
    }
    return left >= raw_.size() && std::memcmp(p, raw_.data(), raw_.size()) == 0;
  }
  size_t Size() const { return raw_.size(); }
  EventCells::Id Id() const { return id_; }
  std::string_view Raw() const { return raw_; }

 private:
  std::string_view raw_;
  EventCells::Id id_ = 0;
  uint64_t word_ = 0, mask_ = 0;
};

class EventLayerScanner {
 public:
  EventLayerScanner(std::string_view bytes, EventCells& out) : bytes_(bytes), out_(out) {}

  // Reads `cells` records into the layer; false when one is cut short.
  bool Scan(size_t cells) {
    for (size_t i = 0; i < cells;) {
      const KnownRecord* record = Lookup();
      if (record == nullptr) return false;
      pos_ += record->Size();
      size_t run = 1;
      while (run < cells - i && record->At(bytes_.data() + pos_, bytes_.size() - pos_)) {
        pos_ += record->Size();
        ++run;
      }
      out_.AppendCells(record->Id(), run);
      i += run;
    }
    return true;
  }
  size_t BytesRead() const { return pos_; }

 private:
  // The record at the read position, now first among the recent ones.
  const KnownRecord* Lookup() {
    const char* p = bytes_.data() + pos_;
    const size_t left = bytes_.size() - pos_;
    for (size_t i = 0; i < recentCount_; ++i) {
      if (recent_[i].At(p, left)) {
        std::rotate(recent_.begin(), recent_.begin() + static_cast<ptrdiff_t>(i),
                    recent_.begin() + static_cast<ptrdiff_t>(i) + 1);
        return &recent_[0];
      }
    }
    return Learn();
  }

  // Measures the record at the read position and finds or makes its entry.
  const KnownRecord* Learn() {
    const std::string_view rest = bytes_.substr(pos_);
    BinarySkipper skip(rest);
    const EventCell shape;
    EventCellRecord(skip, shape);
    if (!skip.Ok()) return nullptr;
    const std::string_view raw = rest.substr(0, skip.Position());
    auto [it, added] = seen_.try_emplace(raw, 0);
    if (added) {
      BinaryReader one(raw);
      EventCell cell;
      EventCellRecord(one, cell);
      it->second = out_.AddEntry(std::move(cell));
    }
    recentCount_ = std::min(recentCount_ + 1, recent_.size());
    std::move_backward(recent_.begin(), recent_.end() - 1, recent_.end());
    recent_[0] = KnownRecord(raw, it->second);
    return &recent_[0];
  }

  std::string_view bytes_;
  EventCells& out_;
  size_t pos_ = 0;
  std::array<KnownRecord, 4> recent_{};
  size_t recentCount_ = 0;
  std::unordered_map<std::string_view, EventCells::Id> seen_;
};

}  // namespace

LoadStatus ReadEventCells(BinaryReader& r, int16_t width, int16_t height, EventCells& out) {
  out.clear();
  if (width == 0 || height == 0) return LoadStatus::Ok;
  // Four empty names and two flags: six bytes at least per cell.
  if (LoadStatus s = CheckLayerSize(r, width, height, 6); s != LoadStatus::Ok) return s;
  const auto cells = static_cast<size_t>(int64_t{width} * height);
  out.reserve(cells);
  EventLayerScanner scanner(r.Rest(), out);
  if (!scanner.Scan(cells)) return LoadStatus::Truncated;
  r.Skip(scanner.BytesRead());
  return LoadStatus::Ok;
}

}  // namespace yw
