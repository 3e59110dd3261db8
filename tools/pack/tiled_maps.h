// Maps drawn with the Tiled map editor (orthogonal; JSON maps, or TMX maps
// read into the same document by tiled_xml.h) as the source of a map file
// and its eventmap file.
//
// Layers (hidden ones are not built, except event layers):
// - the ground: the tile layer named "tiles" (in any letter case), else the
//   lowest tile layer. Empty cells show a black tile, or the tile the map
//   property "fill" names.
// - doodads: the tile layers above the ground (the tiles on one cell are
//   drawn over one another into one doodad), and an object layer named
//   "doodads" of tile objects, each placed on the cell under its
//   bottom-left corner, or of objects with an integer property "doodad".
//   Objects keep their order, which the map file keeps too.
// - events: object layers named like "events" or whose objects carry event
//   properties; each object covers the cells whose centres lie inside it
//   and sets the properties it has: "enter", "leave", "use", "push" (script
//   names), "obstacle", "box" (true/false).
// Tiles of a tileset may carry the same six properties: every cell showing
// such a tile (as its tile or as its doodad) takes them first, then the
// event objects are applied in order.
//
// The build makes the tile sheet and the doodad sheet from the tilesets'
// pictures (tiled_sheets.h), named after the map file. Map properties:
// "tilemap" and "doodadmap" name sheets of the author's instead (tile
// number n is then the n-th tile of the cell's tileset, and flipped tiles
// cannot be stored), "mapfile" and "eventmapfile" (the files to build; by
// default the source's name with .map and .evm; an empty text builds none),
// and "eventmap_mapfile" (the map name the eventmap records; by default
// the map file's name).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "json_doc.h"
#include "platform/sdl/sdl_picture_pixels.h"
#include "source_fields.h"
#include "world/data_files.h"

namespace yw::pack {

struct BuiltMap {
  std::string mapFile;       // as named by the source; empty when none is built
  std::string tilesPointer;  // JSON pointer of the tile layer's data
  MapFileData map;
  std::string eventmapFile;
  EventmapFileData events;
  // The sheets made for the map and their pictures: game-relative name and
  // bytes.
  std::vector<std::pair<std::string, std::string>> sheets;
};

// Finds an external tileset (JSON or TSX) by the "source" the map gives
// (relative to the map's folder); nullptr when there is no such file, a
// document with its error when it cannot be read. The returned document
// must live as long as the build.
using TilesetLoader = std::function<const JsonDoc*(const std::string& source)>;
// Reads a tileset's picture by its name relative to the map's folder;
// nullptr when it cannot be read. The picture must live as long as the
// build.
using PictureLoader = std::function<const ArgbPicture*(const std::string& name)>;

// `stem` is the source's name without its extension, for the default
// output names. Nothing when the reader reported errors.
std::optional<BuiltMap> BuildTiledMap(SourceReader& in, const std::string& stem,
                                      const TilesetLoader& loadTileset,
                                      const PictureLoader& loadPicture = nullptr);

// Where the unpacker put the tilesets of a map's sheets (relative to the
// map source), and how many tiles they have; an empty source when the sheet
// has none.
struct TilesetLink {
  std::string source;
  int count = 0;
};

// A Tiled map holding the map (when given) and the eventmap (when given).
// Without a map, the eventmap's size is used and no map file is built.
Json MapToTiled(const MapFileData* map, const std::string& mapFile, const EventmapFileData* events,
                const std::string& eventmapFile, int tileWidth, int tileHeight,
                const TilesetLink& tiles, const TilesetLink& doodads);

// A Tiled tileset showing the sheet's pictures: one tile per record, cut
// from `image` (a path relative to the tileset).
Json TilesetFromTiles(const TileSheetFile& sheet, const std::string& name, const std::string& image,
                      int imageWidth, int imageHeight);
Json TilesetFromSprites(const SpriteSheetFile& sheet, const std::string& name,
                        const std::string& image, int imageWidth, int imageHeight, int tileWidth,
                        int tileHeight);

}  // namespace yw::pack
