#include "world/binary_io.h"

#include <sys/stat.h>

#include <bit>
#include <cassert>
#include <cstring>
#include <fstream>
#include <system_error>

#include "platform/regular_file.h"

namespace yw {

namespace fs = std::filesystem;

void DecodeIntegers(std::string_view bytes, std::span<int16_t> out) {
  assert(bytes.size() >= out.size_bytes());
  if (out.empty()) return;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out.data(), bytes.data(), out.size_bytes());
  } else {
    for (size_t i = 0; i < out.size(); ++i) out[i] = DecodeInteger(bytes.data() + 2 * i);
  }
}

const unsigned char* BinaryReader::Fail() {
  ok_ = false;
  pos_ = bytes_.size();
  return nullptr;
}

void BinaryReader::Long(int32_t& v) {
  const unsigned char* p = Take(4);
  if (!p) {
    v = 0;
    return;
  }
  const uint32_t u = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  v = static_cast<int32_t>(u);
}

void BinaryReader::Single(float& v) {
  int32_t bits = 0;
  Long(bits);
  v = ok_ ? std::bit_cast<float>(bits) : 0.0f;
}

void BinaryReader::Name(std::string& v) {
  uint8_t n = 0;
  Byte(n);
  const unsigned char* p = Take(n);
  if (p)
    v.assign(reinterpret_cast<const char*>(p), n);
  else
    v.clear();
}

void BinaryReader::Flag(bool& v) {
  uint8_t b = 0;
  Byte(b);
  v = b != 0;
}

void BinaryReader::ExactFlag(bool& v) {
  uint8_t b = 0;
  Byte(b);
  v = b == 1;
}

void BinaryWriter::Integer(int16_t v) {
  const auto u = static_cast<uint16_t>(v);
  Byte(static_cast<uint8_t>(u & 0xFF));
  Byte(static_cast<uint8_t>(u >> 8));
}

void BinaryWriter::Long(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  for (int shift = 0; shift < 32; shift += 8) Byte(static_cast<uint8_t>((u >> shift) & 0xFF));
}

void BinaryWriter::Single(float v) { Long(std::bit_cast<int32_t>(v)); }

void BinaryWriter::Name(std::string_view v) {
  const size_t n = v.size() > 255 ? 255 : v.size();
  Byte(static_cast<uint8_t>(n));
  out_.append(v.substr(0, n));
}

std::optional<std::string> ReadFileBytes(const fs::path& file, size_t limit) {
  const FilePtr in = OpenRegularFile(file);
  if (!in) return std::nullopt;
  struct stat st {};
  if (::fstat(::fileno(in.get()), &st) != 0 || st.st_size < 0 ||
      static_cast<uint64_t>(st.st_size) > limit)
    return std::nullopt;
  const auto size = static_cast<size_t>(st.st_size);
  std::string bytes(size, '\0');
  if (std::fread(bytes.data(), 1, size, in.get()) != size) return std::nullopt;
  return bytes;
}

bool WriteFileBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace yw
