#include "tiled_maps.h"

#include <array>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <unordered_map>
#include <vector>

#include "layer_data.h"
#include "tiled_sheets.h"
#include "world/paths.h"

namespace yw::pack {

namespace {

constexpr std::array<std::string_view, 6> kEventProperties{"enter", "leave",    "use",
                                                           "push",  "obstacle", "box"};

struct TilesetInfo {
  int64_t firstgid = 1;
  std::string name;
  std::string pointer;  // of its entry in the map
  std::string folder;   // its pictures' names are relative to this folder of the map's
  const Json* body = nullptr;
  std::map<int64_t, Json> tileProperties;  // local id -> tile
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
  return layer.contains("name") && layer["name"].is_string()
             ? ToLower(layer["name"].get<std::string>())
             : std::string();
}

std::string Quoted(const Json& layer) { return "'" + TextAt(layer, "name") + "'"; }

bool Visible(const Json& layer) {
  return !(layer.contains("visible") && layer["visible"].is_boolean() &&
           !layer["visible"].get<bool>());
}

// Whether an object layer sets events: one of its objects has an event
// property.
bool HasEventProperties(const Json& layer) {
  if (!layer.contains("objects") || !layer["objects"].is_array()) return false;
  for (const Json& o : layer["objects"])
    for (const auto& [k, v] : PropertiesOf(o))
      if (std::find(kEventProperties.begin(), kEventProperties.end(), k) != kEventProperties.end())
        return true;
  return false;
}

std::string CellField(const std::string& layer, int64_t index, int64_t width) {
  return "layer '" + layer + "' row " + std::to_string(index / width + 1) + ", column " +
         std::to_string(index % width + 1);
}

// Cells of one layer that share a problem, reported once with how many
// they are and where the first few lie.
class CellProblems {
 public:
  void Add(const std::string& message, int64_t index) {
    Entry& e = entries_[message];
    ++e.count;
    if (e.first.size() < 3) e.first.push_back(index);
  }
  // `say` gets the pointer of the first cell (in the layer data at
  // `data`), the cells as words and the message.
  template <class Say>
  void Each(int64_t width, const std::string& data, Say say) const {
    for (const auto& [message, e] : entries_) {
      std::string where = e.count == 1 ? "1 cell (" : std::to_string(e.count) + " cells (";
      for (size_t i = 0; i < e.first.size(); ++i)
        where += (i ? "; row " : "row ") + std::to_string(e.first[i] / width + 1) + ", column " +
                 std::to_string(e.first[i] % width + 1);
      where += e.count > static_cast<int64_t>(e.first.size()) ? "; ...)" : ")";
      say(Child(data, static_cast<size_t>(e.first[0])), where, message);
    }
  }

 private:
  struct Entry {
    int64_t count = 0;
    std::vector<int64_t> first;
  };
  std::map<std::string, Entry> entries_;
};

// A layer's tile ids: a view of the packed ids of its source, or read
// from a list or from Base64 data.
class LayerCells {
 public:
  explicit LayerCells(PackedIds packed) : packed_(packed), size_(packed.size()) {}
  explicit LayerCells(std::vector<uint32_t> own) : own_(std::move(own)), size_(own_.size()) {}
  size_t size() const { return size_; }
  uint32_t operator[](size_t i) const { return own_.empty() ? packed_[i] : own_[i]; }

 private:
  PackedIds packed_;
  std::vector<uint32_t> own_;
  size_t size_;
};

class MapBuilder {
 public:
  MapBuilder(SourceReader& in, const TilesetLoader& loadTileset, const PictureLoader& loadPicture)
      : in_(in), loadTileset_(loadTileset), loadPicture_(loadPicture) {}

  std::optional<BuiltMap> Build(const std::string& stem);

 private:
  struct LayerRef {
    const Json* layer = nullptr;
    std::string pointer;
  };

  bool ReadHeader();
  void ReadTilesets();
  void ReadProperties(const std::string& stem);
  void CollectLayers(const Json& layers, const std::string& pointer, bool visible);
  void ChooseRoles();
  void MakeArt();
  std::vector<TileArt> TilesetArt(const TilesetInfo& ts);
  const Picture* LoadPicture(const TilesetInfo& ts, const Json& owner, const std::string& field);
  std::optional<LayerCells> LayerGids(const Json& layer, const std::string& pointer);
  // The place of a problem, made only when there is one: pointer and field.
  using Where = std::function<std::pair<std::string, std::string>()>;
  std::optional<int16_t> NumberOfGid(int64_t gid, const Where& where);
  std::optional<int16_t> FillTile();
  void BuildTiles();
  void BuildDoodadLayers();
  void BuildDoodadObjects();
  void ApplyTileProperties(uint32_t gid, size_t cellIndex);
  void BuildEvents(const LayerRef& events);
  void WriteSheets();
  std::optional<double> Pixels(const Json& o, const char* key, const std::string& at,
                               const std::string& field);
  void ApplyEventProperties(const std::map<std::string, Json>& props, EventCell& cell,
                            const std::string& at, const std::string& field);
  std::string PropText(const std::map<std::string, Json>& props, const std::string& key,
                       const std::string& fallback, const std::string& at);
  uint32_t Intern(EventCell cell);
  // Applies `apply` to the event cell `index`; alike cells share the work
  // through `done` (entry before -> entry after).
  template <class Apply>
  void ChangeCell(size_t index, std::unordered_map<uint64_t, uint32_t>& done, uint64_t key,
                  Apply apply);
  bool MakesDoodads() const { return !doodadLayers_.empty() || doodadObjects_.layer; }

  SourceReader& in_;
  const TilesetLoader& loadTileset_;
  const PictureLoader& loadPicture_;
  int64_t width_ = 0, height_ = 0, tileW_ = 0, tileH_ = 0;
  std::vector<TilesetInfo> tilesets_;
  // Sheets the build makes from the tilesets, unless the map names them.
  bool makeTiles_ = true, makeDoodads_ = true;
  std::optional<int64_t> fill_;
  std::vector<LayerRef> tileLayers_;  // visible ones, in drawing order
  LayerRef ground_, doodadObjects_;
  std::vector<LayerRef> doodadLayers_, eventLayers_;
  std::optional<SheetMaker> sheets_;
  std::map<std::string, const Picture*> pictures_;  // by name and see-through colour
  std::deque<Picture> keyedPictures_;
  // The event layer: per cell an entry of the distinct cells, which tile
  // properties and event objects change.
  std::vector<uint32_t> cellEntry_;
  std::vector<EventCell> entries_;
  std::unordered_map<std::string, uint32_t> entryIndex_;
  std::unordered_map<uint64_t, uint32_t> tileApplied_;
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
    in_.Error(at, "map property '" + key + "'", "must be at most 255 characters of Windows-1252");
    return fallback;
  }
  return *bytes;
}

bool MapBuilder::ReadHeader() {
  const Json& root = in_.Root();
  if (root.contains("orientation") && TextAt(root, "orientation") != "orthogonal") {
    in_.Error("/orientation", "orientation",
              "'" + TextAt(root, "orientation") +
                  "' maps cannot be built: the game draws orthogonal maps only");
    return false;
  }
  if (in_.Flag(root, "", "infinite", "infinite")) {
    in_.Error("/infinite", "infinite", "infinite maps cannot be built; give the map a fixed size");
    return false;
  }
  width_ = in_.Integer(root, "", "width", "width", 1, INT16_MAX, std::nullopt).value_or(0);
  height_ = in_.Integer(root, "", "height", "height", 1, INT16_MAX, std::nullopt).value_or(0);
  tileW_ = in_.Integer(root, "", "tilewidth", "tilewidth", 1, INT16_MAX, std::nullopt).value_or(0);
  tileH_ =
      in_.Integer(root, "", "tileheight", "tileheight", 1, INT16_MAX, std::nullopt).value_or(0);
  if (width_ * height_ > kMaxMapCells) {
    in_.Error("/width", "width",
              "the map has more than " + std::to_string(kMaxMapCells) + " cells");
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
    info.pointer = at;
    info.firstgid =
        in_.Integer(ts, at, "firstgid", field + ": firstgid", 1, INT32_MAX, std::nullopt)
            .value_or(1);
    const Json* body = &ts;
    if (ts.contains("source")) {
      const std::string source = ts["source"].is_string() ? ts["source"].get<std::string>() : "";
      const JsonDoc* doc = loadTileset_ ? loadTileset_(source) : nullptr;
      if (!doc || !doc->Ok() || !doc->root.is_object()) {
        std::string why = "there is no such file";
        if (doc && !doc->Ok())
          why = "line " + std::to_string(doc->errorLine) +
                (doc->errorColumn > 0 ? ", column " + std::to_string(doc->errorColumn) : "") +
                ": " + doc->error;
        else if (doc)
          why = "it is not a tileset";
        in_.Error(Child(at, "source"), field,
                  "the tileset '" + source + "' cannot be read: " + why);
        continue;
      }
      body = &doc->root;
      const auto slash = source.find_last_of('/');
      if (slash != std::string::npos) info.folder = source.substr(0, slash + 1);
    }
    info.body = body;
    info.name = TextAt(*body, "name");
    if (body->contains("tiles") && (*body)["tiles"].is_array()) {
      for (const Json& tile : (*body)["tiles"]) {
        if (!tile.is_object() || !tile.contains("id") || !tile["id"].is_number_integer()) continue;
        info.tileProperties[tile["id"].get<int64_t>()] = tile;
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
    static constexpr std::array<std::string_view, 6> kKnown{
        "tilemap", "doodadmap", "mapfile", "eventmapfile", "eventmap_mapfile", "fill"};
    if (std::find(kKnown.begin(), kKnown.end(), k) == kKnown.end())
      in_.Warning("/properties", "map property '" + k + "'", "is not used");
  }
  makeTiles_ = !props.contains("tilemap");
  makeDoodads_ = !props.contains("doodadmap");
  out_.map.tilemapFile = PropText(props, "tilemap", "", "/properties");
  out_.map.doodadmapFile = PropText(props, "doodadmap", "", "/properties");
  out_.mapFile = PropText(props, "mapfile", stem + ".map", "/properties");
  out_.eventmapFile = PropText(props, "eventmapfile", stem + ".evm", "/properties");
  out_.events.mapFile = PropText(props, "eventmap_mapfile", out_.mapFile, "/properties");
  if (auto it = props.find("fill"); it != props.end()) {
    if (!it->second.is_number_integer() || it->second.get<int64_t>() < 1 ||
        it->second.get<int64_t>() > INT16_MAX)
      in_.Error("/properties", "map property 'fill'", "must be a tile number from 1 to 32767");
    else
      fill_ = it->second.get<int64_t>();
  }
}

void MapBuilder::CollectLayers(const Json& layers, const std::string& pointer, bool visible) {
  if (!layers.is_array()) {
    in_.Error(pointer, "layers", "must be a list");
    return;
  }
  for (size_t i = 0; i < layers.size(); ++i) {
    const Json& layer = layers[i];
    const std::string at = Child(pointer, i);
    const std::string type = TextAt(layer, "type");
    // Hidden layers are not drawn in Tiled and not built; event layers
    // draw nothing, so they set events even while hidden.
    const bool shown = visible && Visible(layer);
    if (type == "group" && layer.contains("layers")) {
      CollectLayers(layer["layers"], Child(at, "layers"), shown);
      continue;
    }
    const std::string name = LowerName(layer);
    if (type == "tilelayer") {
      if (shown) tileLayers_.push_back({&layer, at});
    } else if (type == "objectgroup" && name == "doodads") {
      if (doodadObjects_.layer)
        in_.Error(at, "layer 'doodads'", "appears twice");
      else if (shown)
        doodadObjects_ = {&layer, at};
    } else if (type == "objectgroup" &&
               (name.find("event") != std::string::npos || HasEventProperties(layer))) {
      eventLayers_.push_back({&layer, at});
    } else if (shown) {
      in_.Warning(at, "layer " + Quoted(layer),
                  "is not built (tile layers are, and object layers named doodads or events or "
                  "with event properties)");
    }
  }
}

void MapBuilder::ChooseRoles() {
  size_t ground = 0;
  bool named = false;
  for (size_t i = 0; i < tileLayers_.size(); ++i) {
    if (LowerName(*tileLayers_[i].layer) != "tiles") continue;
    if (named) {
      in_.Error(tileLayers_[i].pointer, "layer 'tiles'", "appears twice");
      continue;
    }
    ground = i, named = true;
  }
  if (tileLayers_.empty()) {
    if (!out_.mapFile.empty())
      in_.Error("/layers", "layers", "the map needs a visible tile layer (the ground)");
    return;
  }
  ground_ = tileLayers_[ground];
  for (size_t i = 0; i < ground; ++i)
    in_.Warning(tileLayers_[i].pointer, "layer " + Quoted(*tileLayers_[i].layer),
                "lies below the ground layer 'tiles' and is not built");
  std::string above;
  for (size_t i = ground + 1; i < tileLayers_.size(); ++i) {
    doodadLayers_.push_back(tileLayers_[i]);
    above += (above.empty() ? "" : ", ") + Quoted(*tileLayers_[i].layer);
  }
  // A single tile layer is the ground without a choice to name.
  if (!named && !above.empty())
    in_.Warning(ground_.pointer, "layers",
                "no layer is named 'tiles': the lowest, " + Quoted(*ground_.layer) +
                    ", is the ground and the ones above (" + above + ") are doodads");
}

const Picture* MapBuilder::LoadPicture(const TilesetInfo& ts, const Json& owner,
                                       const std::string& field) {
  const std::string image = TextAt(owner, "image");
  // The see-through colour of the tile's own picture (TMX) or the tileset's.
  std::string trans = TextAt(owner, "transparentcolor");
  if (trans.empty()) trans = TextAt(*ts.body, "transparentcolor");
  const std::string key = ts.folder + image + "#" + trans;
  if (auto it = pictures_.find(key); it != pictures_.end()) return it->second;
  const Picture* pic = loadPicture_ ? loadPicture_(ts.folder + image) : nullptr;
  if (!pic) {
    in_.Error(ts.pointer, field,
              "the picture '" + image + "' cannot be read (BMP, JPEG or PNG, at most 4096 x 4096)");
  } else if (trans.size() == 7 && trans[0] == '#') {
    // Tiled's see-through colour: "#rrggbb".
    const uint32_t colour = static_cast<uint32_t>(std::strtoul(trans.c_str() + 1, nullptr, 16));
    Picture& keyed = keyedPictures_.emplace_back(*pic);
    for (uint32_t& p : keyed.pixels)
      if ((p & 0xFFFFFFu) == colour) p = 0;
    pic = &keyed;
  }
  pictures_[key] = pic;
  return pic;
}

// The pictures of a tileset's tiles by local id: cut from its picture by
// its tile size, margin, spacing and columns, or one picture per tile.
std::vector<TileArt> MapBuilder::TilesetArt(const TilesetInfo& ts) {
  const Json& body = *ts.body;
  const std::string field = "tileset '" + ts.name + "'";
  std::vector<TileArt> art;
  if (!TextAt(body, "image").empty()) {
    const auto number = [&](const char* key, int64_t lo, int64_t fallback) {
      return in_.Integer(body, ts.pointer, key, field + ": " + key, lo, INT16_MAX, fallback)
          .value_or(fallback);
    };
    const int64_t tw = number("tilewidth", 1, tileW_), th = number("tileheight", 1, tileH_);
    const int64_t margin = number("margin", 0, 0), spacing = number("spacing", 0, 0);
    const Picture* pic = LoadPicture(ts, body, field);
    if (!pic) return art;
    const int64_t fitX = (pic->width - 2 * margin + spacing) / (tw + spacing);
    const int64_t fitY = (pic->height - 2 * margin + spacing) / (th + spacing);
    const int64_t columns =
        std::max<int64_t>(1, number("columns", 0, 0) > 0 ? number("columns", 0, 0) : fitX);
    const int64_t count =
        number("tilecount", 0, std::max<int64_t>(0, fitX) * std::max<int64_t>(0, fitY));
    art.resize(static_cast<size_t>(count));
    for (int64_t id = 0; id < count; ++id) {
      const int64_t x = margin + id % columns * (tw + spacing),
                    y = margin + id / columns * (th + spacing);
      if (x + tw <= pic->width && y + th <= pic->height)
        art[static_cast<size_t>(id)] = {pic, static_cast<int>(x), static_cast<int>(y),
                                        static_cast<int>(tw), static_cast<int>(th)};
    }
    return art;
  }
  // An image collection: each tile its own picture, or a part of one.
  for (const auto& [id, tile] : ts.tileProperties) {
    if (TextAt(tile, "image").empty() || id < 0 || id >= static_cast<int64_t>(kMaxRecords))
      continue;
    const Picture* pic = LoadPicture(ts, tile, field + " tile " + std::to_string(id));
    if (!pic) continue;
    const auto part = [&](const char* key, int64_t fallback) {
      return tile.contains(key) && tile[key].is_number_integer() ? tile[key].get<int64_t>()
                                                                 : fallback;
    };
    const int64_t x = part("x", 0), y = part("y", 0);
    const int64_t w = part("width", pic->width - x), h = part("height", pic->height - y);
    if (x < 0 || y < 0 || w < 1 || h < 1 || x + w > pic->width || y + h > pic->height) {
      in_.Error(ts.pointer, field + " tile " + std::to_string(id),
                "its part of the picture lies outside it");
      continue;
    }
    if (static_cast<size_t>(id) >= art.size()) art.resize(static_cast<size_t>(id) + 1);
    art[static_cast<size_t>(id)] = {pic, static_cast<int>(x), static_cast<int>(y),
                                    static_cast<int>(w), static_cast<int>(h)};
  }
  return art;
}

void MapBuilder::MakeArt() {
  std::vector<TileArt> art;
  for (const TilesetInfo& ts : tilesets_) {
    std::vector<TileArt> own = TilesetArt(ts);
    const int64_t last = ts.firstgid - 1 + static_cast<int64_t>(own.size());
    if (last > static_cast<int64_t>(kMaxRecords)) {
      in_.Error(ts.pointer, "tileset '" + ts.name + "'",
                "its tiles reach number " + std::to_string(last) + "; a sheet holds at most " +
                    std::to_string(kMaxRecords));
      continue;
    }
    if (static_cast<int64_t>(art.size()) < last) art.resize(static_cast<size_t>(last));
    for (size_t id = 0; id < own.size(); ++id)
      if (own[id].picture) art[static_cast<size_t>(ts.firstgid - 1) + id] = own[id];
  }
  sheets_.emplace(std::move(art), static_cast<int>(tileW_), static_cast<int>(tileH_));
}

std::optional<LayerCells> MapBuilder::LayerGids(const Json& layer, const std::string& pointer) {
  const std::string field = "layer '" + TextAt(layer, "name") + "'";
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
  std::vector<uint32_t> gids;
  const Json& data = layer["data"];
  const PackedIds packed = PackedIds::Of(data);
  if (packed.size() > 0) {
    // Read in place.
  } else if (data.is_array()) {
    gids.reserve(data.size());
    for (size_t i = 0; i < data.size(); ++i) {
      if (!data[i].is_number_integer() || data[i].get<int64_t>() < 0 ||
          data[i].get<int64_t>() > int64_t{UINT32_MAX}) {
        in_.Error(Child(Child(pointer, "data"), i), field,
                  "holds " + data[i].dump() + ", not a tile id");
        return std::nullopt;
      }
      gids.push_back(static_cast<uint32_t>(data[i].get<int64_t>()));
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
    gids = std::move(decoded.gids);
  } else {
    in_.Error(Child(pointer, "data"), field, "must be a list of tile ids or Base64 text");
    return std::nullopt;
  }
  const size_t count = packed.size() > 0 ? packed.size() : gids.size();
  if (static_cast<int64_t>(count) != width_ * height_) {
    in_.Error(Child(pointer, "data"), field,
              "holds " + std::to_string(count) + " cells; the map has " +
                  std::to_string(width_ * height_));
    return std::nullopt;
  }
  return packed.size() > 0 ? LayerCells(packed) : LayerCells(std::move(gids));
}

// A tile's number on a sheet the map names: the n-th tile of its tileset.
std::optional<int16_t> MapBuilder::NumberOfGid(int64_t gid, const Where& where) {
  if (gid < 0) {
    const auto [at, field] = where();
    in_.Error(at, field, "holds " + std::to_string(gid) + ", not a tile id");
    return std::nullopt;
  }
  if (static_cast<uint64_t>(gid) & kFlipFlags) {
    const auto [at, field] = where();
    in_.Error(at, field,
              "flipped or rotated tiles cannot be stored on a sheet the map names (leave out the "
              "map property 'tilemap' or 'doodadmap' to have the build make the sheet)");
    return std::nullopt;
  }
  const TilesetInfo* set = nullptr;
  for (const TilesetInfo& ts : tilesets_)
    if (ts.firstgid <= gid) set = &ts;
  const int64_t number = set ? gid - set->firstgid + 1 : gid;
  if (number > INT16_MAX) {
    const auto [at, field] = where();
    in_.Error(at, field, "tile number " + std::to_string(number) + " is too large");
    return std::nullopt;
  }
  return static_cast<int16_t>(number);
}

uint32_t MapBuilder::Intern(EventCell cell) {
  std::string key;
  for (const std::string* s :
       {&cell.ENTERSCRIPT, &cell.LEAVESCRIPT, &cell.PUSHSCRIPT, &cell.USESCRIPT})
    key += std::to_string(s->size()) + ":" + *s;
  key += cell.passable ? 'p' : '-';
  key += cell.BOX ? 'b' : '-';
  auto [it, added] =
      entryIndex_.try_emplace(std::move(key), static_cast<uint32_t>(entries_.size()));
  if (added) entries_.push_back(std::move(cell));
  return it->second;
}

template <class Apply>
void MapBuilder::ChangeCell(size_t index, std::unordered_map<uint64_t, uint32_t>& done,
                            uint64_t key, Apply apply) {
  uint32_t& entry = cellEntry_[index];
  key ^= uint64_t{entry} << 32;
  if (auto it = done.find(key); it != done.end()) {
    entry = it->second;
    return;
  }
  EventCell cell = entries_[entry];
  apply(cell);
  entry = done[key] = Intern(std::move(cell));
}

void MapBuilder::ApplyTileProperties(uint32_t gid, size_t cellIndex) {
  gid &= ~kFlipFlags;
  const TilesetInfo* set = nullptr;
  for (const TilesetInfo& ts : tilesets_)
    if (ts.firstgid <= gid) set = &ts;
  if (!set) return;
  auto it = set->tileProperties.find(gid - set->firstgid);
  if (it == set->tileProperties.end() || !it->second.contains("properties")) return;
  ChangeCell(cellIndex, tileApplied_, gid, [&](EventCell& cell) {
    ApplyEventProperties(PropertiesOf(it->second), cell, "/tilesets",
                         "tileset '" + set->name + "' tile " + std::to_string(gid - set->firstgid));
  });
}

// The tile of empty ground cells: the map property 'fill', else a black
// tile added to the sheet the build makes.
std::optional<int16_t> MapBuilder::FillTile() {
  if (!makeTiles_)
    return fill_ ? std::optional<int16_t>(static_cast<int16_t>(*fill_)) : std::nullopt;
  if (!fill_) return sheets_->BlankTile();
  std::string why;
  auto n = sheets_->Tile(static_cast<uint32_t>(*fill_), why);
  if (!n) in_.Error("/properties", "map property 'fill'", why);
  return n;
}

void MapBuilder::BuildTiles() {
  if (!ground_.layer) return;
  auto gids = LayerGids(*ground_.layer, ground_.pointer);
  if (!gids) return;
  const std::string name = TextAt(*ground_.layer, "name");
  const std::string data = Child(ground_.pointer, "data");
  out_.tilesPointer = data;
  out_.map.tiles.reserve(gids->size());
  CellProblems empty, bad;
  std::optional<std::optional<int16_t>> fill;
  for (size_t i = 0; i < gids->size(); ++i) {
    const uint32_t gid = (*gids)[i];
    std::optional<int16_t> n;
    if (gid == 0) {
      if (!fill) fill = FillTile();
      empty.Add("", static_cast<int64_t>(i));
      n = *fill;
    } else if (makeTiles_) {
      std::string why;
      n = sheets_->Tile(gid, why);
      if (!n) bad.Add(why, static_cast<int64_t>(i));
    } else {
      n = NumberOfGid(gid, [&] {
        return std::pair{Child(data, i), CellField(name, static_cast<int64_t>(i), width_)};
      });
      if (n && *n < 1)
        in_.Error(Child(data, i), CellField(name, static_cast<int64_t>(i), width_),
                  "tile " + std::to_string(*n) + " is not allowed");
    }
    out_.map.tiles.push_back(n.value_or(0));
    if (gid != 0) ApplyTileProperties(gid, i);
  }
  const std::string field = "layer '" + name + "'";
  bad.Each(width_, data,
           [&](const std::string& at, const std::string& cells, const std::string& why) {
             in_.Error(at, field, cells + ": " + why);
           });
  empty.Each(
      width_, data, [&](const std::string& at, const std::string& cells, const std::string&) {
        if (fill && *fill)
          in_.Warning(
              at, field,
              "has " + cells + " without a tile, shown as " +
                  (fill_ ? "tile " + std::to_string(*fill_) + " (map property 'fill')"
                         : std::string("a black tile (the map property 'fill' may name another)")));
        else if (!makeTiles_)
          in_.Error(at, field,
                    "has " + cells +
                        " without a tile; every cell needs one (or name one with the map "
                        "property 'fill')");
      });
}

void MapBuilder::BuildDoodadLayers() {
  if (doodadLayers_.empty()) return;
  std::vector<LayerCells> layers;
  for (const LayerRef& ref : doodadLayers_)
    if (auto gids = LayerGids(*ref.layer, ref.pointer)) layers.push_back(std::move(*gids));
  if (layers.size() != doodadLayers_.size()) return;
  CellProblems bad;
  std::vector<uint32_t> stack;
  const size_t cells = static_cast<size_t>(width_ * height_);
  for (size_t i = 0; i < cells; ++i) {
    stack.clear();
    for (size_t l = 0; l < layers.size(); ++l) {
      const uint32_t gid = layers[l][i];
      if (gid == 0) continue;
      ApplyTileProperties(gid, i);
      if (makeDoodads_) {
        stack.push_back(gid);
        continue;
      }
      // On a named sheet each layer places its own doodad; the top one shows.
      const auto where = [&] {
        return std::pair{
            Child(Child(doodadLayers_[l].pointer, "data"), i),
            CellField(TextAt(*doodadLayers_[l].layer, "name"), static_cast<int64_t>(i), width_)};
      };
      if (auto n = NumberOfGid(gid, where))
        out_.map.doodads.push_back({static_cast<int16_t>(static_cast<int64_t>(i) % width_ + 1),
                                    static_cast<int16_t>(static_cast<int64_t>(i) / width_ + 1),
                                    *n});
    }
    if (stack.empty()) continue;
    std::string why;
    auto n = sheets_->Doodad(stack, why);
    if (!n) {
      bad.Add(why, static_cast<int64_t>(i));
      continue;
    }
    out_.map.doodads.push_back({static_cast<int16_t>(static_cast<int64_t>(i) % width_ + 1),
                                static_cast<int16_t>(static_cast<int64_t>(i) / width_ + 1), *n});
  }
  bad.Each(width_, Child(doodadLayers_[0].pointer, "data"),
           [&](const std::string& at, const std::string& where, const std::string& why) {
             in_.Error(at, "layers above the ground", where + ": " + why);
           });
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
  const Json& layer = *doodadObjects_.layer;
  if (!layer.contains("objects") || !layer["objects"].is_array()) {
    in_.Error(doodadObjects_.pointer, "layer 'doodads'", "must be a tile layer or an object layer");
    return;
  }
  const Json& objects = layer["objects"];
  for (size_t i = 0; i < objects.size(); ++i) {
    const Json& o = objects[i];
    const std::string at = Child(Child(doodadObjects_.pointer, "objects"), i);
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
      if (!makeDoodads_) {
        n = NumberOfGid(gid, [&] { return std::pair{at, field}; });
      } else if (gid < 1 || gid > int64_t{UINT32_MAX}) {
        in_.Error(at, field, "holds " + std::to_string(gid) + ", not a tile id");
      } else {
        std::string why;
        n = sheets_->Doodad({static_cast<uint32_t>(gid)}, why);
        if (!n) in_.Error(at, field, why);
      }
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
    if (gid > 0)
      ApplyTileProperties(static_cast<uint32_t>(gid), static_cast<size_t>(row * width_ + col));
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
      if (key == "obstacle")
        cell.passable = !on;
      else
        cell.BOX = on;
    }
  }
}

void MapBuilder::BuildEvents(const LayerRef& events) {
  const Json& layer = *events.layer;
  if (!layer.contains("objects") || !layer["objects"].is_array()) {
    in_.Error(events.pointer, "layer " + Quoted(layer), "must be an object layer");
    return;
  }
  const Json& objects = layer["objects"];
  for (size_t i = 0; i < objects.size(); ++i) {
    const Json& o = objects[i];
    const std::string at = Child(Child(events.pointer, "objects"), i);
    std::string field = "layer " + Quoted(layer) + " object " + std::to_string(i + 1);
    if (o.contains("name") && o["name"].is_string() && !o["name"].get<std::string>().empty())
      field += " '" + o["name"].get<std::string>() + "'";
    const auto props = PropertiesOf(o);
    for (const auto& [k, v] : props)
      if (std::find(kEventProperties.begin(), kEventProperties.end(), k) == kEventProperties.end())
        in_.Warning(at, field + ": " + k,
                    "is not an event property (enter, leave, use, push, obstacle, box)");
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
    std::unordered_map<uint64_t, uint32_t> done;
    for (int64_t r = r0; r <= r1; ++r)
      for (int64_t c = c0; c <= c1; ++c)
        ChangeCell(static_cast<size_t>(r * width_ + c), done, 0,
                   [&](EventCell& cell) { ApplyEventProperties(props, cell, at, field); });
  }
}

// The sheets the build makes, named after the map file: NAME.til with
// NAME-tiles.bmp and NAME.dod with NAME-doodads.bmp.
void MapBuilder::WriteSheets() {
  if (!sheets_) return;
  std::string base = out_.mapFile;
  if (const auto dot = base.find_last_of('.');
      dot != std::string::npos && base.find_first_of("/\\", dot) == std::string::npos)
    base.resize(dot);
  const bool doodads = makeDoodads_ && MakesDoodads();
  std::string why;
  auto made = sheets_->Finish(makeTiles_ ? base + "-tiles.bmp" : "",
                              doodads ? base + "-doodads.bmp" : "", why);
  if (!made) {
    in_.Error("/tilesets", "tilesets", why);
    return;
  }
  if (makeTiles_) {
    out_.map.tilemapFile = base + ".til";
    out_.sheets.push_back({out_.map.tilemapFile, WriteTileSheetFile(made->tiles)});
    out_.sheets.push_back({made->tiles.picture, BmpBytes(made->tilePicture)});
  }
  if (doodads) {
    out_.map.doodadmapFile = base + ".dod";
    out_.sheets.push_back({out_.map.doodadmapFile, WriteSpriteSheetFile(made->doodads)});
    out_.sheets.push_back({made->doodads.picture, BmpBytes(made->doodadPicture)});
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
  CollectLayers(in_.Root()["layers"], "/layers", true);
  ChooseRoles();
  EventCell plain;
  plain.passable = true;
  Intern(plain);
  cellEntry_.assign(static_cast<size_t>(width_ * height_), 0);
  if (out_.mapFile.empty()) ground_ = {}, doodadLayers_.clear(), doodadObjects_ = {};
  if ((makeTiles_ && ground_.layer) || (makeDoodads_ && MakesDoodads())) MakeArt();
  if (in_.ErrorCount() > 0) return std::nullopt;
  BuildTiles();
  BuildDoodadLayers();
  if (doodadObjects_.layer) BuildDoodadObjects();
  for (const LayerRef& events : eventLayers_) BuildEvents(events);
  if (in_.ErrorCount() > 0) return std::nullopt;
  WriteSheets();
  if (in_.ErrorCount() > 0) return std::nullopt;
  out_.map.width = out_.events.width = static_cast<int16_t>(width_);
  out_.map.height = out_.events.height = static_cast<int16_t>(height_);
  std::vector<EventCells::Id> ids(entries_.size(), UINT32_MAX);
  for (size_t i = 0; i < cellEntry_.size();) {
    size_t run = 1;
    while (i + run < cellEntry_.size() && cellEntry_[i + run] == cellEntry_[i]) ++run;
    EventCells::Id& id = ids[cellEntry_[i]];
    if (id == UINT32_MAX) id = out_.events.cells.AddEntry(entries_[cellEntry_[i]]);
    out_.events.cells.AppendCells(id, run);
    i += run;
  }
  return std::move(out_);
}

// --- Writing Tiled maps -------------------------------------------------------

Json Property(const std::string& name, const Json& value) {
  const char* type = value.is_boolean() ? "bool" : value.is_number_integer() ? "int" : "string";
  return {{"name", name}, {"type", type}, {"value", value}};
}

Json TileLayer(int id, const std::string& name, int width, int height, Json data) {
  return {{"data", std::move(data)},
          {"height", height},
          {"id", id},
          {"name", name},
          {"opacity", 1},
          {"type", "tilelayer"},
          {"visible", true},
          {"width", width},
          {"x", 0},
          {"y", 0}};
}

Json ObjectLayer(int id, const std::string& name, Json objects) {
  return {{"draworder", "index"},
          {"id", id},
          {"name", name},
          {"objects", std::move(objects)},
          {"opacity", 1},
          {"type", "objectgroup"},
          {"visible", true},
          {"x", 0},
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
                                      const TilesetLoader& loadTileset,
                                      const PictureLoader& loadPicture) {
  if (!in.Root().is_object()) {
    in.Error("", "", "a Tiled map must be a JSON object");
    return std::nullopt;
  }
  MapBuilder builder(in, loadTileset, loadPicture);
  return builder.Build(stem);
}

Json MapToTiled(const MapFileData* map, const std::string& mapFile, const EventmapFileData* events,
                const std::string& eventmapFile, int tileWidth, int tileHeight,
                const TilesetLink& tiles, const TilesetLink& doodads) {
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
        Json o = {{"id", nextObject++}, {"name", ""},          {"rotation", 0},
                  {"type", ""},         {"visible", true},     {"x", (p.x - 1) * tileWidth},
                  {"width", tileWidth}, {"height", tileHeight}};
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
          objects.push_back({{"id", nextObject++},
                             {"name", ""},
                             {"rotation", 0},
                             {"type", ""},
                             {"visible", true},
                             {"x", x * tileWidth},
                             {"y", y * tileHeight},
                             {"width", run * tileWidth},
                             {"height", tileHeight},
                             {"properties", EventProperties(cell)}});
        x += run;
      }
    }
    layers.push_back(ObjectLayer(3, "events", std::move(objects)));
  }

  Json tilesets = Json::array();
  if (!tiles.source.empty()) tilesets.push_back(TilesetEntry(1, tiles));
  if (!doodads.source.empty())
    tilesets.push_back(TilesetEntry(doodadFirst, doodads));
  else if (map && !map->doodads.empty()) {
    // Without a doodad sheet, doodad numbers still need a tileset of their own.
    tilesets.push_back({{"firstgid", doodadFirst},
                        {"name", "doodads"},
                        {"tilecount", 0},
                        {"tilewidth", tileWidth},
                        {"tileheight", tileHeight},
                        {"columns", 0},
                        {"tiles", Json::array()}});
  }
  return {{"compressionlevel", -1},
          {"height", height},
          {"infinite", false},
          {"layers", std::move(layers)},
          {"nextlayerid", 4},
          {"nextobjectid", nextObject},
          {"orientation", "orthogonal"},
          {"properties", std::move(props)},
          {"renderorder", "right-down"},
          {"tiledversion", "1.10.2"},
          {"tileheight", tileHeight},
          {"tilesets", std::move(tilesets)},
          {"tilewidth", tileWidth},
          {"type", "map"},
          {"version", "1.10"},
          {"width", width}};
}

namespace {

Json TilesetShell(const std::string& name, int tileWidth, int tileHeight, size_t count) {
  return {{"columns", 0},
          {"grid", {{"height", 1}, {"orientation", "orthogonal"}, {"width", 1}}},
          {"margin", 0},
          {"name", name},
          {"spacing", 0},
          {"tilecount", count},
          {"tiledversion", "1.10.2"},
          {"tileheight", tileHeight},
          {"tilewidth", tileWidth},
          {"type", "tileset"},
          {"version", "1.10"}};
}

Json SubImage(size_t id, const std::string& image, int imageWidth, int imageHeight, int x, int y,
              int w, int h) {
  return {{"id", id},
          {"image", image},
          {"imageheight", imageHeight},
          {"imagewidth", imageWidth},
          {"x", x},
          {"y", y},
          {"width", w},
          {"height", h}};
}

}  // namespace

Json TilesetFromTiles(const TileSheetFile& sheet, const std::string& name, const std::string& image,
                      int imageWidth, int imageHeight) {
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
