#include "world/data_files.h"

#include <algorithm>
#include <cstring>
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

// The index of the first Integer 0 in `bytes` (two bytes each), or their
// count. Eight bytes are tested at once for a zero Integer among them, so
// the common case, no zero at all, runs at the speed of memory.
size_t FirstZeroInteger(std::string_view bytes) {
  const size_t count = bytes.size() / 2;
  constexpr uint64_t kLow = 0x0001000100010001, kHigh = 0x8000800080008000;
  // Nonzero when the four Integers from `at` hold a 0.
  const auto zeroIn = [&](size_t at) {
    uint64_t word;
    std::memcpy(&word, bytes.data() + 2 * at, 8);
    return (word - kLow) & ~word & kHigh;
  };
  size_t i = 0;
  // Sixteen tiles per step while none is 0, then four.
  for (; i + 16 <= count; i += 16)
    if ((zeroIn(i) | zeroIn(i + 4) | zeroIn(i + 8) | zeroIn(i + 12)) != 0) break;
  for (; i + 4 <= count; i += 4)
    if (zeroIn(i) != 0) break;
  for (; i < count; ++i)
    if (DecodeInteger(bytes.data() + 2 * i) == 0) return i;
  return count;
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

LoadStatus ScanTileLayer(BinaryReader& r, int16_t width, int16_t height, MapLayerView& out) {
  out.tiles = {};
  if (LoadStatus s = CheckLayerSize(r, width, height, 2); s != LoadStatus::Ok) return s;
  // The size check above guarantees the whole layer is there; a tile 0
  // ends it early.
  const auto cells = static_cast<size_t>(int64_t{width} * height);
  const std::string_view bytes = r.Rest().substr(0, cells * 2);
  r.Skip(bytes.size());
  const size_t zero = FirstZeroInteger(bytes);
  out.tiles = bytes.substr(0, zero * 2);
  return zero == cells ? LoadStatus::Ok : LoadStatus::ZeroTile;
}

LoadStatus ScanPlacements(BinaryReader& r, int16_t width, int16_t height, MapLayerView& out) {
  const std::string_view rest = r.Rest();
  out.placements = {};
  for (size_t at = 0;; at += 6) {
    if (rest.size() - at < 6) {
      r.Skip(rest.size());
      return LoadStatus::Truncated;
    }
    const char* p = rest.data() + at;
    const int16_t x = DecodeInteger(p), y = DecodeInteger(p + 2), doodad = DecodeInteger(p + 4);
    if (x == 0 && y == 0 && doodad == 0) {
      out.placements = rest.substr(0, at);
      r.Skip(at + 6);
      return LoadStatus::Ok;
    }
    if (x < 1 || y < 1 || x > width || y > height) return LoadStatus::BadPlacement;
  }
}

LoadStatus ReadTileLayer(BinaryReader& r, int16_t width, int16_t height,
                         std::vector<int16_t>& out) {
  MapLayerView layer;
  const LoadStatus s = ScanTileLayer(r, width, height, layer);
  out.resize(layer.TileCount());
  DecodeIntegers(layer.tiles, out);
  return s;
}

LoadStatus ReadPlacements(BinaryReader& r, int16_t width, int16_t height,
                          std::vector<DoodadPlacement>& out) {
  MapLayerView layer;
  const LoadStatus s = ScanPlacements(r, width, height, layer);
  out.resize(layer.PlacementCount());
  for (size_t i = 0; i < out.size(); ++i) out[i] = layer.Placement(i);
  return s;
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
  // The size first, so that a large layer's buffer grows once.
  size_t bytes = 0, seen = 0;
  for (auto it = cells.begin(); seen < count && it != cells.end(); ++it, ++seen) {
    const EventCell& c = *it;
    bytes += 6;
    for (const std::string* s : {&c.ENTERSCRIPT, &c.LEAVESCRIPT, &c.USESCRIPT, &c.PUSHSCRIPT})
      bytes += std::min<size_t>(s->size(), 255);
  }
  w.Reserve(bytes + (count - seen) * 6);
  // The cells in order (an iterator walks the runs of alike cells), then
  // empty ones up to the layer's size.
  size_t written = 0;
  for (auto it = cells.begin(); written < count && it != cells.end(); ++it, ++written)
    EventCellRecord(w, *it);
  for (; written < count; ++written) EventCellRecord(w, empty);
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

LoadStatus ReadMapFileView(std::string_view bytes, MapFileData& names, MapLayerView& layer) {
  BinaryReader r(bytes);
  if (!ReadVersion(r)) return LoadStatus::BadVersion;
  r.Name(names.tilemapFile);
  r.Name(names.doodadmapFile);
  r.Integer(names.width);
  r.Integer(names.height);
  if (!r.Ok()) return LoadStatus::Truncated;
  if (LoadStatus s = ScanTileLayer(r, names.width, names.height, layer); s != LoadStatus::Ok)
    return s;
  return ScanPlacements(r, names.width, names.height, layer);
}

LoadStatus ReadMapFile(std::string_view bytes, MapFileData& out) {
  MapLayerView layer;
  const LoadStatus s = ReadMapFileView(bytes, out, layer);
  out.tiles.resize(layer.TileCount());
  DecodeIntegers(layer.tiles, out.tiles);
  out.doodads.resize(layer.PlacementCount());
  for (size_t i = 0; i < out.doodads.size(); ++i) out.doodads[i] = layer.Placement(i);
  return s;
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
    w.Reserve(count * 2 + (file.doodads.size() + 1) * 6);
    for (size_t i = 0; i < count; ++i) w.Integer(i < file.tiles.size() ? file.tiles[i] : 0);
  }
  WritePlacements(w, file.doodads);
  return std::move(w).Bytes();
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
  return std::move(w).Bytes();
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
