#include "data_sources.h"

#include <array>
#include <utility>

namespace yw::pack {

namespace {

// The list under `key`, reporting a missing or wrong one.
const Json* ListOf(SourceReader& in, std::string_view key) {
  const Json& root = in.Root();
  if (!root.contains(key)) {
    in.Error("", std::string(key), "is missing");
    return nullptr;
  }
  const Json& list = root.at(key);
  if (!list.is_array()) {
    in.Error(Child("", key), std::string(key), "must be a list [ ... ]");
    return nullptr;
  }
  return &list;
}

std::string Label(std::string_view what, size_t index, const std::string& name = {}) {
  std::string s = std::string(what) + " " + std::to_string(index + 1);
  if (!name.empty()) s += " '" + name + "'";
  return s;
}

bool CheckRecordObject(SourceReader& in, const Json& record, const std::string& at,
                       const std::string& label) {
  if (record.is_object()) return true;
  in.Error(at, label, "must be an object { ... }");
  return false;
}

std::string RecordName(const Json& record) {
  return record.contains("NAME") && record["NAME"].is_string() ? record["NAME"].get<std::string>()
                                                                : std::string();
}

std::optional<std::string> BuildCharacters(SourceReader& in) {
  CharacterFileData data;
  data.doodadmapFile = in.Text(in.Root(), "", "doodadmap", "doodadmap");
  const Json* list = ListOf(in, "characters");
  if (!list) return std::nullopt;
  for (size_t i = 0; i < list->size(); ++i) {
    const Json& rec = (*list)[i];
    const std::string at = Child("/characters", i);
    const std::string label = Label("character", i, RecordName(rec));
    if (!CheckRecordObject(in, rec, at, label)) continue;
    Character c;
    ReadRecordFields(in, rec, at, label, c, kCharacterFields, i + 1);
    in.UnknownKeysIn(rec, at, label, SourceFieldNames(kCharacterFields));
    data.characters.push_back(std::move(c));
  }
  if (data.characters.size() > kMaxRecords) in.Error("/characters", "characters", "too many");
  if (in.ErrorCount() > 0) return std::nullopt;
  return WriteCharacterFile(data);
}

std::optional<std::string> BuildItems(SourceReader& in) {
  ItemFileData data;
  data.doodadmapFile = in.Text(in.Root(), "", "doodadmap", "doodadmap");
  const Json* list = ListOf(in, "items");
  if (!list) return std::nullopt;
  for (size_t i = 0; i < list->size(); ++i) {
    const Json& rec = (*list)[i];
    const std::string at = Child("/items", i);
    const std::string label = Label("item", i, RecordName(rec));
    if (!CheckRecordObject(in, rec, at, label)) continue;
    Item item;
    ReadRecordFields(in, rec, at, label, item, kItemFields, i + 1);
    in.UnknownKeysIn(rec, at, label, SourceFieldNames(kItemFields));
    data.items.push_back(std::move(item));
  }
  if (data.items.size() > kMaxRecords) in.Error("/items", "items", "too many");
  if (in.ErrorCount() > 0) return std::nullopt;
  return WriteItemFile(data);
}

std::optional<std::string> BuildTilemap(SourceReader& in) {
  TileSheetFile data;
  const Json& root = in.Root();
  data.picture = in.Text(root, "", "picture", "picture");
  data.tileWidth = static_cast<int16_t>(
      in.Integer(root, "", "tileWidth", "tileWidth", 1, INT16_MAX, std::nullopt).value_or(0));
  data.tileHeight = static_cast<int16_t>(
      in.Integer(root, "", "tileHeight", "tileHeight", 1, INT16_MAX, std::nullopt).value_or(0));
  const Json* list = ListOf(in, "tiles");
  if (!list) return std::nullopt;
  const int64_t count = static_cast<int64_t>(list->size());
  for (size_t i = 0; i < list->size(); ++i) {
    const Json& rec = (*list)[i];
    const std::string at = Child("/tiles", i);
    const std::string label = Label("tile", i);
    if (!CheckRecordObject(in, rec, at, label)) continue;
    TileDef t;
    ReadRecordFields(in, rec, at, label, t, kTileDefFields, i + 1);
    // NEXT 0 reads as the end of the list; any other number outside the
    // sheet simply never animates.
    if (t.NEXT == 0)
      in.Error(Child(at, "NEXT"), label + ": NEXT", "0 would end the list; a still tile names itself");
    else if (t.NEXT < 0 || t.NEXT > count)
      in.Warning(Child(at, "NEXT"), label + ": NEXT",
                 "names no tile of this sheet, so the tile never animates");
    in.UnknownKeysIn(rec, at, label, SourceFieldNames(kTileDefFields));
    data.tiles.push_back(t);
  }
  if (data.tiles.size() > kMaxRecords) in.Error("/tiles", "tiles", "too many");
  if (in.ErrorCount() > 0) return std::nullopt;
  return WriteTileSheetFile(data);
}

std::optional<std::string> BuildDoodadmap(SourceReader& in) {
  SpriteSheetFile data;
  data.picture = in.Text(in.Root(), "", "picture", "picture");
  const Json* list = ListOf(in, "sprites");
  if (!list) return std::nullopt;
  for (size_t i = 0; i < list->size(); ++i) {
    const Json& rec = (*list)[i];
    const std::string at = Child("/sprites", i);
    const std::string label = Label("sprite", i);
    if (!CheckRecordObject(in, rec, at, label)) continue;
    SpriteDef s;
    ReadRecordFields(in, rec, at, label, s, kSpriteDefFields, i + 1);
    in.UnknownKeysIn(rec, at, label, SourceFieldNames(kSpriteDefFields));
    // Seven zeros read as the end of the list.
    if (s == SpriteDef{}) in.Error(at, label, "a sprite of all zeros would end the list");
    data.sprites.push_back(s);
  }
  if (data.sprites.size() > kMaxRecords) in.Error("/sprites", "sprites", "too many");
  if (in.ErrorCount() > 0) return std::nullopt;
  return WriteSpriteSheetFile(data);
}

// The parsed file, when writing it again gives the same bytes.
template <class T, class ReadFn, class WriteFn>
std::optional<T> ReadExactly(std::string_view bytes, ReadFn read, WriteFn write) {
  T data;
  if (read(bytes, data) != LoadStatus::Ok) return std::nullopt;
  if (write(data) != bytes) return std::nullopt;
  return data;
}

}  // namespace

std::string_view KindName(SourceKind kind) {
  switch (kind) {
    case SourceKind::Characters: return "characters";
    case SourceKind::Items: return "items";
    case SourceKind::Tilemap: return "tilemap";
    case SourceKind::Doodadmap: return "doodadmap";
  }
  return "";
}

std::optional<SourceKind> KindFromName(std::string_view name) {
  for (SourceKind k : {SourceKind::Characters, SourceKind::Items, SourceKind::Tilemap,
                       SourceKind::Doodadmap})
    if (KindName(k) == name) return k;
  return std::nullopt;
}

std::optional<std::string> BuildDataSource(SourceKind kind, SourceReader& in) {
  switch (kind) {
    case SourceKind::Characters:
      in.UnknownKeys(in.Root(), "", "", {"kind", "file", "doodadmap", "characters"});
      return BuildCharacters(in);
    case SourceKind::Items:
      in.UnknownKeys(in.Root(), "", "", {"kind", "file", "doodadmap", "items"});
      return BuildItems(in);
    case SourceKind::Tilemap:
      in.UnknownKeys(in.Root(), "", "",
                     {"kind", "file", "picture", "tileWidth", "tileHeight", "tiles"});
      return BuildTilemap(in);
    case SourceKind::Doodadmap:
      in.UnknownKeys(in.Root(), "", "", {"kind", "file", "picture", "sprites"});
      return BuildDoodadmap(in);
  }
  return std::nullopt;
}

Json CharactersToJson(const CharacterFileData& data) {
  Json j = {{"kind", "characters"}, {"doodadmap", ToJsonText(data.doodadmapFile)}};
  Json list = Json::array();
  for (const Character& c : data.characters)
    list.push_back(RecordFieldsToJson(c, kCharacterFields));
  j["characters"] = std::move(list);
  return j;
}

Json ItemsToJson(const ItemFileData& data) {
  Json j = {{"kind", "items"}, {"doodadmap", ToJsonText(data.doodadmapFile)}};
  Json list = Json::array();
  for (const Item& item : data.items) list.push_back(RecordFieldsToJson(item, kItemFields));
  j["items"] = std::move(list);
  return j;
}

Json TileSheetToJson(const TileSheetFile& data) {
  Json j = {{"kind", "tilemap"},
            {"picture", ToJsonText(data.picture)},
            {"tileWidth", data.tileWidth},
            {"tileHeight", data.tileHeight}};
  Json list = Json::array();
  for (const TileDef& t : data.tiles) list.push_back(RecordFieldsToJson(t, kTileDefFields));
  j["tiles"] = std::move(list);
  return j;
}

Json SpriteSheetToJson(const SpriteSheetFile& data) {
  Json j = {{"kind", "doodadmap"}, {"picture", ToJsonText(data.picture)}};
  Json list = Json::array();
  for (const SpriteDef& s : data.sprites) list.push_back(RecordFieldsToJson(s, kSpriteDefFields));
  j["sprites"] = std::move(list);
  return j;
}

std::optional<Json> UnpackDataFile(SourceKind kind, std::string_view bytes,
                                   const std::string& fileName) {
  std::optional<Json> j;
  switch (kind) {
    case SourceKind::Characters:
      if (auto d = ReadExactly<CharacterFileData>(bytes, ReadCharacterFile, WriteCharacterFile))
        j = CharactersToJson(*d);
      break;
    case SourceKind::Items:
      if (auto d = ReadExactly<ItemFileData>(bytes, ReadItemFile, WriteItemFile))
        j = ItemsToJson(*d);
      break;
    case SourceKind::Tilemap:
      if (auto d = ReadExactly<TileSheetFile>(
              bytes, [](std::string_view b, TileSheetFile& o) { return ReadTileSheetFile(b, 1.0f, o); },
              WriteTileSheetFile))
        j = TileSheetToJson(*d);
      break;
    case SourceKind::Doodadmap:
      if (auto d = ReadExactly<SpriteSheetFile>(
              bytes,
              [](std::string_view b, SpriteSheetFile& o) { return ReadSpriteSheetFile(b, 1.0f, o); },
              WriteSpriteSheetFile))
        j = SpriteSheetToJson(*d);
      break;
  }
  if (j) {
    // "file" goes right after "kind" so that a reader sees it first.
    Json out = {{"kind", (*j)["kind"]}, {"file", ToJsonText(fileName)}};
    for (const auto& [k, v] : j->items())
      if (k != "kind") out[k] = v;
    j = std::move(out);
  }
  return j;
}

}  // namespace yw::pack
