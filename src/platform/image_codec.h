// Decoding picture files and writing PNG files.
#pragma once

#include <filesystem>

namespace yw {

class Surface;

class ImageCodec {
 public:
  virtual ~ImageCodec() = default;
  // Decodes a BMP, JPEG or PNG file. A file of another kind, or one whose
  // header declares a size beyond the picture limits (render/picture_header.h),
  // is refused before decoding. On failure `into` is left empty.
  virtual bool Load(const std::filesystem::path& file, Surface& into) = 0;
  virtual bool WritePng(const Surface& surface, const std::filesystem::path& file) = 0;
};

}  // namespace yw
