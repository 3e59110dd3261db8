#include "tiled_maps.h"

#include <array>
#include <cmath>
#include <map>
#include <vector>

#include "layer_data.h"
#include "world/paths.h"

namespace yw::pack {

namespace {

// Tiled keeps flip and rotation flags in the top bits of a tile id.
constexpr uint32_t kFlipFlags = 0xF0000000u;

constexpr std::array<std::string_view, 6> kEventProperties{"enter", "leave",    "use",
                                                           "push",  "obstacle", "box"};

struct TilesetInfo {
  int64_t firstgid = 1;
  std::string name;
  std::map<int64_t, Json> tileProperties;  // local id -> properties
};

// Custom properties as name -> value, from Tiled's list of
// {"name", "type", "value"} objects or from an older plain object.
std::map<std::string, Json> PropertiesOf(const Json& owner) {
  std::map<std::string, Json> out;
  if (!owner.is_object() || !owner.contains("properties")) return out;
  const Json& props = owner["properties"];
  if (props.is_array()) {
    for (const Json& p : props)
      if (p.is_object() && p.contains("name") && p["name"].is_string() && p.contains("value"))
        out[p["name"].get<std::string>()] = p["value"];
  } else if (props.is_object()) {
    for (const auto& [k, v] : props.items()) out[k] = v;
  }
  return out;
}

std::string LowerName(const Json& layer) {
  return layer.contains("name") && layer["name"].is_string() ? ToLower(layer["name"].get<std::string>())
                                                             : std::string();
}

// An event cell being assembled from tile properties and event objects.
struct EventDraft {
  EventCell cell;
  EventDraft() { cell.passable = true; }
};

class MapBuilder {
 public:
  MapBuilder(SourceReader& in, const TilesetLoader& loadTileset)
      : in_(in), loadTileset_(loadTileset) {}

  std::optional<BuiltMap> Build(const std::string& stem);

 private:
  bool ReadHeader();
  void ReadTilesets();
  void ReadProperties(const std::string& stem);
  void CollectLayers(const Json& layers, const std::string& pointer);
  std::optional<std::vector<int64_t>> LayerGids(const Json& layer, const std::string& pointer);
  std::optional<int16_t> NumberOfGid(int64_t gid, const std::string& at, const std::string& field,
                                     const TilesetInfo** from = nullptr);
  void BuildTiles();
  void BuildDoodadLayer();
  void BuildDoodadObjects();
  void ApplyTileProperties(int64_t gid, size_t cellIndex);
  void BuildEvents();
  std::optional<double> Pixels(const Json& o, const char* key, const std::string& at,
                               const std::string& field);
  void ApplyEventProperties(const std::map<std::string, Json>& props, EventCell& cell,
                            const std::string& at, const std::string& field);
  std::string PropText(const std::map<std::string, Json>& props, const std::string& key,
                       const std::string& fallback, const std::string& at);

  struct LayerRef {
    const Json* layer = nullptr;
    std::string pointer;
  };

  SourceReader& in_;
  const TilesetLoader& loadTileset_;
  int64_t width_ = 0, height_ = 0, tileW_ = 0, tileH_ = 0;
  std::vector<TilesetInfo> tilesets_;
  LayerRef tiles_, doodads_, events_;
  std::vector<EventDraft> drafts_;
  BuiltMap out_;
};

std::string MapBuilder::PropText(const std::map<std::string, Json>& props, const std::string& key,
                                 const std::string& fallback, const std::string& at) {
  auto it = props.find(key);
  if (it == props.end()) return fallback;
  if (!it->second.is_string()) {
    in_.Error(at, "map property '" + key + "'", "must be a text");
    return fallback;
  }
  auto bytes = FromJsonText(it->second.get<std::string>());
  if (!bytes || bytes->size() > 255) {
    in_.Error(at, "map property '" + key + "'",
              "must be at most 255 characters of Windows-1252");
    return fallback;
  }
  return *bytes;
}

bool MapBuilder::ReadHeader() {
  const Json& root = in_.Root();
  if (root.contains("orientation") && TextAt(root, "orientation") != "orthogonal")
    in_.Error("/orientation", "orientation", "only orthogonal maps can be built");
  if (in_.Flag(root, "", "infinite", "infinite"))
    in_.Error("/infinite", "infinite", "infinite maps cannot be built; give the map a fixed size");
  width_ = in_.Integer(root, "", "width", "width", 1, INT16_MAX, std::nullopt).value_or(0);
  height_ = in_.Integer(root, "", "height", "height", 1, INT16_MAX, std::nullopt).value_or(0);
  tileW_ = in_.Integer(root, "", "tilewidth", "tilewidth", 1, INT16_MAX, std::nullopt).value_or(0);
  tileH_ =
      in_.Integer(root, "", "tileheight", "tileheight", 1, INT16_MAX, std::nullopt).value_or(0);
  if (width_ * height_ > kMaxMapCells) {
    in_.Error("/width", "width", "the map has more than " + std::to_string(kMaxMapCells) + " cells");
    return false;
  }
  return in_.ErrorCount() == 0;
}

void MapBuilder::ReadTilesets() {
  const Json& root = in_.Root();
  if (!root.contains("tilesets")) return;
  const Json& list = root["tilesets"];
  if (!list.is_array()) {
    in_.Error("/tilesets", "tilesets", "must be a list");
    return;
  }
  for (size_t i = 0; i < list.size(); ++i) {
    const std::string at = Child("/tilesets", i);
    const Json& ts = list[i];
    const std::string field = "tileset " + std::to_string(i + 1);
    TilesetInfo info;
    info.firstgid = in_.Integer(ts, at, "firstgid", field + ": firstgid", 1, INT32_MAX,
                                std::nullopt)
                        .value_or(1);
    const Json* body = &ts;
    if (ts.contains("source")) {
      const std::string source = ts["source"].is_string() ? ts["source"].get<std::string>() : "";
      const JsonDoc* doc = loadTileset_ ? loadTileset_(source) : nullptr;
      if (!doc || !doc->Ok() || !doc->root.is_object()) {
        std::string why = "there is no such file";
        if (doc && !doc->Ok())
          why = "line " + std::to_string(doc->errorLine) + ": " + doc->error;
        else if (doc)
          why = "it is not a tileset";
        in_.Error(Child(at, "source"), field,
                  "the tileset '" + source + "' cannot be read: " + why);
        continue;
      }
      body = &doc->root;
    }
    info.name = TextAt(*body, "name");
    if (body->contains("tiles") && (*body)["tiles"].is_array()) {
      for (const Json& tile : (*body)["tiles"]) {
        if (!tile.is_object() || !tile.contains("id") || !tile["id"].is_number_integer()) continue;
        if (tile.contains("properties")) info.tileProperties[tile["id"].get<int64_t>()] = tile;
      }
    }
    tilesets_.push_back(std::move(info));
  }
  std::sort(tilesets_.begin(), tilesets_.end(),
            [](const TilesetInfo& a, const TilesetInfo& b) { return a.firstgid < b.firstgid; });
}

void MapBuilder::ReadProperties(const std::string& stem) {
  const auto props = PropertiesOf(in_.Root());
  for (const auto& [k, v] : props) {
    static constexpr std::array<std::string_view, 5> kKnown{"tilemap", "doodadmap", "mapfile",
                                                            "eventmapfile", "eventmap_mapfile"};
    if (std::find(kKnown.begin(), kKnown.end(), k) == kKnown.end())
      in_.Warning("/properties", "map property '" + k + "'", "is not used");
  }
  if (!props.contains("tilemap"))
    in_.Error("/properties", "map property 'tilemap'",
              "is missing: name the tilemap file the map uses");
  out_.map.tilemapFile = PropText(props, "tilemap", "", "/properties");
  out_.map.doodadmapFile = PropText(props, "doodadmap", "", "/properties");
  out_.mapFile = PropText(props, "mapfile", stem + ".map", "/properties");
  out_.eventmapFile = PropText(props, "eventmapfile", stem + ".evm", "/properties");
  out_.events.mapFile = PropText(props, "eventmap_mapfile", out_.mapFile, "/properties");
}

void MapBuilder::CollectLayers(const Json& layers, const std::string& pointer) {
  if (!layers.is_array()) {
    in_.Error(pointer, "layers", "must be a list");
    return;
  }
  for (size_t i = 0; i < layers.size(); ++i) {
    const Json& layer = layers[i];
    const std::string at = Child(pointer, i);
    const std::string type = TextAt(layer, "type");
    if (type == "group" && layer.contains("layers")) {
      CollectLayers(layer["layers"], Child(at, "layers"));
      continue;
    }
    const std::string name = LowerName(layer);
    LayerRef* slot = name == "tiles" ? &tiles_ : name == "doodads" ? &doodads_
                     : name == "events" ? &events_ : nullptr;
    if (!slot) {
      in_.Warning(at, "layer '" + TextAt(layer, "name") + "'",
                  "is not built (only layers named tiles, doodads and events are)");
      continue;
    }
    if (slot->layer) {
      in_.Error(at, "layer '" + name + "'", "appears twice");
      continue;
    }
    *slot = {&layer, at};
  }
}

std::optional<std::vector<int64_t>> MapBuilder::LayerGids(const Json& layer,
                                                           const std::string& pointer) {
  const std::string field = "layer '" + TextAt(layer, "name") + "'";
  if (TextAt(layer, "type") != "tilelayer") {
    in_.Error(pointer, field, "must be a tile layer");
    return std::nullopt;
  }
  const auto size = [&](const char* key) {
    return layer[key].is_number_integer() ? layer[key].get<int64_t>() : int64_t{-1};
  };
  if (!layer.contains("width") || !layer.contains("height") || size("width") != width_ ||
      size("height") != height_) {
    in_.Error(pointer, field, "must be as large as the map");
    return std::nullopt;
  }
  if (!layer.contains("data")) {
    in_.Error(pointer, field, "has no data (chunked layers of infinite maps cannot be built)");
    return std::nullopt;
  }
  std::vector<int64_t> gids;
  const Json& data = layer["data"];
  if (data.is_array()) {
    for (size_t i = 0; i < data.size(); ++i) {
      if (!data[i].is_number_integer() || data[i].get<int64_t>() < 0) {
        in_.Error(Child(Child(pointer, "data"), i), field, "holds " + data[i].dump() +
                                                              ", not a tile id");
        return std::nullopt;
      }
      gids.push_back(data[i].get<int64_t>());
    }
  } else if (data.is_string()) {
    const std::string encoding = TextAt(layer, "encoding");
    const std::string compression = TextAt(layer, "compression");
    if (!encoding.empty() && encoding != "base64") {
      in_.Error(Child(pointer, "encoding"), field,
                "unknown encoding '" + encoding + "' (Tiled writes csv or base64)");
      return std::nullopt;
    }
    auto decoded = DecodeLayerData(data.get<std::string>(), compression,
                                   static_cast<size_t>(width_ * height_));
    if (!decoded.error.empty()) {
      const bool badCompression = !KnownCompression(compression);
      in_.Error(Child(pointer, badCompression ? "compression" : "data"), field, decoded.error);
      return std::nullopt;
    }
    gids.assign(decoded.gids.begin(), decoded.gids.end());
  } else {
    in_.Error(Child(pointer, "data"), field, "must be a list of tile ids or Base64 text");
    return std::nullopt;
  }
  if (static_cast<int64_t>(gids.size()) != width_ * height_) {
    in_.Error(Child(pointer, "data"), field,
              "holds " + std::to_string(gids.size()) + " cells; the map has " +
                  std::to_string(width_ * height_));
    return std::nullopt;
  }
  return gids;
}

std::optional<int16_t> MapBuilder::NumberOfGid(int64_t gid, const std::string& at,
                                               const std::string& field,
                                               const TilesetInfo** from) {
  if (gid < 0) {
    in_.Error(at, field, "holds " + std::to_string(gid) + ", not a tile id");
    return std::nullopt;
  }
  if (static_cast<uint64_t>(gid) & kFlipFlags) {
    in_.Error(at, field, "flipped or rotated tiles cannot be stored");
    return std::nullopt;
  }
  const TilesetInfo* set = nullptr;
  for (const TilesetInfo& ts : tilesets_)
    if (ts.firstgid <= gid) set = &ts;
  const int64_t number = set ? gid - set->firstgid + 1 : gid;
  if (from) *from = set;
  if (number > INT16_MAX) {
    in_.Error(at, field, "tile number " + std::to_string(number) + " is too large");
    return std::nullopt;
  }
  return static_cast<int16_t>(number);
}

std::string CellField(const std::string& layer, int64_t index, int64_t width) {
  return "layer '" + layer + "' row " + std::to_string(index / width + 1) + ", column " +
         std::to_string(index % width + 1);
}

void MapBuilder::ApplyTileProperties(int64_t gid, size_t cellIndex) {
  const TilesetInfo* set = nullptr;
  for (const TilesetInfo& ts : tilesets_)
    if (ts.firstgid <= gid) set = &ts;
  if (!set) return;
  auto it = set->tileProperties.find(gid - set->firstgid);
  if (it == set->tileProperties.end()) return;
  const auto props = PropertiesOf(it->second);
  ApplyEventProperties(props, drafts_[cellIndex].cell, "/tilesets",
                       "tileset '" + set->name + "' tile " + std::to_string(gid - set->firstgid));
}

void MapBuilder::BuildTiles() {
  if (!tiles_.layer) {
    if (!out_.mapFile.empty()) in_.Error("/layers", "layers", "the map needs a tile layer named 'tiles'");
    return;
  }
  auto gids = LayerGids(*tiles_.layer, tiles_.pointer);
  if (!gids) return;
  const std::string name = TextAt(*tiles_.layer, "name");
  out_.tilesPointer = Child(tiles_.pointer, "data");
  out_.map.tiles.reserve(gids->size());
  for (size_t i = 0; i < gids->size(); ++i) {
    const std::string at = Child(Child(tiles_.pointer, "data"), i);
    const std::string field = CellField(name, static_cast<int64_t>(i), width_);
    if ((*gids)[i] == 0) {
      in_.Error(at, field, "tile 0 is not allowed (every cell needs a tile)");
      out_.map.tiles.push_back(0);
      continue;
    }
    auto n = NumberOfGid((*gids)[i], at, field);
    out_.map.tiles.push_back(n.value_or(0));
    if (n && *n < 1) in_.Error(at, field, "tile " + std::to_string(*n) + " is not allowed");
    ApplyTileProperties((*gids)[i], i);
  }
}

void MapBuilder::BuildDoodadLayer() {
  auto gids = LayerGids(*doodads_.layer, doodads_.pointer);
  if (!gids) return;
  const std::string name = TextAt(*doodads_.layer, "name");
  for (size_t i = 0; i < gids->size(); ++i) {
    if ((*gids)[i] == 0) continue;
    const std::string at = Child(Child(doodads_.pointer, "data"), i);
    auto n = NumberOfGid((*gids)[i], at, CellField(name, static_cast<int64_t>(i), width_));
    if (!n) continue;
    out_.map.doodads.push_back({static_cast<int16_t>(static_cast<int64_t>(i) % width_ + 1),
                                static_cast<int16_t>(static_cast<int64_t>(i) / width_ + 1), *n});
    ApplyTileProperties((*gids)[i], i);
  }
}

// Object positions and sizes in pixels stay within this: no map is larger
// (32767 cells of 32767 pixels), and cell numbers computed from such
// values fit their integers.
constexpr double kMaxPixels = double{1 << 30};

std::optional<double> MapBuilder::Pixels(const Json& o, const char* key, const std::string& at,
                                         const std::string& field) {
  if (!o.is_object() || !o.contains(key)) return 0.0;
  const Json& v = o[key];
  if (!v.is_number()) {
    in_.Error(Child(at, key), field + ": " + key, "must be a number, not " + v.dump());
    return std::nullopt;
  }
  const double d = v.get<double>();
  if (!(std::fabs(d) <= kMaxPixels)) {
    const std::string limit = std::to_string(static_cast<int64_t>(kMaxPixels));
    in_.Error(Child(at, key), field + ": " + key,
              v.dump() + " is out of range (-" + limit + " to " + limit + ")");
    return std::nullopt;
  }
  return d;
}

void MapBuilder::BuildDoodadObjects() {
  const Json& objects = (*doodads_.layer)["objects"];
  for (size_t i = 0; i < objects.size(); ++i) {
    const Json& o = objects[i];
    const std::string at = Child(Child(doodads_.pointer, "objects"), i);
    const std::string field = "layer 'doodads' object " + std::to_string(i + 1);
    const auto x = Pixels(o, "x", at, field), y = Pixels(o, "y", at, field);
    if (!x || !y) continue;
    // A tile object stands on its bottom-left corner.
    const int64_t col = static_cast<int64_t>(std::floor(*x / static_cast<double>(tileW_)));
    const int64_t row = o.contains("gid")
                            ? static_cast<int64_t>(std::ceil(*y / static_cast<double>(tileH_))) - 1
                            : static_cast<int64_t>(std::floor(*y / static_cast<double>(tileH_)));
    std::optional<int16_t> n;
    int64_t gid = 0;
    if (o.contains("gid") && o["gid"].is_number_integer()) {
      gid = o["gid"].get<int64_t>();
      n = NumberOfGid(gid, at, field);
    } else {
      const auto props = PropertiesOf(o);
      auto it = props.find("doodad");
      if (it == props.end() || !it->second.is_number_integer()) {
        in_.Error(at, field, "is neither a tile object nor has an integer property 'doodad'");
        continue;
      }
      const int64_t v = it->second.get<int64_t>();
      if (v < INT16_MIN || v > INT16_MAX) {
        in_.Error(at, field, "doodad " + std::to_string(v) + " is out of range");
        continue;
      }
      n = static_cast<int16_t>(v);
    }
    if (!n) continue;
    if (col < 0 || row < 0 || col >= width_ || row >= height_) {
      in_.Error(at, field, "stands outside the map");
      continue;
    }
    const DoodadPlacement p{static_cast<int16_t>(col + 1), static_cast<int16_t>(row + 1), *n};
    out_.map.doodads.push_back(p);
    if (gid > 0) ApplyTileProperties(gid, static_cast<size_t>(row * width_ + col));
  }
}

void MapBuilder::ApplyEventProperties(const std::map<std::string, Json>& props, EventCell& cell,
                                      const std::string& at, const std::string& field) {
  for (const auto& [key, value] : props) {
    std::string EventCell::*script = key == "enter"   ? &EventCell::ENTERSCRIPT
                                     : key == "leave" ? &EventCell::LEAVESCRIPT
                                     : key == "use"   ? &EventCell::USESCRIPT
                                     : key == "push"  ? &EventCell::PUSHSCRIPT
                                                      : nullptr;
    if (script) {
      auto bytes = value.is_string() ? FromJsonText(value.get<std::string>()) : std::nullopt;
      if (!bytes || bytes->size() > 255)
        in_.Error(at, field + ": " + key, "must be a script name of at most 255 characters");
      else
        cell.*script = *bytes;
    } else if (key == "obstacle" || key == "box") {
      if (!value.is_boolean() && !value.is_number()) {
        in_.Error(at, field + ": " + key, "must be true or false");
        continue;
      }
      const bool on = value.is_boolean() ? value.get<bool>() : value.get<double>() != 0;
      if (key == "obstacle") cell.passable = !on;
      else cell.BOX = on;
    }
  }
}

void MapBuilder::BuildEvents() {
  if (!events_.layer) return;
  const Json& layer = *events_.layer;
  if (TextAt(layer, "type") != "objectgroup" || !layer.contains("objects") ||
      !layer["objects"].is_array()) {
    in_.Error(events_.pointer, "layer 'events'", "must be an object layer");
    return;
  }
  const Json& objects = layer["objects"];
  for (size_t i = 0; i < objects.size(); ++i) {
    const Json& o = objects[i];
    const std::string at = Child(Child(events_.pointer, "objects"), i);
    std::string field = "layer 'events' object " + std::to_string(i + 1);
    if (o.contains("name") && o["name"].is_string() && !o["name"].get<std::string>().empty())
      field += " '" + o["name"].get<std::string>() + "'";
    const auto props = PropertiesOf(o);
    for (const auto& [k, v] : props)
      if (std::find(kEventProperties.begin(), kEventProperties.end(), k) == kEventProperties.end())
        in_.Warning(at, field + ": " + k, "is not an event property (enter, leave, use, push, obstacle, box)");
    const auto ow = Pixels(o, "width", at, field), oh = Pixels(o, "height", at, field);
    const auto ox = Pixels(o, "x", at, field), oy = Pixels(o, "y", at, field);
    if (!ow || !oh || !ox || !oy) continue;
    const double w = *ow, h = *oh, x = *ox;
    const double y = o.contains("gid") ? *oy - h : *oy;
    const double tw = static_cast<double>(tileW_), th = static_cast<double>(tileH_);
    // The cells whose centres lie inside; a smaller object takes the cell
    // under its own centre.
    int64_t c0 = static_cast<int64_t>(std::ceil(x / tw - 0.5));
    int64_t c1 = static_cast<int64_t>(std::floor((x + w) / tw - 0.5));
    int64_t r0 = static_cast<int64_t>(std::ceil(y / th - 0.5));
    int64_t r1 = static_cast<int64_t>(std::floor((y + h) / th - 0.5));
    if (c1 < c0) c0 = c1 = static_cast<int64_t>(std::floor((x + w / 2) / tw));
    if (r1 < r0) r0 = r1 = static_cast<int64_t>(std::floor((y + h / 2) / th));
    c0 = std::max<int64_t>(c0, 0);
    r0 = std::max<int64_t>(r0, 0);
    c1 = std::min(c1, width_ - 1);
    r1 = std::min(r1, height_ - 1);
    if (c1 < c0 || r1 < r0) {
      in_.Error(at, field, "lies outside the map");
      continue;
    }
    for (int64_t r = r0; r <= r1; ++r)
      for (int64_t c = c0; c <= c1; ++c)
        ApplyEventProperties(props, drafts_[static_cast<size_t>(r * width_ + c)].cell, at, field);
  }
}

std::optional<BuiltMap> MapBuilder::Build(const std::string& stem) {
  if (!ReadHeader()) return std::nullopt;
  ReadTilesets();
  ReadProperties(stem);
  if (!in_.Root().contains("layers")) {
    in_.Error("", "layers", "is missing");
    return std::nullopt;
  }
  CollectLayers(in_.Root()["layers"], "/layers");
  drafts_.resize(static_cast<size_t>(width_ * height_));
  BuildTiles();
  if (doodads_.layer) {
    const std::string type = TextAt(*doodads_.layer, "type");
    if (type == "tilelayer") BuildDoodadLayer();
    else if (type == "objectgroup" && doodads_.layer->contains("objects") &&
             (*doodads_.layer)["objects"].is_array())
      BuildDoodadObjects();
    else in_.Error(doodads_.pointer, "layer 'doodads'", "must be a tile layer or an object layer");
  }
  BuildEvents();
  if (in_.ErrorCount() > 0) return std::nullopt;
  out_.map.width = out_.events.width = static_cast<int16_t>(width_);
  out_.map.height = out_.events.height = static_cast<int16_t>(height_);
  for (EventDraft& d : drafts_) out_.events.cells.push_back(std::move(d.cell));
  return std::move(out_);
}

// --- Writing Tiled maps -------------------------------------------------------

Json Property(const std::string& name, const Json& value) {
  const char* type = value.is_boolean() ? "bool" : value.is_number_integer() ? "int" : "string";
  return {{"name", name}, {"type", type}, {"value", value}};
}

Json TileLayer(int id, const std::string& name, int width, int height, Json data) {
  return {{"data", std::move(data)}, {"height", height}, {"id", id},
          {"name", name},            {"opacity", 1},     {"type", "tilelayer"},
          {"visible", true},         {"width", width},   {"x", 0},
          {"y", 0}};
}

Json ObjectLayer(int id, const std::string& name, Json objects) {
  return {{"draworder", "index"}, {"id", id},         {"name", name},  {"objects", std::move(objects)},
          {"opacity", 1},         {"type", "objectgroup"}, {"visible", true}, {"x", 0},
          {"y", 0}};
}

// Placements in reading order, one per cell and each with a doodad, fit a
// tile layer; any other list keeps its order as objects.
bool PlacementsFitLayer(const MapFileData& map) {
  int64_t last = -1;
  for (const DoodadPlacement& p : map.doodads) {
    const int64_t index = int64_t{p.y - 1} * map.width + (p.x - 1);
    if (p.doodad < 1 || index <= last) return false;
    last = index;
  }
  return true;
}

Json EventProperties(const EventCell& cell) {
  Json props = Json::array();
  if (!cell.ENTERSCRIPT.empty()) props.push_back(Property("enter", ToJsonText(cell.ENTERSCRIPT)));
  if (!cell.LEAVESCRIPT.empty()) props.push_back(Property("leave", ToJsonText(cell.LEAVESCRIPT)));
  if (!cell.USESCRIPT.empty()) props.push_back(Property("use", ToJsonText(cell.USESCRIPT)));
  if (!cell.PUSHSCRIPT.empty()) props.push_back(Property("push", ToJsonText(cell.PUSHSCRIPT)));
  if (!cell.passable) props.push_back(Property("obstacle", true));
  if (cell.BOX) props.push_back(Property("box", true));
  return props;
}

Json TilesetEntry(int64_t firstgid, const TilesetLink& link) {
  return {{"firstgid", firstgid}, {"source", link.source}};
}

}  // namespace

std::optional<BuiltMap> BuildTiledMap(SourceReader& in, const std::string& stem,
                                      const TilesetLoader& loadTileset) {
  if (!in.Root().is_object()) {
    in.Error("", "", "a Tiled map must be a JSON object");
    return std::nullopt;
  }
  MapBuilder builder(in, loadTileset);
  return builder.Build(stem);
}

Json MapToTiled(const MapFileData* map, const std::string& mapFile,
                const EventmapFileData* events, const std::string& eventmapFile, int tileWidth,
                int tileHeight, const TilesetLink& tiles, const TilesetLink& doodads) {
  const int width = map ? map->width : events->width;
  const int height = map ? map->height : events->height;
  int maxTile = tiles.count;
  if (map)
    for (int16_t t : map->tiles) maxTile = std::max<int>(maxTile, t);
  const int64_t doodadFirst = std::max(maxTile, 1) + 1;

  Json props = Json::array();
  props.push_back(Property("tilemap", ToJsonText(map ? map->tilemapFile : "")));
  props.push_back(Property("doodadmap", ToJsonText(map ? map->doodadmapFile : "")));
  props.push_back(Property("mapfile", ToJsonText(map ? mapFile : "")));
  props.push_back(Property("eventmapfile", ToJsonText(events ? eventmapFile : "")));
  if (events) props.push_back(Property("eventmap_mapfile", ToJsonText(events->mapFile)));

  Json layers = Json::array();
  int nextObject = 1;
  if (map) {
    Json data = Json::array();
    for (int16_t t : map->tiles) data.push_back(t);
    layers.push_back(TileLayer(1, "tiles", width, height, std::move(data)));
    if (PlacementsFitLayer(*map)) {
      Json cells = Json::array();
      for (int i = 0; i < width * height; ++i) cells.push_back(0);
      for (const DoodadPlacement& p : map->doodads)
        cells[static_cast<size_t>((p.y - 1) * width + (p.x - 1))] = doodadFirst + p.doodad - 1;
      layers.push_back(TileLayer(2, "doodads", width, height, std::move(cells)));
    } else {
      Json objects = Json::array();
      for (const DoodadPlacement& p : map->doodads) {
        Json o = {{"id", nextObject++}, {"name", ""}, {"rotation", 0}, {"type", ""}, {"visible", true},
                  {"x", (p.x - 1) * tileWidth}, {"width", tileWidth}, {"height", tileHeight}};
        if (p.doodad >= 1) {
          o["gid"] = doodadFirst + p.doodad - 1;
          o["y"] = p.y * tileHeight;
        } else {
          o["y"] = (p.y - 1) * tileHeight;
          o["properties"] = Json::array({Property("doodad", p.doodad)});
        }
        objects.push_back(std::move(o));
      }
      layers.push_back(ObjectLayer(2, "doodads", std::move(objects)));
    }
  }
  if (events) {
    Json objects = Json::array();
    const EventCell plain = [] {
      EventCell c;
      c.passable = true;
      return c;
    }();
    for (int y = 0; y < events->height; ++y) {
      int x = 0;
      while (x < events->width) {
        const EventCell& cell = events->cells[static_cast<size_t>(y * events->width + x)];
        int run = 1;
        while (x + run < events->width &&
               events->cells[static_cast<size_t>(y * events->width + x + run)] == cell)
          ++run;
        if (!(cell == plain))
          objects.push_back({{"id", nextObject++}, {"name", ""}, {"rotation", 0}, {"type", ""},
                             {"visible", true}, {"x", x * tileWidth}, {"y", y * tileHeight},
                             {"width", run * tileWidth}, {"height", tileHeight},
                             {"properties", EventProperties(cell)}});
        x += run;
      }
    }
    layers.push_back(ObjectLayer(3, "events", std::move(objects)));
  }

  Json tilesets = Json::array();
  if (!tiles.source.empty()) tilesets.push_back(TilesetEntry(1, tiles));
  if (!doodads.source.empty()) tilesets.push_back(TilesetEntry(doodadFirst, doodads));
  else if (map && !map->doodads.empty()) {
    // Without a doodad sheet, doodad numbers still need a tileset of their own.
    tilesets.push_back({{"firstgid", doodadFirst}, {"name", "doodads"}, {"tilecount", 0},
                        {"tilewidth", tileWidth}, {"tileheight", tileHeight}, {"columns", 0},
                        {"tiles", Json::array()}});
  }
  return {{"compressionlevel", -1}, {"height", height}, {"infinite", false},
          {"layers", std::move(layers)}, {"nextlayerid", 4}, {"nextobjectid", nextObject},
          {"orientation", "orthogonal"}, {"properties", std::move(props)},
          {"renderorder", "right-down"}, {"tiledversion", "1.10.2"}, {"tileheight", tileHeight},
          {"tilesets", std::move(tilesets)}, {"tilewidth", tileWidth}, {"type", "map"},
          {"version", "1.10"}, {"width", width}};
}

namespace {

Json TilesetShell(const std::string& name, int tileWidth, int tileHeight, size_t count) {
  return {{"columns", 0}, {"grid", {{"height", 1}, {"orientation", "orthogonal"}, {"width", 1}}},
          {"margin", 0}, {"name", name}, {"spacing", 0}, {"tilecount", count},
          {"tiledversion", "1.10.2"}, {"tileheight", tileHeight}, {"tilewidth", tileWidth},
          {"type", "tileset"}, {"version", "1.10"}};
}

Json SubImage(size_t id, const std::string& image, int imageWidth, int imageHeight, int x, int y,
              int w, int h) {
  return {{"id", id}, {"image", image}, {"imageheight", imageHeight}, {"imagewidth", imageWidth},
          {"x", x}, {"y", y}, {"width", w}, {"height", h}};
}

}  // namespace

Json TilesetFromTiles(const TileSheetFile& sheet, const std::string& name,
                      const std::string& image, int imageWidth, int imageHeight) {
  Json ts = TilesetShell(name, sheet.tileWidth, sheet.tileHeight, sheet.tiles.size());
  Json tiles = Json::array();
  for (size_t i = 0; i < sheet.tiles.size(); ++i)
    tiles.push_back(SubImage(i, image, imageWidth, imageHeight, sheet.tiles[i].x, sheet.tiles[i].y,
                             sheet.tileWidth, sheet.tileHeight));
  ts["tiles"] = std::move(tiles);
  return ts;
}

Json TilesetFromSprites(const SpriteSheetFile& sheet, const std::string& name,
                        const std::string& image, int imageWidth, int imageHeight, int tileWidth,
                        int tileHeight) {
  Json ts = TilesetShell(name, tileWidth, tileHeight, sheet.sprites.size());
  Json tiles = Json::array();
  for (size_t i = 0; i < sheet.sprites.size(); ++i) {
    const SpriteDef& s = sheet.sprites[i];
    tiles.push_back(SubImage(i, image, imageWidth, imageHeight, s.picX, s.picY, s.width, s.height));
  }
  ts["tiles"] = std::move(tiles);
  return ts;
}

}  // namespace yw::pack
