// Seed inputs of the data-file target: one valid file of each format.
#include "seeds.h"
#include "world/data_files.h"

namespace yw::fuzz {

std::vector<std::string> Seeds() {
  SpriteSheetFile sprites{"units.bmp", {{0, 0, 16, 0, 16, 16, 2}, {32, 0, 48, 0, 16, 32, 1}}};
  TileSheetFile tiles{"tiles.bmp", 16, 16, {{0, 0, 2}, {16, 0, 1}, {32, 0, 3}}};
  MapFileData map{"town.til", "town.doo", 3, 2, {1, 2, 3, 1, 2, 3}, {{2, 1, 1}, {3, 2, 2}}};
  EventmapFileData events{"town.map", 2, 1, {}};
  events.cells.resize(2);
  events.cells[0].ENTERSCRIPT = "door.skr";
  events.cells[1].passable = true;
  CharacterFileData chars{"units.doo", {}};
  chars.characters.resize(2);
  chars.characters[0].NAME = "Ada";
  chars.characters[1].NAME = "Bram";
  ItemFileData items{"items.doo", {}};
  items.items.resize(1);
  items.items[0].NAME = "Sword";
  return {WriteSpriteSheetFile(sprites), WriteTileSheetFile(tiles), WriteMapFile(map),
          WriteEventmapFile(events),     WriteCharacterFile(chars),  WriteItemFile(items)};
}

}  // namespace yw::fuzz
