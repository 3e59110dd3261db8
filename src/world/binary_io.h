// Little-endian reading and writing of the game's binary files: Byte,
// Integer (16-bit), Long (32-bit), Single (32-bit float) and names (a
// length Byte followed by that many bytes of text).
//
// The reader never reads past its data. Once a read runs short, every later
// read yields zero or an empty text and Ok() stays false, so a loader may
// read a whole record and check once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace yw {

// The largest data or saved-game file the loaders read into memory. A map
// of 2048 x 2048 cells with its events fits well within it.
inline constexpr size_t kMaxDataFileSize = size_t{64} * 1024 * 1024;

// The little-endian Integer at p.
inline int16_t DecodeInteger(const char* p) {
  const auto* u = reinterpret_cast<const unsigned char*>(p);
  return static_cast<int16_t>(static_cast<uint16_t>(u[0] | (u[1] << 8)));
}

class BinaryReader {
 public:
  explicit BinaryReader(std::string_view bytes) : bytes_(bytes) {}

  void Byte(uint8_t& v) {
    const unsigned char* p = Take(1);
    v = p ? p[0] : 0;
  }
  void Integer(int16_t& v) {
    const unsigned char* p = Take(2);
    v = p ? DecodeInteger(reinterpret_cast<const char*>(p)) : 0;
  }
  void Long(int32_t& v);
  void Single(float& v);
  void Name(std::string& v);
  // A flag Byte: true for any value other than 0.
  void Flag(bool& v);
  // A flag Byte that is true only when it is exactly 1.
  void ExactFlag(bool& v);

  bool Ok() const { return ok_; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  size_t Remaining() const { return bytes_.size() - pos_; }
  // The bytes not read yet, and moving past n of them.
  std::string_view Rest() const { return bytes_.substr(pos_); }
  void Skip(size_t n) { Take(n); }

 private:
  // The next n bytes, or nullptr (and the reader failed) when fewer remain.
  const unsigned char* Take(size_t n) {
    if (!ok_ || n > bytes_.size() - pos_) return Fail();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + pos_);
    pos_ += n;
    return p;
  }
  const unsigned char* Fail();

  std::string_view bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// Walks a record's layout without storing anything, to learn how many
// bytes the record takes. It has the reader's calls for a const record.
class BinarySkipper {
 public:
  explicit BinarySkipper(std::string_view bytes) : bytes_(bytes) {}

  void Byte(const uint8_t&) { Advance(1); }
  void Integer(const int16_t&) { Advance(2); }
  void Long(const int32_t&) { Advance(4); }
  void Single(const float&) { Advance(4); }
  void Name(const std::string&) {
    if (pos_ < bytes_.size()) Advance(1 + static_cast<uint8_t>(bytes_[pos_]));
    else ok_ = false;
  }
  void Flag(const bool&) { Advance(1); }
  void ExactFlag(const bool&) { Advance(1); }

  bool Ok() const { return ok_; }
  size_t Position() const { return pos_; }

 private:
  void Advance(size_t n) {
    if (ok_ && n <= bytes_.size() - pos_) pos_ += n;
    else ok_ = false;
  }
  std::string_view bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

class BinaryWriter {
 public:
  void Byte(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void Integer(int16_t v);
  void Long(int32_t v);
  void Single(float v);
  // Names longer than 255 bytes are cut to 255: the length is one Byte.
  void Name(std::string_view v);
  // Flags are written as 1 for true and 0 for false.
  void Flag(bool v) { Byte(v ? 1 : 0); }
  void ExactFlag(bool v) { Flag(v); }
  // Room for n more bytes, so that a large file grows its buffer once.
  void Reserve(size_t n) { out_.reserve(out_.size() + n); }

  const std::string& Bytes() const& { return out_; }
  // The bytes without a copy (a map's event layer may be tens of
  // megabytes).
  std::string Bytes() && { return std::move(out_); }

 private:
  std::string out_;
};

// Decodes out.size() little-endian Integers from the start of `bytes`, which
// must hold at least that many.
void DecodeIntegers(std::string_view bytes, std::span<int16_t> out);

// The whole content of a file, or nullopt when it cannot be read or is
// larger than `limit` bytes.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file,
                                         size_t limit = kMaxDataFileSize);
// Creates (or truncates) the file and writes the bytes; false on failure.
bool WriteFileBytes(const std::filesystem::path& file, std::string_view bytes);

}  // namespace yw
