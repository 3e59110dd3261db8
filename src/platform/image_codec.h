// Decoding picture files and writing PNG files.
#pragma once

#include <filesystem>

namespace yw {

class Surface;

class ImageCodec {
 public:
  virtual ~ImageCodec() = default;
  virtual bool Load(const std::filesystem::path& file, Surface& into) = 0;
  virtual bool WritePng(const Surface& surface, const std::filesystem::path& file) = 0;
};

}  // namespace yw
