// Loading chars.dat and items.dat. Both files are optional; each names the
// doodadmap file with its sprites, which is loaded after the table.
#include "core/engine.h"
#include "core/game_names.h"
#include "sim/game_files.h"
#include "world/data_files.h"
#include "world/paths.h"
#include "world/table_fill.h"

namespace yw {

bool LoadCharacters(Engine& e) {
  World& w = e.world;
  if (!GameFileExists(e, "chars.dat")) {
    w.UnitDefCount = 0;
    w.CharacterCount = 0;
    w.Characters.Reset();
    w.UnitDefs.Reset();
    w.UnitFrames.Reset();
    w.UnitPicture.clear();
    w.UnitDoodadmapFile.clear();
    return true;
  }
  const auto bytes = ReadGameFile(e, "chars.dat");
  CharacterFileData file;
  if (!bytes || ReadCharacterFile(*bytes, file) != LoadStatus::Ok) return false;
  w.UnitDoodadmapFile = std::move(file.doodadmapFile);
  ReplaceTable(w.Characters, w.CharacterCount, std::move(file.characters));
  return LoadSpriteDefs(e, w.UnitDoodadmapFile, 1);
}

bool LoadItems(Engine& e) {
  World& w = e.world;
  if (!GameFileExists(e, "items.dat")) {
    w.ItemDefCount = 0;
    w.ItemCount = 0;
    w.Items.Reset();
    w.ItemDefs.Reset();
    w.ItemFrames.Reset();
    w.ItemPicture.clear();
    w.ItemDoodadmapFile.clear();
    return true;
  }
  const auto bytes = ReadGameFile(e, "items.dat");
  ItemFileData file;
  if (!bytes || ReadItemFile(*bytes, file) != LoadStatus::Ok) return false;
  w.ItemDoodadmapFile = std::move(file.doodadmapFile);
  ReplaceTable(w.Items, w.ItemCount, std::move(file.items));
  return LoadSpriteDefs(e, w.ItemDoodadmapFile, 2);
}

}  // namespace yw
