// Loading the map files: doodadmap, tilemap, map and eventmap.
//
// A file is read whole and checked before anything is replaced: a file with
// a wrong version, cut short or with impossible sizes makes the loader
// return false and leaves the world as it was. The one partial result is
// the one games rely on: a map cell naming tile 0 leaves the tile layer
// read up to that cell.
#include <cstring>
#include <type_traits>

#include "core/engine.h"
#include "core/game_names.h"
#include "sim/effects.h"
#include "sim/game_files.h"
#include "world/data_files.h"
#include "world/paths.h"
#include "world/table_fill.h"

namespace yw {

namespace {

// The tables and names one kind of sprite fills.
struct SpriteFamily {
  Table<SpriteDef>& defs;
  int16_t& count;
  std::string& picture;
  std::string& fileName;
};

SpriteFamily FamilyOf(World& w, int kind) {
  switch (kind) {
    case 1: return {w.UnitDefs, w.UnitDefCount, w.UnitPicture, w.UnitDoodadmapFile};
    case 2: return {w.ItemDefs, w.ItemDefCount, w.ItemPicture, w.ItemDoodadmapFile};
    default: return {w.DoodadDefs, w.DoodadDefCount, w.DoodadPicture, w.DoodadmapFile};
  }
}

bool IsBlank(std::string_view name) { return TrimBlanks(name).empty(); }

// The tile layer and its doodads: width x height cells, the tiles in row
// order (as many as were read), then the placements.
void FillTileLayer(World& w, const MapFileData& map, const MapLayerView& layer) {
  w.MapWidth = map.width;
  w.MapHeight = map.height;
  // The grid holds the cells row by row, as the file does: each cell read
  // gets its tile and no doodad, and cells past a tile 0 stay zero. A cell
  // is two Integers, so this is one pass writing 4 bytes a cell.
  static_assert(std::is_trivially_copyable_v<MapCell> && sizeof(MapCell) == 4);
  w.MapTiles.Resize(map.width, map.height);
  const std::span<MapCell> cells = w.MapTiles.Cells();
  const size_t tiles = std::min(layer.TileCount(), cells.size());
  for (size_t i = 0; i < tiles; ++i) cells[i] = MapCell{layer.Tile(i), 0};
  std::memset(static_cast<void*>(cells.data() + tiles), 0,
              (cells.size() - tiles) * sizeof(MapCell));
  for (size_t i = 0; i < layer.PlacementCount(); ++i) {
    const DoodadPlacement p = layer.Placement(i);
    w.MapTiles(p.x, p.y).DOODAD = p.doodad;
  }
  // A map larger than the event layer there is gets open cells around it.
  w.MapEvents.Cover(w.MapWidth, w.MapHeight);
}

bool ClearMap(Engine& e, bool withLinks) {
  World& w = e.world;
  if (withLinks) {
    w.DoodadmapFile.clear();
    w.TilemapFile.clear();
  }
  w.MapWidth = 0;
  w.MapHeight = 0;
  w.MapTiles.Reset(1, 1);
  LinkDoodads(w);
  if (!withLinks) return true;
  return LoadSpriteDefs(e, "", 0) && LoadTileDefs(e, "");
}

}  // namespace

namespace {

// LoadSpriteDefs without the relinking of the map's doodads.
bool ReadSpriteDefs(Engine& e, std::string_view name, int kind) {
  if (kind < 0 || kind > 2) return false;
  World& w = e.world;
  SpriteFamily family = FamilyOf(w, kind);
  if (IsBlank(name)) {
    family.picture.clear();
    family.fileName.clear();
    family.count = 0;
    family.defs.Reset();
  } else {
    const auto bytes = ReadGameFile(e, name);
    SpriteSheetFile sheet;
    if (!bytes || ReadSpriteSheetFile(*bytes, w.Zoom, sheet) != LoadStatus::Ok) return false;
    family.picture = std::move(sheet.picture);
    ReplaceTable(family.defs, family.count, std::move(sheet.sprites));
    family.fileName = std::string(name);
  }
  ResetFrames(w);
  return true;
}

}  // namespace

bool LoadSpriteDefs(Engine& e, std::string_view name, int kind) {
  if (!ReadSpriteDefs(e, name, kind)) return false;
  DooReLink(e);
  return true;
}

bool LoadTileDefs(Engine& e, std::string_view name) {
  World& w = e.world;
  if (IsBlank(name)) {
    w.TilePicture.clear();
    w.TileDefCount = 0;
    w.TileWidth = 0;
    w.TileHeight = 0;
    w.TileDefs.Reset();
    ResetFrames(w);
    return true;
  }
  const auto bytes = ReadGameFile(e, name);
  TileSheetFile sheet;
  if (!bytes || ReadTileSheetFile(*bytes, w.Zoom, sheet) != LoadStatus::Ok) return false;
  w.TilePicture = std::move(sheet.picture);
  w.TileWidth = sheet.tileWidth;
  w.TileHeight = sheet.tileHeight;
  w.TileFrames.Reset();
  ReplaceTable(w.TileDefs, w.TileDefCount, std::move(sheet.tiles));
  w.TilemapFile = std::string(name);
  ResetFrames(w);
  return true;
}

bool LoadMapFile(Engine& e, std::string_view name, bool withLinks) {
  if (IsBlank(name)) return ClearMap(e, withLinks);
  World& w = e.world;
  const auto bytes = ReadGameFile(e, name);
  if (!bytes) return false;
  MapFileData map;
  MapLayerView layer;
  const LoadStatus status = ReadMapFileView(*bytes, map, layer);
  if (status != LoadStatus::Ok && status != LoadStatus::ZeroTile) return false;
  if (withLinks) {
    w.TilemapFile = map.tilemapFile;
    w.DoodadmapFile = map.doodadmapFile;
  }
  FillTileLayer(w, map, layer);
  bool ok = status == LoadStatus::Ok;
  if (ok) {
    w.MapFile = std::string(name);
    if (withLinks) ok = LoadTileDefs(e, w.TilemapFile) && ReadSpriteDefs(e, w.DoodadmapFile, 0);
  }
  // The cells were just built with no drawing state: linking them is all
  // a relink would do, whichever of the steps above failed.
  LinkDoodads(w);
  return ok;
}

bool LoadEventmapFile(Engine& e, std::string_view name, bool withMap) {
  World& w = e.world;
  if (IsBlank(name)) {
    w.EventmapMapFile.clear();
    w.EventmapFile.clear();
    w.MapEvents.Clear();
    return LoadMapFile(e, "", true);
  }
  const auto bytes = ReadGameFile(e, name);
  EventmapFileData events;
  if (!bytes || ReadEventmapFile(*bytes, events) != LoadStatus::Ok) return false;
  w.EventmapMapFile = std::move(events.mapFile);
  // A layer with a zero size leaves the previous map's events in place.
  if (events.width != 0 && events.height != 0)
    w.MapEvents.Assign(events.width, events.height, std::move(events.cells));
  // Cells of the map that the eventmap does not reach are open.
  w.MapEvents.Cover(w.MapWidth, w.MapHeight);
  w.EventmapFile = std::string(name);
  if (!withMap) {
    w.EventmapMapFile = w.MapFile;
    return true;
  }
  return LoadMapFile(e, w.EventmapMapFile, true);
}

}  // namespace yw
