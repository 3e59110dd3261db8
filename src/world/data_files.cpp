#include "world/data_files.h"

#include <algorithm>
#include <span>

#include "world/paths.h"
#include "world/record_layouts.h"
#include "world/rounding.h"

namespace yw {

namespace {

constexpr uint8_t kDataVersion = 1;

bool ReadVersion(BinaryReader& r) {
  uint8_t version = 0;
  r.Byte(version);
  return r.Ok() && version == kDataVersion;
}

bool IsEndMark(const SpriteDef& s) { return s == SpriteDef{}; }

// The index of the first 0 in `values`, or its size. Blocks are tested
// whole first so that the common case, no zero at all, runs vectorised.
size_t FirstZero(std::span<const int16_t> values) {
  constexpr size_t kBlock = 256;
  size_t start = 0;
  for (; start + kBlock <= values.size(); start += kBlock) {
    bool zero = false;
    for (size_t i = start; i < start + kBlock; ++i) zero |= values[i] == 0;
    if (zero) break;
  }
  for (size_t i = start; i < values.size(); ++i)
    if (values[i] == 0) return i;
  return values.size();
}

}  // namespace

int16_t ScalePixels(int16_t value, float zoom) {
  return CInt(static_cast<float>(value) * zoom);
}

LoadStatus CheckLayerSize(const BinaryReader& r, int16_t width, int16_t height,
                          size_t minCellBytes) {
  if (width < 0 || height < 0) return LoadStatus::BadSize;
  const int64_t cells = int64_t{width} * height;
  if (cells > kMaxMapCells) return LoadStatus::BadSize;
  if (static_cast<uint64_t>(cells) * minCellBytes > r.Remaining()) return LoadStatus::Truncated;
  return LoadStatus::Ok;
}

// --- Lists shared with the saved-game format --------------------------------

LoadStatus ReadSpriteList(BinaryReader& r, float zoom, std::vector<SpriteDef>& out) {
  out.clear();
  for (;;) {
    SpriteDef s;
    SpriteDefRecord(r, s);
    if (!r.Ok()) return LoadStatus::Truncated;
    for (int16_t* v : {&s.picX, &s.picY, &s.maskX, &s.maskY, &s.width, &s.height})
      *v = ScalePixels(*v, zoom);
    // A record that scales to all zeros ends the list like the end mark.
    if (IsEndMark(s)) return LoadStatus::Ok;
    if (out.size() >= kMaxRecords) return LoadStatus::TooManyRecords;
    out.push_back(s);
  }
}

// A record that reads as the end mark ends the list here too, so that the
// data after it can still be read.
void WriteSpriteList(BinaryWriter& w, const std::vector<SpriteDef>& sprites) {
  for (const SpriteDef& s : sprites) {
    if (IsEndMark(s)) break;
    SpriteDefRecord(w, s);
  }
  const SpriteDef end{};
  SpriteDefRecord(w, end);
}

LoadStatus ReadTileList(BinaryReader& r, float zoom, bool endMarkOptional,
                        std::vector<TileDef>& out) {
  out.clear();
  for (;;) {
    if (endMarkOptional && r.AtEnd()) return LoadStatus::Ok;
    TileDef t;
    TileDefRecord(r, t);
    if (!r.Ok()) return LoadStatus::Truncated;
    if (t.NEXT == 0) return LoadStatus::Ok;
    if (out.size() >= kMaxRecords) return LoadStatus::TooManyRecords;
    t.x = ScalePixels(t.x, zoom);
    t.y = ScalePixels(t.y, zoom);
    out.push_back(t);
  }
}

void WriteTileList(BinaryWriter& w, const std::vector<TileDef>& tiles) {
  for (const TileDef& t : tiles) {
    if (t.NEXT == 0) break;
    TileDefRecord(w, t);
  }
  const TileDef end{};
  TileDefRecord(w, end);
}

LoadStatus ReadTileLayer(BinaryReader& r, int16_t width, int16_t height,
                         std::vector<int16_t>& out) {
  out.clear();
  if (LoadStatus s = CheckLayerSize(r, width, height, 2); s != LoadStatus::Ok) return s;
  // The size check above guarantees the whole layer is there: decode it in
  // one sweep, then look for a tile 0, which ends the layer early.
  const auto cells = static_cast<size_t>(int64_t{width} * height);
  const std::string_view bytes = r.Rest().substr(0, cells * 2);
  out.resize(cells);
  DecodeIntegers(bytes, out);
  r.Skip(bytes.size());
  const size_t zero = FirstZero(out);
  if (zero == cells) return LoadStatus::Ok;
  out.resize(zero);
  return LoadStatus::ZeroTile;
}

LoadStatus ReadPlacements(BinaryReader& r, int16_t width, int16_t height,
                          std::vector<DoodadPlacement>& out) {
  out.clear();
  for (;;) {
    DoodadPlacement p;
    r.Integer(p.x);
    r.Integer(p.y);
    r.Integer(p.doodad);
    if (!r.Ok()) return LoadStatus::Truncated;
    if (p == DoodadPlacement{}) return LoadStatus::Ok;
    if (p.x < 1 || p.y < 1 || p.x > width || p.y > height) return LoadStatus::BadPlacement;
    out.push_back(p);
  }
}

void WritePlacements(BinaryWriter& w, const std::vector<DoodadPlacement>& placements) {
  for (const DoodadPlacement& p : placements) {
    if (p == DoodadPlacement{}) break;
    w.Integer(p.x);
    w.Integer(p.y);
    w.Integer(p.doodad);
  }
  for (int i = 0; i < 3; ++i) w.Integer(0);
}

void WriteEventCells(BinaryWriter& w, int16_t width, int16_t height, const EventCells& cells) {
  if (width <= 0 || height <= 0) return;
  const EventCell empty;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i) EventCellRecord(w, i < cells.size() ? cells[i] : empty);
}

LoadStatus ReadCharacterTable(BinaryReader& r, CharacterFileData& out) {
  r.Name(out.doodadmapFile);
  out.doodadmapFile = std::string(TrimBlanks(out.doodadmapFile));
  if (!r.Ok()) return LoadStatus::Truncated;
  return ReadNamedList(r, out.characters,
                       [](BinaryReader& io, Character& c) { CharacterBody(io, c); });
}

void WriteCharacterTable(BinaryWriter& w, const CharacterFileData& file) {
  w.Name(file.doodadmapFile);
  WriteNamedList(w, file.characters,
                 [](BinaryWriter& io, const Character& c) { CharacterBody(io, c); });
}

LoadStatus ReadItemTable(BinaryReader& r, ItemFileData& out) {
  r.Name(out.doodadmapFile);
  out.doodadmapFile = std::string(TrimBlanks(out.doodadmapFile));
  if (!r.Ok()) return LoadStatus::Truncated;
  return ReadNamedList(r, out.items, [](BinaryReader& io, Item& item) { ItemBody(io, item); });
}

void WriteItemTable(BinaryWriter& w, const ItemFileData& file) {
  w.Name(file.doodadmapFile);
  WriteNamedList(w, file.items, [](BinaryWriter& io, const Item& item) { ItemBody(io, item); });
}

// --- Whole files -------------------------------------------------------------

LoadStatus ReadSpriteSheetFile(std::string_view bytes, float zoom, SpriteSheetFile& out) {
  BinaryReader r(bytes);
  if (!ReadVersion(r)) return LoadStatus::BadVersion;
  r.Name(out.picture);
  if (!r.Ok()) return LoadStatus::Truncated;
  return ReadSpriteList(r, zoom, out.sprites);
}

std::string WriteSpriteSheetFile(const SpriteSheetFile& file) {
  BinaryWriter w;
  w.Byte(kDataVersion);
  w.Name(file.picture);
  WriteSpriteList(w, file.sprites);
  return w.Bytes();
}

LoadStatus ReadTileSheetFile(std::string_view bytes, float zoom, TileSheetFile& out) {
  BinaryReader r(bytes);
  if (!ReadVersion(r)) return LoadStatus::BadVersion;
  r.Name(out.picture);
  r.Integer(out.tileWidth);
  r.Integer(out.tileHeight);
  if (!r.Ok()) return LoadStatus::Truncated;
  out.tileWidth = ScalePixels(out.tileWidth, zoom);
  out.tileHeight = ScalePixels(out.tileHeight, zoom);
  // The end mark may be missing: the data's end then ends the list.
  return ReadTileList(r, zoom, true, out.tiles);
}

std::string WriteTileSheetFile(const TileSheetFile& file) {
  BinaryWriter w;
  w.Byte(kDataVersion);
  w.Name(file.picture);
  w.Integer(file.tileWidth);
  w.Integer(file.tileHeight);
  WriteTileList(w, file.tiles);
  return w.Bytes();
}

LoadStatus ReadMapFile(std::string_view bytes, MapFileData& out) {
  BinaryReader r(bytes);
  if (!ReadVersion(r)) return LoadStatus::BadVersion;
  r.Name(out.tilemapFile);
  r.Name(out.doodadmapFile);
  r.Integer(out.width);
  r.Integer(out.height);
  if (!r.Ok()) return LoadStatus::Truncated;
  if (LoadStatus s = ReadTileLayer(r, out.width, out.height, out.tiles); s != LoadStatus::Ok)
    return s;
  return ReadPlacements(r, out.width, out.height, out.doodads);
}

std::string WriteMapFile(const MapFileData& file) {
  BinaryWriter w;
  w.Byte(kDataVersion);
  w.Name(file.tilemapFile);
  w.Name(file.doodadmapFile);
  w.Integer(file.width);
  w.Integer(file.height);
  if (file.width > 0 && file.height > 0) {
    const size_t count = static_cast<size_t>(file.width) * static_cast<size_t>(file.height);
    for (size_t i = 0; i < count; ++i) w.Integer(i < file.tiles.size() ? file.tiles[i] : 0);
  }
  WritePlacements(w, file.doodads);
  return w.Bytes();
}

LoadStatus ReadEventmapFile(std::string_view bytes, EventmapFileData& out) {
  BinaryReader r(bytes);
  if (!ReadVersion(r)) return LoadStatus::BadVersion;
  r.Name(out.mapFile);
  r.Integer(out.width);
  r.Integer(out.height);
  if (!r.Ok()) return LoadStatus::Truncated;
  return ReadEventCells(r, out.width, out.height, out.cells);
}

std::string WriteEventmapFile(const EventmapFileData& file) {
  BinaryWriter w;
  w.Byte(kDataVersion);
  w.Name(file.mapFile);
  w.Integer(file.width);
  w.Integer(file.height);
  WriteEventCells(w, file.width, file.height, file.cells);
  return w.Bytes();
}

LoadStatus ReadCharacterFile(std::string_view bytes, CharacterFileData& out) {
  BinaryReader r(bytes);
  if (!ReadVersion(r)) return LoadStatus::BadVersion;
  return ReadCharacterTable(r, out);
}

std::string WriteCharacterFile(const CharacterFileData& file) {
  BinaryWriter w;
  w.Byte(kDataVersion);
  WriteCharacterTable(w, file);
  return w.Bytes();
}

LoadStatus ReadItemFile(std::string_view bytes, ItemFileData& out) {
  BinaryReader r(bytes);
  if (!ReadVersion(r)) return LoadStatus::BadVersion;
  return ReadItemTable(r, out);
}

std::string WriteItemFile(const ItemFileData& file) {
  BinaryWriter w;
  w.Byte(kDataVersion);
  WriteItemTable(w, file);
  return w.Bytes();
}

}  // namespace yw
