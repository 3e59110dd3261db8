// Feeds arbitrary bytes to every data-file reader: they must reject or
// read them without crashing, hanging or reading past the end.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "world/data_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (float zoom : {1.0f, 0.5f, 2.0f}) {
    yw::SpriteSheetFile sprites;
    yw::ReadSpriteSheetFile(bytes, zoom, sprites);
    yw::TileSheetFile tiles;
    yw::ReadTileSheetFile(bytes, zoom, tiles);
  }
  yw::MapFileData map;
  if (yw::ReadMapFile(bytes, map) == yw::LoadStatus::Ok) {
    // What was read writes back and reads again the same.
    yw::MapFileData again;
    if (yw::ReadMapFile(yw::WriteMapFile(map), again) != yw::LoadStatus::Ok) __builtin_trap();
  }
  yw::EventmapFileData events;
  yw::ReadEventmapFile(bytes, events);
  yw::CharacterFileData characters;
  yw::ReadCharacterFile(bytes, characters);
  yw::ItemFileData items;
  yw::ReadItemFile(bytes, items);
  return 0;
}
