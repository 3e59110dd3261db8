// Feeds arbitrary bytes to every data-file reader: they must reject or
// read them without crashing, hanging or reading past the end.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "world/data_files.h"

namespace {
size_t taken = 0;  // inputs that some reader took as its file
}  // namespace

// For the smoke test: every seed is a data file one of the readers reads.
extern "C" size_t YwFuzzReached() { return taken; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  bool any = false;
  auto took = [&](yw::LoadStatus status) { any = any || status == yw::LoadStatus::Ok; };
  for (float zoom : {1.0f, 0.5f, 2.0f}) {
    yw::SpriteSheetFile sprites;
    took(yw::ReadSpriteSheetFile(bytes, zoom, sprites));
    yw::TileSheetFile tiles;
    took(yw::ReadTileSheetFile(bytes, zoom, tiles));
  }
  yw::MapFileData map;
  if (yw::ReadMapFile(bytes, map) == yw::LoadStatus::Ok) {
    any = true;
    // What was read writes back and reads again the same.
    yw::MapFileData again;
    if (yw::ReadMapFile(yw::WriteMapFile(map), again) != yw::LoadStatus::Ok) __builtin_trap();
  }
  yw::EventmapFileData events;
  took(yw::ReadEventmapFile(bytes, events));
  yw::CharacterFileData characters;
  took(yw::ReadCharacterFile(bytes, characters));
  yw::ItemFileData items;
  took(yw::ReadItemFile(bytes, items));
  if (any) ++taken;
  return 0;
}
