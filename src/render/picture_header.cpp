#include "render/picture_header.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
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
  // OS/2 2.x headers run from 16 to 64 bytes, Windows ones from 40.
  if (infoSize < 16 || b.size() < 26) return std::nullopt;
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
  static constexpr uint8_t kAdobe[] = {'A', 'd', 'o', 'b', 'e'};
  bool adobe = false;
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
      if (length < 8 || at + 8 > b.size()) return std::nullopt;
      auto size = Sized(PictureFormat::Jpeg, Be16(b, at + 5), Be16(b, at + 3));
      if (size) {
        size->precision = b[at + 2];
        size->components = b[at + 7];
        size->adobe = adobe;
      }
      return size;
    }
    if (marker == 0xEE && length >= 2 + sizeof kAdobe && at + 2 + sizeof kAdobe <= b.size())
      adobe = adobe || std::equal(std::begin(kAdobe), std::end(kAdobe), b.begin() + at + 2);
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
  if (!size || !PictureFits(*size) || size->precision != 8) return std::nullopt;
  return PictureFile{std::move(*bytes), *size};
}

std::string PictureFileProblem(const std::filesystem::path& file) {
  std::error_code ec;
  const uintmax_t fileSize = std::filesystem::file_size(file, ec);
  if (!ec && fileSize > kMaxPictureFileSize)
    return "a picture file may have at most " + std::to_string(kMaxPictureFileSize >> 20) + " MB";
  const auto bytes = ReadFileBytes(file, kMaxPictureFileSize);
  if (!bytes) return "cannot be read";
  const Bytes b{reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()};
  const auto size = ReadPictureSize(b);
  if (!size) {
    static constexpr uint8_t kJpeg[] = {0xFF, 0xD8};
    if (b.size() >= 2 &&
        (StartsWith(b, kJpeg) || (b[0] == 'B' && b[1] == 'M') || (b[0] == 0x89 && b[1] == 'P')))
      return "picture header malformed or cut short";
    return "not a BMP, JPEG or PNG file";
  }
  if (size->precision != 8) return "unsupported: " + std::to_string(size->precision) + "-bit JPEG";
  if (!PictureFits(*size))
    return "too large: " + std::to_string(size->width) + " x " + std::to_string(size->height) +
           " (at most 16384 on a side, 4096 x 4096 in all)";
  return "the picture cannot be decoded";
}

std::vector<std::string> PictureFileNames(const std::string& lower) {
  static constexpr std::string_view kExtensions[] = {".bmp", ".jpg", ".jpeg", ".png"};
  for (std::string_view ext : kExtensions)
    if (lower.ends_with(ext)) return {lower};
  std::vector<std::string> names;
  for (std::string_view ext : kExtensions) names.push_back(lower + std::string(ext));
  return names;
}

namespace {

// Bits of a channel mask: where it starts and how wide it is.
struct MaskBits {
  uint32_t shift = 0, width = 0;
};

MaskBits BitsOf(uint32_t mask) {
  MaskBits m;
  if (mask == 0) return m;
  while (((mask >> m.shift) & 1) == 0) ++m.shift;
  while (m.shift + m.width < 32 && ((mask >> (m.shift + m.width)) & 1)) ++m.width;
  return m;
}

uint32_t Channel(uint32_t pixel, MaskBits m) {
  if (m.width == 0) return 0;
  const uint64_t max = (uint64_t{1} << m.width) - 1;
  const uint64_t v = (pixel >> m.shift) & max;
  return static_cast<uint32_t>((v * 255 + max / 2) / max);
}

void PutLe(std::string& out, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A 40-byte Windows header with the given fields; the rest zero.
std::string WindowsHeader(uint32_t width, uint32_t height, uint32_t bits, uint32_t compression,
                          uint32_t colours) {
  std::string h(40, '\0');
  PutLe(h, 0, 40, 4);
  PutLe(h, 4, width, 4);
  PutLe(h, 8, height, 4);
  PutLe(h, 12, 1, 2);
  PutLe(h, 14, bits, 2);
  PutLe(h, 16, compression, 4);
  PutLe(h, 32, colours, 4);
  return h;
}

std::string FileHeader(size_t fileSize, size_t pixelsAt) {
  std::string f(14, '\0');
  f[0] = 'B';
  f[1] = 'M';
  PutLe(f, 2, static_cast<uint32_t>(fileSize), 4);
  PutLe(f, 10, static_cast<uint32_t>(pixelsAt), 4);
  return f;
}

// 16- or 32-bit pixels with channel masks, as plain 32-bit pixels.
std::optional<std::string> UnmaskBmp(Bytes b, uint32_t infoSize) {
  const auto width = static_cast<int32_t>(Le32(b, 18));
  const auto height = static_cast<int32_t>(Le32(b, 22));
  const uint32_t bits = Le16(b, 28), pixelsAt = Le32(b, 10);
  // The masks follow a 40-byte header, or sit inside a longer one.
  const size_t masksAt = 14 + 40;
  if (width <= 0 || height == 0 || masksAt + 12 > b.size() || infoSize < 40) return std::nullopt;
  const MaskBits red = BitsOf(Le32(b, masksAt)), green = BitsOf(Le32(b, masksAt + 4)),
                 blue = BitsOf(Le32(b, masksAt + 8));
  const uint64_t w = static_cast<uint64_t>(width);
  const uint64_t rows = static_cast<uint64_t>(std::llabs(int64_t{height}));
  const uint64_t stride = (w * bits + 31) / 32 * 4;
  if (pixelsAt > b.size() || stride * rows > b.size() - pixelsAt) return std::nullopt;
  if (w * rows > kMaxPicturePixels) return std::nullopt;
  std::string out = FileHeader(54 + w * rows * 4, 54);
  out += WindowsHeader(static_cast<uint32_t>(width), static_cast<uint32_t>(height), 32, 0, 0);
  out.resize(54 + w * rows * 4);
  size_t to = 54;
  for (uint64_t y = 0; y < rows; ++y) {
    const size_t row = pixelsAt + y * stride;
    for (uint64_t x = 0; x < w; ++x, to += 4) {
      const uint32_t pixel = bits == 32 ? Le32(b, row + x * 4) : Le16(b, row + x * 2);
      PutLe(out, to,
            Channel(pixel, blue) | (Channel(pixel, green) << 8) | (Channel(pixel, red) << 16) |
                0xFF000000u,
            4);
    }
  }
  return out;
}

// An OS/2 2.x header of fewer than 40 bytes, as a Windows one.
std::string WidenOs2Header(Bytes b, uint32_t infoSize) {
  const uint32_t compression = infoSize >= 20 ? Le32(b, 30) : 0;
  const uint32_t colours = infoSize >= 36 ? Le32(b, 46) : 0;
  const size_t grow = 40 - infoSize;
  std::string out = FileHeader(b.size() + grow, Le32(b, 10) + grow);
  out += WindowsHeader(Le32(b, 18), Le32(b, 22), Le16(b, 28), compression, colours);
  out.append(reinterpret_cast<const char*>(b.data()) + 14 + infoSize, b.size() - 14 - infoSize);
  return out;
}

}  // namespace

std::optional<std::string> RewriteBmpForDecoder(std::string_view bytes) {
  const Bytes b{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  if (b.size() < 34 || b[0] != 'B' || b[1] != 'M') return std::nullopt;
  const uint32_t infoSize = Le32(b, 14);
  if (infoSize >= 16 && infoSize < 40) {
    if (b.size() < 14 + infoSize) return std::nullopt;
    return WidenOs2Header(b, infoSize);
  }
  const uint32_t bits = Le16(b, 28), compression = Le32(b, 30);
  // 3: BITFIELDS; 6: BITFIELDS with an alpha mask.
  if (infoSize >= 40 && (compression == 3 || compression == 6) && (bits == 16 || bits == 32))
    return UnmaskBmp(b, infoSize);
  return std::nullopt;
}

}  // namespace yw
