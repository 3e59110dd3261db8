// Reading a picture file's format and size from its header, before any
// decoding, so that a file claiming an enormous size is refused before a
// decoder allocates memory for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace yw {

enum class PictureFormat : uint8_t { Bmp, Jpeg, Png };

struct PictureSize {
  PictureFormat format = PictureFormat::Bmp;
  uint32_t width = 0;
  uint32_t height = 0;
  // JPEG: bits a sample, colour components (4 for CMYK) and whether an
  // Adobe marker says the CMYK values are stored inverted.
  uint8_t precision = 8;
  uint8_t components = 3;
  bool adobe = false;
};

// Largest picture a game may use: at most 16384 pixels on a side and at
// most 16,777,216 pixels in all (4096 x 4096, 64 MiB decoded).
inline constexpr uint32_t kMaxPictureSide = 16384;
inline constexpr uint64_t kMaxPicturePixels = uint64_t{1} << 24;
// Largest picture file read: room for the largest picture at 32 bits a
// pixel and its headers.
inline constexpr size_t kMaxPictureFileSize = kMaxPicturePixels * 4 + (size_t{1} << 20);

// The format and size a BMP, JPEG or PNG file declares. Nullopt when the
// bytes are none of these, the header is cut short or malformed, or a side
// is 0. Reads only within `bytes`.
std::optional<PictureSize> ReadPictureSize(std::span<const uint8_t> bytes);

// Whether a picture of that size may be decoded.
bool PictureFits(const PictureSize& size);

// Why a picture file cannot be used ("unsupported: 12-bit JPEG", "not a
// BMP, JPEG or PNG file"), or "the picture cannot be decoded" when its
// header is fine: for the message naming a picture that failed to load.
std::string PictureFileProblem(const std::filesystem::path& file);

// A BMP the platform decoder does not take, rewritten as one it does: an
// OS/2 2.x header shorter than 40 bytes becomes a Windows one, and 16- or
// 32-bit pixels with channel masks (BITFIELDS) become plain 32-bit pixels.
// Nullopt when the file needs no rewriting or its pixels are cut short.
std::optional<std::string> RewriteBmpForDecoder(std::string_view bytes);

// Which picture files a name means, in the order they are looked for:
// the name itself when it carries a picture extension (.bmp, .jpg, .jpeg,
// .png), otherwise the name with .bmp, .jpg, .jpeg and .png. `lower` is
// the lower-cased name.
std::vector<std::string> PictureFileNames(const std::string& lower);

// A picture file's bytes with the size its header declares.
struct PictureFile {
  std::string bytes;
  PictureSize size;
};

// Reads a picture file whole, ready for a decoder. Nullopt when it cannot be
// read or is larger than kMaxPictureFileSize, when it is not a BMP, JPEG or
// PNG file, or when the size its header declares does not fit.
std::optional<PictureFile> ReadPictureFile(const std::filesystem::path& file);

}  // namespace yw
