// The game's binary data files as plain values: the doodadmap, tilemap,
// map and eventmap files and the character and item tables. Each format
// has a reader (used by the loaders) and a writer (for authoring tools and
// tests) built on the same record layouts.
//
// Pixel values are held as the file stores them; the readers take the zoom
// factor because a doodadmap's end mark is recognised after scaling.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "world/binary_io.h"
#include "world/world.h"

namespace yw {

// Why a file was not read.
enum class LoadStatus : uint8_t {
  Ok,
  BadVersion,      // the version Byte is not one this format accepts
  Truncated,       // the data ends inside a record or before an end mark
  BadSize,         // a negative or impossibly large map size
  TooManyRecords,  // more records than a count can hold
  ZeroTile,        // a map cell names tile 0; the tiles before it were read
  BadPlacement,    // a doodad placed outside the map
  TrailingBytes,   // bytes follow where the file should have ended
};

// Counts are 16-bit, so no table holds more records than this.
inline constexpr size_t kMaxRecords = 32767;
// The most cells a map or event layer may have (2048 x 2048).
inline constexpr int64_t kMaxMapCells = int64_t{1} << 22;

// Doodadmap file: a picture and its sprites. Used for map doodads, units
// and items alike.
struct SpriteSheetFile {
  std::string picture;
  std::vector<SpriteDef> sprites;
};

// Tilemap file.
struct TileSheetFile {
  std::string picture;
  int16_t tileWidth = 0, tileHeight = 0;
  std::vector<TileDef> tiles;
};

struct DoodadPlacement {
  int16_t x = 0, y = 0, doodad = 0;
  bool operator==(const DoodadPlacement&) const = default;
};

// Map file: the tile layer row by row (y outer, x inner) and the doodads.
struct MapFileData {
  std::string tilemapFile, doodadmapFile;
  int16_t width = 0, height = 0;
  std::vector<int16_t> tiles;
  std::vector<DoodadPlacement> doodads;
};

// A map's tile layer and placements checked in place, for loaders that take
// the values straight from the file's bytes: the views hold the tiles
// before any tile 0 (two bytes each) and the placements before the end mark
// (six bytes each), both little-endian Integers.
struct MapLayerView {
  std::string_view tiles, placements;
  size_t TileCount() const { return tiles.size() / 2; }
  int16_t Tile(size_t i) const { return DecodeInteger(tiles.data() + 2 * i); }
  DoodadPlacement Placement(size_t i) const {
    const char* p = placements.data() + 6 * i;
    return {DecodeInteger(p), DecodeInteger(p + 2), DecodeInteger(p + 4)};
  }
  size_t PlacementCount() const { return placements.size() / 6; }
};

// Eventmap file: cells row by row; none when either size is 0.
struct EventmapFileData {
  std::string mapFile;
  int16_t width = 0, height = 0;
  EventCells cells;
};

// chars.dat: the unit doodadmap file's name and the characters.
struct CharacterFileData {
  std::string doodadmapFile;
  std::vector<Character> characters;
};

// items.dat: the item doodadmap file's name and the items.
struct ItemFileData {
  std::string doodadmapFile;
  std::vector<Item> items;
};

// Readers. On a status other than Ok the output is incomplete and must not
// be used, except after ZeroTile (the map's header and the tiles before the
// bad one are filled).
LoadStatus ReadSpriteSheetFile(std::string_view bytes, float zoom, SpriteSheetFile& out);
LoadStatus ReadTileSheetFile(std::string_view bytes, float zoom, TileSheetFile& out);
LoadStatus ReadMapFile(std::string_view bytes, MapFileData& out);
// A map file's names and sizes, with its layer checked in place (the views
// point into `bytes`).
LoadStatus ReadMapFileView(std::string_view bytes, MapFileData& names, MapLayerView& layer);
LoadStatus ReadEventmapFile(std::string_view bytes, EventmapFileData& out);
LoadStatus ReadCharacterFile(std::string_view bytes, CharacterFileData& out);
LoadStatus ReadItemFile(std::string_view bytes, ItemFileData& out);

// Writers: the whole file's bytes. A map writes width x height tiles (missing
// ones as 0) and an eventmap width x height cells (missing ones empty) when
// both sizes are non-zero. A character or item with an empty NAME cannot be
// stored (its length Byte would read as the end mark): the list ends there.
// Likewise a sprite of seven zeros, a tile whose NEXT is 0 and a placement
// of three zeros end their lists.
std::string WriteSpriteSheetFile(const SpriteSheetFile& file);
std::string WriteTileSheetFile(const TileSheetFile& file);
std::string WriteMapFile(const MapFileData& file);
std::string WriteEventmapFile(const EventmapFileData& file);
std::string WriteCharacterFile(const CharacterFileData& file);
std::string WriteItemFile(const ItemFileData& file);

// The pieces the saved-game format shares with the data files. Each reads
// or writes one list up to and including its end mark.
int16_t ScalePixels(int16_t value, float zoom);
LoadStatus ReadSpriteList(BinaryReader& r, float zoom, std::vector<SpriteDef>& out);
void WriteSpriteList(BinaryWriter& w, const std::vector<SpriteDef>& sprites);
// Tile definitions up to the first NEXT of 0; with `endMarkOptional` the
// end of the data also ends the list.
LoadStatus ReadTileList(BinaryReader& r, float zoom, bool endMarkOptional,
                        std::vector<TileDef>& out);
void WriteTileList(BinaryWriter& w, const std::vector<TileDef>& tiles);
// Tiles of a width x height layer; stops at a tile 0 with ZeroTile.
LoadStatus ReadTileLayer(BinaryReader& r, int16_t width, int16_t height,
                         std::vector<int16_t>& out);
LoadStatus ReadPlacements(BinaryReader& r, int16_t width, int16_t height,
                          std::vector<DoodadPlacement>& out);
// The same two, checked in place.
LoadStatus ScanTileLayer(BinaryReader& r, int16_t width, int16_t height, MapLayerView& out);
LoadStatus ScanPlacements(BinaryReader& r, int16_t width, int16_t height, MapLayerView& out);
void WritePlacements(BinaryWriter& w, const std::vector<DoodadPlacement>& placements);
// Event cells of a width x height layer (nothing when either is 0).
LoadStatus ReadEventCells(BinaryReader& r, int16_t width, int16_t height, EventCells& out);
void WriteEventCells(BinaryWriter& w, int16_t width, int16_t height, const EventCells& cells);
// The body of chars.dat / items.dat after the version Byte.
LoadStatus ReadCharacterTable(BinaryReader& r, CharacterFileData& out);
void WriteCharacterTable(BinaryWriter& w, const CharacterFileData& file);
LoadStatus ReadItemTable(BinaryReader& r, ItemFileData& out);
void WriteItemTable(BinaryWriter& w, const ItemFileData& file);

// Validates a layer's size before anything is allocated: BadSize for a
// negative or too large size, Truncated when fewer than
// cells x `minCellBytes` bytes remain.
LoadStatus CheckLayerSize(const BinaryReader& r, int16_t width, int16_t height,
                          size_t minCellBytes);

// A list of records each marked by its non-empty NAME, ended by a Byte 0
// (characters, items, party members). `body` reads or writes the fields
// after the NAME.
template <class T, class Body>
LoadStatus ReadNamedList(BinaryReader& r, std::vector<T>& out, Body body) {
  out.clear();
  for (;;) {
    T record{};
    r.Name(record.NAME);
    if (!r.Ok()) return LoadStatus::Truncated;
    if (record.NAME.empty()) return LoadStatus::Ok;
    body(r, record);
    if (!r.Ok()) return LoadStatus::Truncated;
    if (out.size() >= kMaxRecords) return LoadStatus::TooManyRecords;
    out.push_back(std::move(record));
  }
}

template <class T, class Body>
void WriteNamedList(BinaryWriter& w, const std::vector<T>& records, Body body) {
  for (const T& record : records) {
    if (record.NAME.empty()) break;
    w.Name(record.NAME);
    body(w, record);
  }
  w.Byte(0);
}

}  // namespace yw
