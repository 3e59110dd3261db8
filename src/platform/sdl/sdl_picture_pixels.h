// Decoding a picture with its alpha channel, for the authoring tool, which
// cuts tiles out of Tiled's tileset pictures and needs to know which pixels
// are see-through. Works without a display.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace yw {

struct ArgbPicture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, row after row
};

// A BMP, JPEG or PNG file's pixels; pictures without an alpha channel are
// opaque. Nullopt when the file cannot be read or decoded, or declares a
// size beyond the picture limits (render/picture_header.h).
std::optional<ArgbPicture> LoadArgbPicture(const std::filesystem::path& file);

}  // namespace yw
