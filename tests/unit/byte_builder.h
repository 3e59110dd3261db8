// Builds the bytes of a binary test file by hand, field by field, so that
// tests check the file layouts independently of the writers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace yw::test {

class Bytes {
 public:
  Bytes& u8(int v) {
    s_.push_back(static_cast<char>(v & 0xFF));
    return *this;
  }
  Bytes& i16(int v) { return u8(v).u8(v >> 8); }
  template <class... T>
  Bytes& ints(T... v) {
    (i16(v), ...);
    return *this;
  }
  Bytes& i32(int32_t v) { return i16(v & 0xFFFF).i16((v >> 16) & 0xFFFF); }
  Bytes& f32(float v) {
    int32_t bits;
    std::memcpy(&bits, &v, 4);
    return i32(bits);
  }
  Bytes& name(std::string_view text) {
    u8(static_cast<int>(text.size()));
    s_.append(text);
    return *this;
  }
  const std::string& str() const { return s_; }
  operator std::string_view() const { return s_; }

 private:
  std::string s_;
};

}  // namespace yw::test
