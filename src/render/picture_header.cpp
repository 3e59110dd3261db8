#include "render/picture_header.h"

#include <cstdlib>
#include <utility>

#include "world/binary_io.h"

namespace yw {

namespace {

using Bytes = std::span<const uint8_t>;

uint32_t Le16(Bytes b, size_t at) { return b[at] | (uint32_t{b[at + 1]} << 8); }
uint32_t Le32(Bytes b, size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }
uint32_t Be16(Bytes b, size_t at) { return (uint32_t{b[at]} << 8) | b[at + 1]; }
uint32_t Be32(Bytes b, size_t at) { return (Be16(b, at) << 16) | Be16(b, at + 2); }

std::optional<PictureSize> Sized(PictureFormat format, uint64_t width, uint64_t height) {
  if (width == 0 || height == 0 || width > UINT32_MAX || height > UINT32_MAX) return std::nullopt;
  return PictureSize{format, static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
}

// BMP: "BM", the 14-byte file header, then the info header whose first
// field is its own size. The old 12-byte core header holds 16-bit sides;
// the later ones 32-bit signed sides, a negative height meaning the rows
// run top down.
std::optional<PictureSize> ReadBmp(Bytes b) {
  if (b.size() < 18) return std::nullopt;
  const uint32_t infoSize = Le32(b, 14);
  if (infoSize == 12) {
    if (b.size() < 22) return std::nullopt;
    return Sized(PictureFormat::Bmp, Le16(b, 18), Le16(b, 20));
  }
  if (infoSize < 40 || b.size() < 26) return std::nullopt;
  const auto width = static_cast<int32_t>(Le32(b, 18));
  const auto height = static_cast<int32_t>(Le32(b, 22));
  if (width <= 0) return std::nullopt;
  return Sized(PictureFormat::Bmp, static_cast<uint64_t>(width),
               static_cast<uint64_t>(std::llabs(int64_t{height})));
}

// Start-of-frame markers: C0 to CF except C4 (Huffman tables), C8
// (reserved) and CC (arithmetic coding conditions).
bool IsStartOfFrame(uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Markers that stand alone, without a length: TEM and RST0 to RST7.
bool StandsAlone(uint8_t marker) { return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

// JPEG: after the start-of-image marker, segments follow one another, each
// a marker (0xFF, optional 0xFF fill bytes, the marker byte) and, for most,
// a 16-bit length that counts itself. The first start-of-frame segment
// holds precision, height and width. A scan or the end before it, or
// anything that is not a marker where one must be, is refused.
std::optional<PictureSize> ReadJpeg(Bytes b) {
  size_t at = 2;
  for (;;) {
    if (at >= b.size() || b[at] != 0xFF) return std::nullopt;
    while (at < b.size() && b[at] == 0xFF) ++at;
    if (at >= b.size()) return std::nullopt;
    const uint8_t marker = b[at++];
    if (marker == 0x00 || marker == 0xD8 || marker == 0xD9 || marker == 0xDA) return std::nullopt;
    if (StandsAlone(marker)) continue;
    if (at + 2 > b.size()) return std::nullopt;
    const uint32_t length = Be16(b, at);
    if (length < 2) return std::nullopt;
    if (IsStartOfFrame(marker)) {
      if (length < 7 || at + 7 > b.size()) return std::nullopt;
      return Sized(PictureFormat::Jpeg, Be16(b, at + 5), Be16(b, at + 3));
    }
    at += length;
  }
}

// PNG: the 8-byte signature, then the IHDR chunk (length 13) whose data
// starts with the 32-bit width and height.
std::optional<PictureSize> ReadPng(Bytes b) {
  static constexpr uint8_t kIhdr[] = {0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  if (b.size() < 24) return std::nullopt;
  for (size_t i = 0; i < sizeof kIhdr; ++i)
    if (b[8 + i] != kIhdr[i]) return std::nullopt;
  const uint32_t width = Be32(b, 16), height = Be32(b, 20);
  // The format allows at most 2^31 - 1 on a side.
  if (width > INT32_MAX || height > INT32_MAX) return std::nullopt;
  return Sized(PictureFormat::Png, width, height);
}

bool StartsWith(Bytes b, std::span<const uint8_t> head) {
  if (b.size() < head.size()) return false;
  for (size_t i = 0; i < head.size(); ++i)
    if (b[i] != head[i]) return false;
  return true;
}

}  // namespace

std::optional<PictureSize> ReadPictureSize(std::span<const uint8_t> bytes) {
  static constexpr uint8_t kBmp[] = {'B', 'M'};
  static constexpr uint8_t kJpeg[] = {0xFF, 0xD8};
  static constexpr uint8_t kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (StartsWith(bytes, kBmp)) return ReadBmp(bytes);
  if (StartsWith(bytes, kJpeg)) return ReadJpeg(bytes);
  if (StartsWith(bytes, kPng)) return ReadPng(bytes);
  return std::nullopt;
}

bool PictureFits(const PictureSize& size) {
  return size.width <= kMaxPictureSide && size.height <= kMaxPictureSide &&
         uint64_t{size.width} * size.height <= kMaxPicturePixels;
}

std::optional<PictureFile> ReadPictureFile(const std::filesystem::path& file) {
  auto bytes = ReadFileBytes(file, kMaxPictureFileSize);
  if (!bytes) return std::nullopt;
  const auto size =
      ReadPictureSize({reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()});
  if (!size || !PictureFits(*size)) return std::nullopt;
  return PictureFile{std::move(*bytes), *size};
}

}  // namespace yw
