// Saving the running world to a file and restoring it: the saved games of
// the five slots and the fight snapshot.
#include <algorithm>
#include <cstdint>

#include "audio/sound.h"
#include "core/engine.h"
#include "core/window_state.h"
#include "render/compose.h"
#include "render/pictures.h"
#include "sim/effects.h"
#include "sim/game_files.h"
#include "sim/save_folder.h"
#include "world/binary_io.h"
#include "world/durable_write.h"
#include "world/paths.h"
#include "world/save_game.h"
#include "world/table_fill.h"

namespace yw {

namespace {

template <class T>
std::vector<T> Records(const Table<T>& table, int16_t count) {
  std::vector<T> out;
  for (int i = 1; i <= count && table.Has(i); ++i) out.push_back(table[i]);
  return out;
}

// An NPC's next time is saved as the time left until it, a Long: a time
// further ahead or behind than a Long reaches is saved as the farthest one.
Millis SavedTimeLeft(Millis nextTime, Millis now) {
  return std::clamp<Millis>(nextTime - now, INT32_MIN, INT32_MAX);
}

void CaptureMap(const World& w, SaveGameData& d) {
  d.mapFile = w.MapFile;
  d.tilemapFile = w.TilemapFile;
  d.doodadmapFile = w.DoodadmapFile;
  d.mapWidth = w.MapWidth;
  d.mapHeight = w.MapHeight;
  // The event layer is walked with the tile layer's size; cells outside a
  // smaller event layer are saved open, as the map treats them.
  d.eventmapFile = w.EventmapFile;
  d.eventmapMapFile = w.EventmapMapFile;
  d.eventWidth = w.MapWidth;
  d.eventHeight = w.MapHeight;
  for (int y = 1; y <= w.MapHeight; ++y) {
    for (int x = 1; x <= w.MapWidth; ++x) {
      const MapCell* cell = w.MapTiles.Find(x, y);
      d.tiles.push_back(cell ? cell->TILE : 0);
      if (cell && cell->DOODAD != 0)
        d.placements.push_back({static_cast<int16_t>(x), static_cast<int16_t>(y), cell->DOODAD});
    }
  }
  if (w.MapEvents.Width() == w.MapWidth && w.MapEvents.Height() == w.MapHeight) {
    d.events = w.MapEvents.Cells();
  } else {
    for (int y = 1; y <= w.MapHeight; ++y)
      for (int x = 1; x <= w.MapWidth; ++x) d.events.push_back(w.MapEvents.At(x, y));
  }
}

void CaptureSettings(Engine& e, SaveGameData& d) {
  const World& w = e.world;
  const WindowState& win = e.win;
  d.timeAniTime = win.TimeAniTime;
  d.timeWalkTime = win.TimeWalkTime;
  d.timeCharTime = win.TimeCharTime;
  d.keyEnabled = win.KeyEnabled;
  d.key = win.Key;
  d.lastKey = win.LastKey;
  d.wait4Relase = win.Wait4Relase;
  d.playerPosX = w.PlayerPosX;
  d.playerPosY = w.PlayerPosY;
  d.playerDirection = static_cast<int16_t>(w.PlayerDirection);
  d.savingActive = win.SavingActive;
  d.ambientName = w.AmbientName;
}

SaveGameData CaptureWorld(Engine& e, std::string_view description) {
  const World& w = e.world;
  SaveGameData d;
  d.description = std::string(description);
  d.tilePicture = w.TilePicture;
  d.tileWidth = w.TileWidth;
  d.tileHeight = w.TileHeight;
  d.tileDefs = Records(w.TileDefs, w.TileDefCount);
  d.doodads = {w.DoodadPicture, Records(w.DoodadDefs, w.DoodadDefCount)};
  d.units = {w.UnitPicture, Records(w.UnitDefs, w.UnitDefCount)};
  d.itemSprites = {w.ItemPicture, Records(w.ItemDefs, w.ItemDefCount)};
  CaptureMap(w, d);
  d.characters = {w.UnitDoodadmapFile, Records(w.Characters, w.CharacterCount)};
  d.items = {w.ItemDoodadmapFile, Records(w.Items, w.ItemCount)};
  CaptureSettings(e, d);
  d.party = Records(w.Party, w.PartyCount);
  d.npcs = Records(w.Npcs, w.NpcCount);
  const Millis now = e.Now();
  for (Npc& npc : d.npcs) npc.nextTime = SavedTimeLeft(npc.nextTime, now);
  return d;
}

void ApplySprites(SpriteSheetFile& sheet, std::string& picture, Table<SpriteDef>& defs,
                  int16_t& count) {
  picture = std::move(sheet.picture);
  ReplaceTable(defs, count, std::move(sheet.sprites));
}

// The tile and sprite definitions and the tile layer.
void ApplyMap(World& w, SaveGameData& d) {
  w.TilePicture = std::move(d.tilePicture);
  w.TileWidth = d.tileWidth;
  w.TileHeight = d.tileHeight;
  ReplaceTable(w.TileDefs, w.TileDefCount, std::move(d.tileDefs));
  ApplySprites(d.doodads, w.DoodadPicture, w.DoodadDefs, w.DoodadDefCount);
  ApplySprites(d.units, w.UnitPicture, w.UnitDefs, w.UnitDefCount);
  ApplySprites(d.itemSprites, w.ItemPicture, w.ItemDefs, w.ItemDefCount);
  w.MapFile = std::move(d.mapFile);
  w.TilemapFile = std::move(d.tilemapFile);
  w.DoodadmapFile = std::move(d.doodadmapFile);
  w.MapWidth = d.mapWidth;
  w.MapHeight = d.mapHeight;
  w.MapTiles.Reset(d.mapWidth, d.mapHeight);
  for (size_t i = 0; i < d.tiles.size(); ++i) {
    const int x = static_cast<int>(i % static_cast<size_t>(d.mapWidth)) + 1;
    const int y = static_cast<int>(i / static_cast<size_t>(d.mapWidth)) + 1;
    w.MapTiles(x, y).TILE = d.tiles[i];
  }
  w.MapEvents.Cover(w.MapWidth, w.MapHeight);
}

void ApplyEvents(World& w, SaveGameData& d) {
  for (const DoodadPlacement& p : d.placements) w.MapTiles(p.x, p.y).DOODAD = p.doodad;
  w.EventmapFile = std::move(d.eventmapFile);
  w.EventmapMapFile = std::move(d.eventmapMapFile);
  // A zero size keeps the event layer there is.
  if (d.eventWidth == 0 || d.eventHeight == 0) return;
  w.MapEvents.Assign(d.eventWidth, d.eventHeight, std::move(d.events));
  w.MapEvents.Cover(w.MapWidth, w.MapHeight);
}

void ApplySettings(Engine& e, const SaveGameData& d) {
  World& w = e.world;
  WindowState& win = e.win;
  win.TimeAniTime = d.timeAniTime;
  win.TimeWalkTime = d.timeWalkTime;
  win.TimeCharTime = d.timeCharTime;
  win.KeyEnabled = d.keyEnabled;
  win.Key = d.key;
  win.LastKey = d.lastKey;
  win.Wait4Relase = d.wait4Relase;
  w.PlayerPosX = d.playerPosX;
  w.PlayerPosY = d.playerPosY;
  w.PlayerDirection = d.playerDirection;
  win.SavingActive = d.savingActive;
}

// The steps after a load: pictures, scripts, frames and a fresh screen.
bool FinishLoad(Engine& e, const std::string& ambient) {
  World& w = e.world;
  e.win.FightMode = false;
  LoadPix(e, 1);
  const bool scriptsLoaded = LoadScripts(e);
  ResetFrames(w);
  StepFrames(w);
  const auto tw = static_cast<float>(w.TileWidth);
  const auto th = static_cast<float>(w.TileHeight);
  ResetBufDelta(e, tw, th, tw, th);
  BackbufUpdate(e, false, true);
  BufFlip(e);
  PlayAmbient(e, ambient);
  return scriptsLoaded;
}

bool ApplySave(Engine& e, SaveGameData& d, bool snapshot) {
  World& w = e.world;
  ApplyMap(w, d);
  ApplyEvents(w, d);
  LinkDoodads(w);
  if (!snapshot) {
    w.UnitDoodadmapFile = std::move(d.characters.doodadmapFile);
    ReplaceTable(w.Characters, w.CharacterCount, std::move(d.characters.characters));
    w.ItemDoodadmapFile = std::move(d.items.doodadmapFile);
    ReplaceTable(w.Items, w.ItemCount, std::move(d.items.items));
  }
  ApplySettings(e, d);
  if (!snapshot) {
    e.win.GameMode = Mode::Map;
    ReplaceTable(w.Party, w.PartyCount, std::move(d.party));
  }
  const Millis now = e.Now();
  for (Npc& npc : d.npcs) npc.nextTime += now;
  ReplaceTable(w.Npcs, w.NpcCount, std::move(d.npcs));
  return FinishLoad(e, d.ambientName);
}

}  // namespace

std::string SlotFileName(int slot) { return "slot" + std::to_string(slot) + ".sav"; }

// A saved game or the snapshot from the game's save folder.
std::optional<std::string> ReadSaveFile(const Engine& e, std::string_view fileName) {
  const auto file = ResolvePath(SaveFolder(e), fileName);
  if (!file) return std::nullopt;
  return ReadFileBytes(*file);
}

bool SaveState(Engine& e, std::string_view fileName, std::string_view description) {
  if (TrimBlanks(fileName).empty()) return false;
  const std::filesystem::path& folder = SaveFolder(e);
  // The player's save folder of a game is made at its first save; a game
  // folder is never made.
  std::error_code ec;
  if (folder != e.CurrentDir) std::filesystem::create_directories(folder, ec);
  return ReplaceFileDurably(PathForWriting(folder, fileName),
                            WriteSaveGame(CaptureWorld(e, description)));
}

bool LoadState(Engine& e, std::string_view fileName, bool snapshot) {
  if (TrimBlanks(fileName).empty()) return false;
  const auto bytes = ReadSaveFile(e, fileName);
  if (!bytes) return false;
  SaveGameData save;
  // The whole file is read and checked before anything is replaced.
  if (ReadSaveGame(*bytes, save) != LoadStatus::Ok || !SaveFitsItsMap(save)) return false;
  return ApplySave(e, save, snapshot);
}

std::optional<std::string> ReadSaveDescription(Engine& e, std::string_view fileName) {
  if (TrimBlanks(fileName).empty()) return std::nullopt;
  const auto bytes = ReadSaveFile(e, fileName);
  std::string description;
  if (!bytes || ReadSaveDescription(*bytes, description) != LoadStatus::Ok) return std::nullopt;
  return description;
}

}  // namespace yw
