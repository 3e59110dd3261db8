// Reading an event layer: width x height cell records (four names and two
// flags each), row by row.
//
// A map is made of few kinds of cell, and alike cells stand next to each
// other, so the reader keeps the last few distinct records it learned and
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
  // Longer records are compared a word at a time, the last word ending on
  // the record's last byte.
  bool At(const char* p, size_t left) const {
    const size_t n = raw_.size();
    if (left < 8 || left < n) return left >= n && std::memcmp(p, raw_.data(), n) == 0;
    if (n <= 8) return (Word(p) & mask_) == word_;
    for (size_t i = 0; i + 8 < n; i += 8)
      if (Word(p + i) != Word(raw_.data() + i)) return false;
    return Word(p + n - 8) == Word(raw_.data() + n - 8);
  }
  // How many times in a row, at most `limit`, the record repeats from p.
  size_t Repeats(const char* p, size_t left, size_t limit) const {
    const size_t n = raw_.size();
    size_t count = 0;
    if (n <= 8) {
      const uint64_t mask = mask_, word = word_;
      for (; count < limit && left >= 8; ++count, p += n, left -= n)
        if ((Word(p) & mask) != word) return count;
    }
    // Longer records, and short ones in the last bytes of the data.
    for (; count < limit && At(p, left); ++count, p += n, left -= n) {
    }
    return count;
  }
  size_t Size() const { return raw_.size(); }
  static uint64_t Word(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
  }
  EventCells::Id Id() const { return id_; }

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
    const char* const data = bytes_.data();
    const size_t size = bytes_.size();
    size_t pos = 0;
    size_t current = kNone;
    for (size_t i = 0; i < cells;) {
      const size_t k = Find(pos, current);
      if (k == kNone) return false;
      const KnownRecord& record = recent_[k];
      const size_t n = record.Size();
      pos += n;
      const size_t run = 1 + record.Repeats(data + pos, size - pos, cells - i - 1);
      pos += (run - 1) * n;
      out_.AppendCells(record.Id(), run);
      i += run;
      current = k;
    }
    pos_ = pos;
    return true;
  }
  size_t BytesRead() const { return pos_; }

 private:
  static constexpr size_t kNone = SIZE_MAX;

  // The place among the recent records of the record at `pos`. The record
  // of the run that just ended (`current`) is skipped: the bytes ahead are
  // known not to repeat it.
  size_t Find(size_t pos, size_t current) {
    const char* p = bytes_.data() + pos;
    const size_t left = bytes_.size() - pos;
    for (size_t k = 0; k < recentCount_; ++k)
      if (k != current && recent_[k].At(p, left)) return k;
    return Learn(pos);
  }

  // Measures the record at `pos`, finds or makes its entry and keeps it
  // among the recent records in place of the oldest.
  size_t Learn(size_t pos) {
    const std::string_view rest = bytes_.substr(pos);
    BinarySkipper skip(rest);
    const EventCell shape;
    EventCellRecord(skip, shape);
    if (!skip.Ok()) return kNone;
    const std::string_view raw = rest.substr(0, skip.Position());
    auto [it, added] = seen_.try_emplace(raw, 0);
    if (added) {
      BinaryReader one(raw);
      EventCell cell;
      EventCellRecord(one, cell);
      it->second = out_.AddEntry(std::move(cell));
    }
    const size_t k = learned_++ % recent_.size();
    recent_[k] = KnownRecord(raw, it->second);
    recentCount_ = std::min(recentCount_ + 1, recent_.size());
    return k;
  }

  std::string_view bytes_;
  EventCells& out_;
  size_t pos_ = 0;
  std::array<KnownRecord, 4> recent_{};
  size_t recentCount_ = 0, learned_ = 0;
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
  out.ShrinkToFit();
  r.Skip(scanner.BytesRead());
  return LoadStatus::Ok;
}

}  // namespace yw
