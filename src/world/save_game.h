// The saved-game file (also the fight snapshot) as a plain value, with its
// reader and writer. SaveState and LoadState move the world into and out of
// it; tools and tests may build or inspect one directly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "world/data_files.h"
#include "world/world.h"

namespace yw {

// The version written; version 1 files (party members without WEP and ARM)
// are read as well.
inline constexpr uint8_t kSaveVersion = 2;

struct SaveGameData {
  uint8_t version = kSaveVersion;
  std::string description;

  std::string tilePicture;
  int16_t tileWidth = 0, tileHeight = 0;  // already zoomed
  std::vector<TileDef> tileDefs;
  SpriteSheetFile doodads, units, itemSprites;  // already zoomed

  std::string mapFile, tilemapFile, doodadmapFile;
  int16_t mapWidth = 0, mapHeight = 0;
  std::vector<int16_t> tiles;  // row by row; shorter after a tile 0
  std::vector<DoodadPlacement> placements;

  std::string eventmapFile, eventmapMapFile;
  int16_t eventWidth = 0, eventHeight = 0;
  EventCells events;  // none when either size is 0

  CharacterFileData characters;
  ItemFileData items;

  int32_t timeAniTime = 0, timeWalkTime = 0, timeCharTime = 0;
  bool keyEnabled = false;
  int32_t key = 0, lastKey = 0;
  bool wait4Relase = false;
  float playerPosX = 0, playerPosY = 0;
  int16_t playerDirection = 0;
  bool savingActive = false;
  std::string ambientName;

  std::vector<PartyMember> party;
  std::vector<Npc> npcs;  // nextTime holds the time left, not a clock time
};

// Reads a saved game, which must end with its last end mark. After ZeroTile
// the fields up to the tile layer are filled (the tiles before the bad
// one); after any other status but Ok nothing may be used.
LoadStatus ReadSaveGame(std::string_view bytes, SaveGameData& out);
// Whether a save read without error also fits together: a map of at least
// one cell whose tile and event layers have its size, every tile set, the
// doodads on the map, and every position and step offset a finite number
// (positions off the map are allowed). A save that does not fit is refused
// before anything is replaced.
bool SaveFitsItsMap(const SaveGameData& save);
// Reads only the version and description (BadVersion unless 1 or 2).
LoadStatus ReadSaveDescription(std::string_view bytes, std::string& description);
// The file's bytes, always in the current version's layout.
std::string WriteSaveGame(const SaveGameData& save);

}  // namespace yw
