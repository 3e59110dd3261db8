// Tile layer data as Tiled stores it in text: Base64 of little-endian
// 32-bit tile ids, uncompressed or compressed with zlib, gzip or Zstandard.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yw::pack {

struct LayerData {
  std::vector<uint32_t> gids;
  std::string error;  // why the data cannot be read; empty when it can
};

// Whether `compression` names one that DecodeLayerData reads.
bool KnownCompression(std::string_view compression);

// The tile ids of a layer of `cells` cells. The data must unpack to exactly
// cells * 4 bytes; compressed data is never unpacked further than that, so a
// small text claiming or expanding to gigabytes costs no more than the layer.
// `compression` is "" (none), "zlib", "gzip" or "zstd".
LayerData DecodeLayerData(std::string_view base64, std::string_view compression, size_t cells);

}  // namespace yw::pack
