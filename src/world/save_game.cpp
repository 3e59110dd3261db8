// The layout of saved games: the tile, sprite, map and event data, the
// character and item tables, the settings, the party and the NPCs, each
// list closed by its end mark.
#include "world/save_game.h"

#include "world/record_layouts.h"

namespace yw {

namespace {

// Values saved already zoomed are read with a factor of 1.
constexpr float kNoZoom = 1.0f;

template <class Io, class D>
void TileHeader(Io& io, D& d) {
  io.Name(d.tilePicture);
  io.Integer(d.tileWidth);
  io.Integer(d.tileHeight);
}

template <class Io, class D>
void MapHeader(Io& io, D& d) {
  io.Name(d.mapFile);
  io.Name(d.tilemapFile);
  io.Name(d.doodadmapFile);
  io.Integer(d.mapWidth);
  io.Integer(d.mapHeight);
}

template <class Io, class D>
void EventHeader(Io& io, D& d) {
  io.Name(d.eventmapFile);
  io.Name(d.eventmapMapFile);
  io.Integer(d.eventWidth);
  io.Integer(d.eventHeight);
}

// Timings, key state, the player, saving allowed and the ambient music.
template <class Io, class D>
void Settings(Io& io, D& d) {
  io.Long(d.timeAniTime);
  io.Long(d.timeWalkTime);
  io.Long(d.timeCharTime);
  io.Flag(d.keyEnabled);
  io.Long(d.key);
  io.Long(d.lastKey);
  io.Flag(d.wait4Relase);
  io.Single(d.playerPosX);
  io.Single(d.playerPosY);
  io.Integer(d.playerDirection);
  io.Flag(d.savingActive);
  io.Name(d.ambientName);
}

LoadStatus ReadSpriteSection(BinaryReader& r, SpriteSheetFile& out) {
  r.Name(out.picture);
  if (!r.Ok()) return LoadStatus::Truncated;
  return ReadSpriteList(r, kNoZoom, out.sprites);
}

void WriteSpriteSection(BinaryWriter& w, const SpriteSheetFile& sheet) {
  w.Name(sheet.picture);
  WriteSpriteList(w, sheet.sprites);
}

LoadStatus ReadNpcs(BinaryReader& r, std::vector<Npc>& out) {
  out.clear();
  for (;;) {
    uint8_t marker = 0;
    r.Byte(marker);
    if (!r.Ok()) return LoadStatus::Truncated;
    if (marker == 0) return LoadStatus::Ok;
    Npc npc;
    NpcRecord(r, npc);
    if (!r.Ok()) return LoadStatus::Truncated;
    if (out.size() >= kMaxRecords) return LoadStatus::TooManyRecords;
    out.push_back(std::move(npc));
  }
}

LoadStatus ReadMapSection(BinaryReader& r, SaveGameData& out) {
  MapHeader(r, out);
  if (!r.Ok()) return LoadStatus::Truncated;
  if (LoadStatus s = ReadTileLayer(r, out.mapWidth, out.mapHeight, out.tiles); s != LoadStatus::Ok)
    return s;
  return ReadPlacements(r, out.mapWidth, out.mapHeight, out.placements);
}

LoadStatus ReadEventSection(BinaryReader& r, SaveGameData& out) {
  EventHeader(r, out);
  if (!r.Ok()) return LoadStatus::Truncated;
  return ReadEventCells(r, out.eventWidth, out.eventHeight, out.events);
}

LoadStatus ReadPeople(BinaryReader& r, SaveGameData& out) {
  Settings(r, out);
  if (!r.Ok()) return LoadStatus::Truncated;
  const bool withEquipment = out.version >= 2;
  if (LoadStatus s = ReadNamedList(r, out.party,
                                   [withEquipment](BinaryReader& io, PartyMember& m) {
                                     PartyMemberBody(io, m, withEquipment);
                                   });
      s != LoadStatus::Ok)
    return s;
  return ReadNpcs(r, out.npcs);
}

bool ReadHeader(BinaryReader& r, SaveGameData& out) {
  r.Byte(out.version);
  if (!r.Ok() || (out.version != 1 && out.version != 2)) return false;
  r.Name(out.description);
  return true;
}

}  // namespace

LoadStatus ReadSaveGame(std::string_view bytes, SaveGameData& out) {
  BinaryReader r(bytes);
  if (!ReadHeader(r, out)) return LoadStatus::BadVersion;
  TileHeader(r, out);
  if (!r.Ok()) return LoadStatus::Truncated;
  // Each step reads one section; the first failure ends the file.
  const auto steps = {
      +[](BinaryReader& io, SaveGameData& d) {
        return ReadTileList(io, kNoZoom, false, d.tileDefs);
      },
      +[](BinaryReader& io, SaveGameData& d) { return ReadSpriteSection(io, d.doodads); },
      +[](BinaryReader& io, SaveGameData& d) { return ReadSpriteSection(io, d.units); },
      +[](BinaryReader& io, SaveGameData& d) { return ReadSpriteSection(io, d.itemSprites); },
      +[](BinaryReader& io, SaveGameData& d) { return ReadMapSection(io, d); },
      +[](BinaryReader& io, SaveGameData& d) { return ReadEventSection(io, d); },
      +[](BinaryReader& io, SaveGameData& d) { return ReadCharacterTable(io, d.characters); },
      +[](BinaryReader& io, SaveGameData& d) { return ReadItemTable(io, d.items); },
      +[](BinaryReader& io, SaveGameData& d) { return ReadPeople(io, d); },
  };
  for (auto step : steps)
    if (LoadStatus s = step(r, out); s != LoadStatus::Ok) return s;
  // The NPCs' end mark is the file's last byte: anything after it means the
  // file was not read the way it was written.
  return r.AtEnd() ? LoadStatus::Ok : LoadStatus::TrailingBytes;
}

LoadStatus ReadSaveDescription(std::string_view bytes, std::string& description) {
  BinaryReader r(bytes);
  SaveGameData head;
  if (!ReadHeader(r, head)) return LoadStatus::BadVersion;
  if (!r.Ok()) return LoadStatus::Truncated;
  description = std::move(head.description);
  return LoadStatus::Ok;
}

std::string WriteSaveGame(const SaveGameData& save) {
  BinaryWriter w;
  w.Byte(kSaveVersion);
  w.Name(save.description);
  TileHeader(w, save);
  WriteTileList(w, save.tileDefs);
  WriteSpriteSection(w, save.doodads);
  WriteSpriteSection(w, save.units);
  WriteSpriteSection(w, save.itemSprites);
  MapHeader(w, save);
  if (save.mapWidth > 0 && save.mapHeight > 0) {
    const size_t count = static_cast<size_t>(save.mapWidth) * static_cast<size_t>(save.mapHeight);
    for (size_t i = 0; i < count; ++i) w.Integer(i < save.tiles.size() ? save.tiles[i] : 0);
  }
  WritePlacements(w, save.placements);
  EventHeader(w, save);
  WriteEventCells(w, save.eventWidth, save.eventHeight, save.events);
  WriteCharacterTable(w, save.characters);
  WriteItemTable(w, save.items);
  Settings(w, save);
  WriteNamedList(w, save.party,
                 [](BinaryWriter& io, const PartyMember& m) { PartyMemberBody(io, m, true); });
  for (const Npc& npc : save.npcs) {
    w.Byte(1);
    NpcRecord(w, npc);
  }
  w.Byte(0);
  return w.Bytes();
}

}  // namespace yw
