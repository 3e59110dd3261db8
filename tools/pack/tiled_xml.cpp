#include "tiled_xml.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <pugixml.hpp>
#include <sstream>
#include <vector>

#include "platform/encoding.h"
#include "world/data_files.h"

namespace yw::pack {

namespace {

// Attributes that Tiled's JSON format holds as numbers, and as true/false.
// clang-format off
constexpr std::array<std::string_view, 27> kNumberAttributes{
    "id", "firstgid", "width", "height", "tilewidth", "tileheight", "x", "y", "rotation", "gid",
    "opacity", "offsetx", "offsety", "parallaxx", "parallaxy", "tilecount", "columns", "spacing",
    "margin", "nextlayerid", "nextobjectid", "compressionlevel", "hexsidelength", "probability",
    "parallaxoriginx", "parallaxoriginy", "tileid"};
// clang-format on
constexpr std::array<std::string_view, 5> kFlagAttributes{"visible", "infinite", "locked",
                                                          "repeatx", "repeaty"};

bool OneOf(std::string_view name, const auto& names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// A number when the whole text is one, otherwise the text itself, so that
// the build reports it as it reports a JSON value of the wrong kind.
Json NumberOrText(std::string_view text) {
  const char* end = text.data() + text.size();
  int64_t i = 0;
  if (auto r = std::from_chars(text.data(), end, i);
      !text.empty() && r.ec == std::errc() && r.ptr == end)
    return i;
  double d = 0;
  if (auto r = std::from_chars(text.data(), end, d);
      !text.empty() && r.ec == std::errc() && r.ptr == end && std::isfinite(d))
    return d;
  return std::string(text);
}

Json AttributeValue(std::string_view name, std::string_view text) {
  if (OneOf(name, kNumberAttributes)) return NumberOrText(text);
  if (OneOf(name, kFlagAttributes) && (text == "0" || text == "1")) return text == "1";
  return std::string(text);
}

// A custom property's value as Tiled's JSON holds it for its type.
Json TypedValue(std::string_view type, std::string_view text) {
  if (type == "int" || type == "object" || type == "float") return NumberOrText(text);
  if (type == "bool" && (text == "true" || text == "false")) return text == "true";
  return std::string(text);
}

class XmlReader {
 public:
  XmlReader(std::string_view text, JsonDoc& doc) : doc_(doc) {
    for (size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n') newlines_.push_back(i);
  }

  int LineAt(ptrdiff_t offset) const {
    if (offset < 0) return 0;
    return 1 + static_cast<int>(std::lower_bound(newlines_.begin(), newlines_.end(),
                                                 static_cast<size_t>(offset)) -
                                newlines_.begin());
  }

  void Read(pugi::xml_node root) {
    const std::string_view name = root.name();
    const uint32_t id = doc_.lines.Add(LineIndex::kNone, nullptr, LineOf(root), true);
    if (name == "map")
      doc_.root = Map(root, id);
    else if (name == "tileset")
      doc_.root = Tileset(root, id, 1, true);
    else if (name == "template")
      doc_.root = Template(root, id);
    else
      Fail(root,
           "not a Tiled map, tileset or template: the root element is <" + std::string(name) + ">");
  }

 private:
  int LineOf(pugi::xml_node n) const { return LineAt(n.offset_debug()); }

  void Fail(pugi::xml_node at, const std::string& message) {
    if (!doc_.error.empty()) return;
    doc_.error = message;
    doc_.errorLine = LineOf(at);
  }
  // False (and the document's error) when `at` lies deeper than a JSON
  // document may nest.
  bool Within(int depth, pugi::xml_node at) {
    if (depth <= static_cast<int>(kMaxJsonDepth)) return doc_.Ok();
    Fail(at, "elements are nested more than " + std::to_string(kMaxJsonDepth) + " deep");
    return false;
  }

  // A value that holds no others, at `key` of the object `owner`.
  void Put(Json& owner, uint32_t ownerId, const std::string& key, Json value, int line) {
    owner[key] = std::move(value);
    doc_.lines.Add(ownerId, &key, line, false);
  }

  Json Attributes(pugi::xml_node n, uint32_t id) {
    Json o = Json::object();
    const int line = LineOf(n);
    for (pugi::xml_attribute a : n.attributes())
      Put(o, id, a.name(), AttributeValue(a.name(), a.value()), line);
    return o;
  }

  void PropertiesOf(pugi::xml_node n, Json& owner, uint32_t ownerId, int depth);
  Json ClassValue(pugi::xml_node props, uint32_t id, int depth);
  void ImageOf(pugi::xml_node n, Json& owner, uint32_t ownerId);
  Json Tileset(pugi::xml_node ts, uint32_t id, int depth, bool file);
  Json Map(pugi::xml_node map, uint32_t id);
  void Layers(pugi::xml_node parent, Json& owner, uint32_t ownerId, int depth);
  void TileData(pugi::xml_node layer, Json& out, uint32_t outId);
  void Cells(pugi::xml_node data, bool csv, Json& out, uint32_t outId);
  void Objects(pugi::xml_node group, Json& out, uint32_t outId, int depth);
  Json Object(pugi::xml_node o, uint32_t id, int depth);
  Json Template(pugi::xml_node t, uint32_t id);

  JsonDoc& doc_;
  std::vector<size_t> newlines_;
};

void XmlReader::PropertiesOf(pugi::xml_node n, Json& owner, uint32_t ownerId, int depth) {
  const pugi::xml_node props = n.child("properties");
  if (!props || !Within(depth + 1, props)) return;
  const std::string key = "properties";
  const uint32_t listId = doc_.lines.Add(ownerId, &key, LineOf(props), true);
  Json list = Json::array();
  for (pugi::xml_node p : props.children("property")) {
    if (!Within(depth + 2, p)) return;
    const int line = LineOf(p);
    const uint32_t id = doc_.lines.Add(listId, nullptr, line, true);
    Json prop = Attributes(p, id);
    const std::string type = p.attribute("type") ? p.attribute("type").value() : "string";
    Put(prop, id, "type", type, line);
    if (type == "class") {
      const std::string valueKey = "value";
      const uint32_t valueId = doc_.lines.Add(id, &valueKey, line, true);
      prop[valueKey] = ClassValue(p.child("properties"), valueId, depth + 3);
    } else {
      // Texts of several lines are the element's content.
      const pugi::xml_attribute value = p.attribute("value");
      Put(prop, id, "value", TypedValue(type, value ? value.value() : p.text().get()), line);
    }
    list.push_back(std::move(prop));
  }
  owner[key] = std::move(list);
}

// The members of a property of a custom class, as name -> value.
Json XmlReader::ClassValue(pugi::xml_node props, uint32_t id, int depth) {
  Json o = Json::object();
  if (!props || !Within(depth, props)) return o;
  for (pugi::xml_node p : props.children("property")) {
    if (!Within(depth + 1, p)) return o;
    const std::string name = p.attribute("name").value();
    const std::string type = p.attribute("type").value();
    if (type == "class") {
      const uint32_t memberId = doc_.lines.Add(id, &name, LineOf(p), true);
      o[name] = ClassValue(p.child("properties"), memberId, depth + 2);
    } else {
      const pugi::xml_attribute value = p.attribute("value");
      Put(o, id, name, TypedValue(type, value ? value.value() : p.text().get()), LineOf(p));
    }
  }
  return o;
}

void XmlReader::ImageOf(pugi::xml_node n, Json& owner, uint32_t ownerId) {
  const pugi::xml_node image = n.child("image");
  if (!image) return;
  const int line = LineOf(image);
  Put(owner, ownerId, "image", image.attribute("source").value(), line);
  if (image.attribute("width"))
    Put(owner, ownerId, "imagewidth", NumberOrText(image.attribute("width").value()), line);
  if (image.attribute("height"))
    Put(owner, ownerId, "imageheight", NumberOrText(image.attribute("height").value()), line);
  if (image.attribute("trans"))
    Put(owner, ownerId, "transparentcolor", "#" + std::string(image.attribute("trans").value()),
        line);
}

Json XmlReader::Tileset(pugi::xml_node ts, uint32_t id, int depth, bool file) {
  Json o = Attributes(ts, id);
  if (file) Put(o, id, "type", "tileset", LineOf(ts));
  ImageOf(ts, o, id);
  PropertiesOf(ts, o, id, depth);
  if (!ts.child("tile")) return o;
  const std::string key = "tiles";
  const uint32_t listId = doc_.lines.Add(id, &key, LineOf(ts.child("tile")), true);
  Json tiles = Json::array();
  for (pugi::xml_node tile : ts.children("tile")) {
    if (!Within(depth + 1, tile)) break;
    const uint32_t tileId = doc_.lines.Add(listId, nullptr, LineOf(tile), true);
    Json t = Attributes(tile, tileId);
    ImageOf(tile, t, tileId);
    PropertiesOf(tile, t, tileId, depth + 1);
    tiles.push_back(std::move(t));
  }
  o[key] = std::move(tiles);
  return o;
}

Json XmlReader::Map(pugi::xml_node map, uint32_t id) {
  Json o = Attributes(map, id);
  Put(o, id, "type", "map", LineOf(map));
  PropertiesOf(map, o, id, 1);
  const std::string key = "tilesets";
  const uint32_t listId = doc_.lines.Add(id, &key, LineOf(map), true);
  Json tilesets = Json::array();
  for (pugi::xml_node ts : map.children("tileset")) {
    if (!Within(2, ts)) break;
    tilesets.push_back(Tileset(ts, doc_.lines.Add(listId, nullptr, LineOf(ts), true), 2, false));
  }
  o[key] = std::move(tilesets);
  Layers(map, o, id, 2);
  return o;
}

void XmlReader::Layers(pugi::xml_node parent, Json& owner, uint32_t ownerId, int depth) {
  const std::string key = "layers";
  const uint32_t listId = doc_.lines.Add(ownerId, &key, LineOf(parent), true);
  Json list = Json::array();
  for (pugi::xml_node n : parent.children()) {
    const std::string_view name = n.name();
    const char* type = name == "layer"         ? "tilelayer"
                       : name == "objectgroup" ? "objectgroup"
                       : name == "imagelayer"  ? "imagelayer"
                       : name == "group"       ? "group"
                                               : nullptr;
    if (!type) continue;
    if (!Within(depth, n)) break;
    const uint32_t id = doc_.lines.Add(listId, nullptr, LineOf(n), true);
    Json layer = Attributes(n, id);
    Put(layer, id, "type", type, LineOf(n));
    PropertiesOf(n, layer, id, depth);
    if (name == "layer")
      TileData(n, layer, id);
    else if (name == "objectgroup")
      Objects(n, layer, id, depth);
    else if (name == "group")
      Layers(n, layer, id, depth + 1);
    list.push_back(std::move(layer));
  }
  owner[key] = std::move(list);
}

void XmlReader::TileData(pugi::xml_node layer, Json& out, uint32_t outId) {
  const pugi::xml_node data = layer.child("data");
  if (!data) return;  // the build reports a layer without data
  const int line = LineOf(data);
  const std::string encoding = data.attribute("encoding").value();
  const std::string compression = data.attribute("compression").value();
  if (data.child("chunk")) {
    Put(out, outId, "chunks", Json::array(), line);
    return;
  }
  if (!encoding.empty()) Put(out, outId, "encoding", encoding, line);
  if (!compression.empty()) Put(out, outId, "compression", compression, line);
  const std::string key = "data";
  if (encoding == "csv" || encoding.empty()) {
    Cells(data, encoding == "csv", out, outId);
  } else {
    // Base64 (or an encoding the build will name as unknown).
    Put(out, outId, key, data.text().get(), line);
  }
}

// The cells of a layer's data as they are read: packed while every one is
// a tile id (see PackedIds), else an ordinary list.
class CellList {
 public:
  explicit CellList(LineIndex& lines) : lines_(lines) {}

  size_t size() const { return packed_ ? ids_.size() : list_.size(); }
  void Push(std::string_view text, int line) {
    uint32_t id = 0;
    const char* end = text.data() + text.size();
    if (auto r = std::from_chars(text.data(), end, id);
        packed_ && !text.empty() && r.ec == std::errc() && r.ptr == end) {
      if (runs_.empty() || runs_.back().line != line)
        runs_.push_back({static_cast<uint32_t>(ids_.size()), line});
      ids_.Push(id);
      return;
    }
    if (packed_) Unpack();
    list_.push_back(NumberOrText(text));
    lines_.Add(listId_, nullptr, line, false);
  }
  // Stores the list at `key` of `owner`.
  void Store(Json& owner, uint32_t ownerId, const std::string& key, int line) {
    if (!packed_) {
      owner[key] = std::move(list_);
      return;
    }
    if (ids_.size() == 0) {
      lines_.Add(ownerId, &key, line, true);
      owner[key] = Json::array();
      return;
    }
    lines_.AddPacked(ownerId, &key, line, std::move(runs_));
    owner[key] = ids_.Take();
  }
  // Where an ordinary list goes, set before the first value.
  void Prepare(uint32_t ownerId, const std::string& key, int line) {
    ownerId_ = ownerId, key_ = &key, line_ = line;
  }

 private:
  void Unpack() {
    packed_ = false;
    listId_ = lines_.Add(ownerId_, key_, line_, true);
    list_ = Json::array();
    size_t run = 0;
    for (size_t i = 0; i < ids_.size(); ++i) {
      while (run + 1 < runs_.size() && runs_[run + 1].first <= i) ++run;
      list_.push_back(ids_[i]);
      lines_.Add(listId_, nullptr, runs_[run].line, false);
    }
    ids_ = IdPacker();
    runs_.clear();
  }

  LineIndex& lines_;
  bool packed_ = true;
  IdPacker ids_;
  std::vector<LineRun> runs_;
  Json list_;
  uint32_t listId_ = LineIndex::kNone, ownerId_ = LineIndex::kNone;
  const std::string* key_ = nullptr;
  int line_ = 0;
};

// The tile ids of CSV text or of <tile gid="..."/> elements, each with its
// line. No map holds more than kMaxMapCells cells: reading stops one past
// that, which the build reports as a layer of the wrong size.
void XmlReader::Cells(pugi::xml_node data, bool csv, Json& out, uint32_t outId) {
  const std::string key = "data";
  const int dataLine = LineOf(data);
  CellList cells(doc_.lines);
  cells.Prepare(outId, key, dataLine);
  const size_t limit = static_cast<size_t>(kMaxMapCells) + 1;
  if (!csv) {
    for (pugi::xml_node tile : data.children("tile")) {
      if (cells.size() == limit) break;
      const pugi::xml_attribute gid = tile.attribute("gid");
      cells.Push(gid ? gid.value() : "0", LineOf(tile));
    }
    cells.Store(out, outId, key, dataLine);
    return;
  }
  pugi::xml_node text = data.first_child();
  while (text && text.type() != pugi::node_pcdata && text.type() != pugi::node_cdata)
    text = text.next_sibling();
  if (text) {
    const std::string_view s = text.value();
    int line = LineAt(text.offset_debug());
    size_t start = std::string_view::npos, end = 0;  // of the token
    int tokenLine = line;
    for (size_t i = 0; i <= s.size() && cells.size() < limit; ++i) {
      const char c = i < s.size() ? s[i] : ',';
      if (c == ',') {
        // Tiled ends every row but the last with a comma: nothing after the
        // last one is no cell.
        const bool empty = start == std::string_view::npos;
        if (i == s.size() && empty) break;
        cells.Push(empty ? std::string_view() : s.substr(start, end - start),
                   empty ? line : tokenLine);
        start = std::string_view::npos;
      } else if (c == '\n') {
        ++line;
      } else if (c != ' ' && c != '\t' && c != '\r') {
        if (start == std::string_view::npos) start = i, tokenLine = line;
        end = i + 1;
      }
    }
  }
  cells.Store(out, outId, key, dataLine);
}

Json XmlReader::Object(pugi::xml_node o, uint32_t id, int depth) {
  Json object = Attributes(o, id);
  for (const char* shape : {"ellipse", "point"})
    if (o.child(shape)) Put(object, id, shape, true, LineOf(o.child(shape)));
  PropertiesOf(o, object, id, depth);
  return object;
}

void XmlReader::Objects(pugi::xml_node group, Json& out, uint32_t outId, int depth) {
  const std::string key = "objects";
  const uint32_t listId = doc_.lines.Add(outId, &key, LineOf(group), true);
  Json objects = Json::array();
  for (pugi::xml_node o : group.children("object")) {
    if (!Within(depth + 1, o)) break;
    objects.push_back(Object(o, doc_.lines.Add(listId, nullptr, LineOf(o), true), depth + 1));
  }
  out[key] = std::move(objects);
}

// An object template: its object and, for a tile object, the tileset its
// gid counts in.
Json XmlReader::Template(pugi::xml_node t, uint32_t id) {
  Json o = Json::object();
  Put(o, id, "type", "template", LineOf(t));
  if (const pugi::xml_node ts = t.child("tileset")) {
    const std::string key = "tileset";
    o[key] = Tileset(ts, doc_.lines.Add(id, &key, LineOf(ts), true), 2, false);
  }
  if (const pugi::xml_node object = t.child("object")) {
    const std::string key = "object";
    o[key] = Object(object, doc_.lines.Add(id, &key, LineOf(object), true), 2);
  }
  return o;
}

// --- Writing ------------------------------------------------------------------

std::string AttributeText(const Json& v) {
  if (v.is_string()) return v.get<std::string>();
  if (v.is_boolean()) return v.get<bool>() ? "1" : "0";
  return v.dump();
}

// Copies the listed keys of `from` that it has, in that order, as Tiled
// orders its attributes.
void CopyAttributes(pugi::xml_node to, const Json& from, std::initializer_list<const char*> keys) {
  for (const char* key : keys)
    if (from.contains(key)) to.append_attribute(key) = AttributeText(from[key]).c_str();
}

void WriteProperties(pugi::xml_node to, const Json& owner) {
  if (!owner.contains("properties") || owner["properties"].empty()) return;
  pugi::xml_node props = to.append_child("properties");
  for (const Json& p : owner["properties"]) {
    pugi::xml_node prop = props.append_child("property");
    prop.append_attribute("name") = p["name"].get<std::string>().c_str();
    const std::string type = p.value("type", "string");
    if (type != "string") prop.append_attribute("type") = type.c_str();
    const Json& v = p["value"];
    prop.append_attribute("value") =
        v.is_boolean() ? (v.get<bool>() ? "true" : "false") : AttributeText(v).c_str();
  }
}

void WriteTiles(pugi::xml_node to, const Json& tileset) {
  if (!tileset.contains("tiles")) return;
  for (const Json& t : tileset["tiles"]) {
    pugi::xml_node tile = to.append_child("tile");
    CopyAttributes(tile, t, {"id", "x", "y", "width", "height"});
    WriteProperties(tile, t);
    if (t.contains("image")) {
      pugi::xml_node image = tile.append_child("image");
      image.append_attribute("source") = t["image"].get<std::string>().c_str();
      if (t.contains("imagewidth"))
        image.append_attribute("width") = AttributeText(t["imagewidth"]).c_str();
      if (t.contains("imageheight"))
        image.append_attribute("height") = AttributeText(t["imageheight"]).c_str();
    }
  }
}

void WriteTileset(pugi::xml_node ts, const Json& tileset) {
  CopyAttributes(ts, tileset,
                 {"firstgid", "source", "version", "tiledversion", "name", "tilewidth",
                  "tileheight", "spacing", "margin", "tilecount", "columns"});
  if (tileset.contains("grid")) {
    pugi::xml_node grid = ts.append_child("grid");
    CopyAttributes(grid, tileset["grid"], {"orientation", "width", "height"});
  }
  WriteTiles(ts, tileset);
}

std::string CsvRows(const Json& data, int64_t width) {
  std::string text = "\n";
  for (size_t i = 0; i < data.size(); ++i) {
    text += data[i].dump();
    if (i + 1 < data.size()) text += ',';
    if ((static_cast<int64_t>(i) + 1) % width == 0 || i + 1 == data.size()) text += '\n';
  }
  return text;
}

void WriteLayers(pugi::xml_node to, const Json& layers) {
  for (const Json& layer : layers) {
    const std::string type = layer.value("type", "");
    if (type == "tilelayer") {
      pugi::xml_node l = to.append_child("layer");
      CopyAttributes(l, layer, {"id", "name", "width", "height"});
      WriteProperties(l, layer);
      pugi::xml_node data = l.append_child("data");
      data.append_attribute("encoding") = "csv";
      data.text() = CsvRows(layer["data"], std::max<int64_t>(layer.value("width", 1), 1)).c_str();
    } else if (type == "objectgroup") {
      pugi::xml_node g = to.append_child("objectgroup");
      CopyAttributes(g, layer, {"id", "name"});
      WriteProperties(g, layer);
      for (const Json& o : layer["objects"]) {
        pugi::xml_node object = g.append_child("object");
        CopyAttributes(object, o, {"id", "gid", "x", "y", "width", "height"});
        WriteProperties(object, o);
      }
    }
  }
}

}  // namespace

JsonDoc ParseTiledXml(std::string_view text) {
  JsonDoc doc;
  XmlReader reader(text, doc);
  if (!IsUtf8(text)) {
    // No sequence spans a line end, so the first line that is not UTF-8
    // holds the first bad byte.
    doc.error = "is not UTF-8 text (Tiled saves UTF-8)";
    doc.errorLine = 1;
    for (size_t start = 0;;) {
      const size_t end = std::min(text.find('\n', start), text.size());
      if (end == text.size() || !IsUtf8(text.substr(start, end - start))) break;
      start = end + 1;
      ++doc.errorLine;
    }
    return doc;
  }
  pugi::xml_document xml;
  const pugi::xml_parse_result result =
      xml.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!result) {
    doc.error = std::string("invalid XML: ") + result.description();
    doc.errorLine = reader.LineAt(result.offset);
    return doc;
  }
  reader.Read(xml.document_element());
  return doc;
}

bool IsXmlText(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const size_t first = text.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && text[first] == '<';
}

std::string TiledToXml(const Json& doc) {
  pugi::xml_document xml;
  pugi::xml_node decl = xml.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  if (doc.value("type", "") == "tileset") {
    WriteTileset(xml.append_child("tileset"), doc);
  } else {
    pugi::xml_node map = xml.append_child("map");
    CopyAttributes(map, doc,
                   {"version", "tiledversion", "orientation", "renderorder", "width", "height",
                    "tilewidth", "tileheight", "infinite", "nextlayerid", "nextobjectid"});
    WriteProperties(map, doc);
    for (const Json& ts : doc["tilesets"]) WriteTileset(map.append_child("tileset"), ts);
    WriteLayers(map, doc["layers"]);
  }
  std::ostringstream out;
  xml.save(out, " ", pugi::format_indent, pugi::encoding_utf8);
  return out.str();
}

}  // namespace yw::pack
