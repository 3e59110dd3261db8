#include "tiled_templates.h"

#include <cstdint>
#include <optional>

#include "tiled_sheets.h"

namespace yw::pack {

namespace {

// The template's object with the placed object's own keys over it; custom
// properties are merged by name.
Json Merged(const Json& base, const Json& placed) {
  Json out = base.is_object() ? base : Json::object();
  for (const auto& [key, value] : placed.items()) {
    if (key == "template" || key == "properties") continue;
    out[key] = value;
  }
  if (!placed.contains("properties") || !placed["properties"].is_array()) return out;
  if (!out.contains("properties") || !out["properties"].is_array())
    out["properties"] = Json::array();
  Json& props = out["properties"];
  for (const Json& p : placed["properties"]) {
    const std::string name = TextAt(p, "name");
    bool replaced = false;
    for (Json& q : props)
      if (!name.empty() && TextAt(q, "name") == name) q = p, replaced = true;
    if (!replaced) props.push_back(p);
  }
  return out;
}

class TemplateApplier {
 public:
  TemplateApplier(Json& map, SourceReader& in, const TemplateLoader& load, const SameTileset& same)
      : map_(map), in_(in), load_(load), same_(same) {}

  void Layers(Json& layers, const std::string& pointer) {
    if (!layers.is_array()) return;
    for (size_t i = 0; i < layers.size(); ++i) {
      Json& layer = layers[i];
      const std::string at = Child(pointer, i);
      if (!layer.is_object()) continue;
      if (layer.contains("layers")) Layers(layer["layers"], Child(at, "layers"));
      if (layer.contains("objects") && layer["objects"].is_array())
        Objects(layer, Child(at, "objects"));
    }
  }

 private:
  void Objects(Json& layer, const std::string& pointer) {
    Json& objects = layer["objects"];
    for (size_t i = 0; i < objects.size(); ++i) {
      Json& o = objects[i];
      if (!o.is_object() || !o.contains("template")) continue;
      const std::string field =
          "layer '" + TextAt(layer, "name") + "' object " + std::to_string(i + 1) + ": template";
      if (auto merged = FromTemplate(o, Child(pointer, i), field)) o = std::move(*merged);
    }
  }

  std::optional<Json> FromTemplate(const Json& placed, const std::string& at,
                                   const std::string& field) {
    const std::string name = TextAt(placed, "template");
    if (name.empty()) {
      in_.Error(Child(at, "template"), field, "must name a template file");
      return std::nullopt;
    }
    const JsonDoc* doc = load_ ? load_(name) : nullptr;
    if (!doc || !doc->Ok() || !doc->root.is_object() || TextAt(doc->root, "type") != "template" ||
        !doc->root.contains("object")) {
      std::string why = "there is no such file";
      if (doc && !doc->Ok())
        why = "line " + std::to_string(doc->errorLine) +
              (doc->errorColumn > 0 ? ", column " + std::to_string(doc->errorColumn) : "") + ": " +
              doc->error;
      else if (doc)
        why = "it is not a Tiled object template";
      in_.Error(Child(at, "template"), field, "the template '" + name + "' cannot be read: " + why);
      return std::nullopt;
    }
    const Json& tpl = doc->root;
    Json merged = Merged(tpl["object"], placed);
    // A tile object's gid counts in the template's tileset; the map counts
    // the same tiles from its own first gid for that tileset.
    if (!placed.contains("gid") && merged.contains("gid") && merged["gid"].is_number_unsigned()) {
      const uint64_t gid = merged["gid"].get<uint64_t>();
      const Json* ts = tpl.contains("tileset") ? &tpl["tileset"] : nullptr;
      const std::string source = ts ? TextAt(*ts, "source") : "";
      const int64_t first = ts && (*ts).contains("firstgid") && (*ts)["firstgid"].is_number()
                                ? (*ts)["firstgid"].get<int64_t>()
                                : 1;
      const auto mapFirst = MapFirstGid(name, source);
      if (!mapFirst) {
        in_.Error(Child(at, "template"), field,
                  "the template '" + name + "' shows a tile of the tileset '" + source +
                      "', which the map does not use; add the tileset to the map");
        return std::nullopt;
      }
      const uint64_t flags = gid & kFlipFlags;
      merged["gid"] = flags | static_cast<uint64_t>((gid & ~kFlipFlags) - first + *mapFirst);
    }
    return merged;
  }

  std::optional<int64_t> MapFirstGid(const std::string& templateName, const std::string& source) {
    if (source.empty() || !map_.contains("tilesets") || !map_["tilesets"].is_array())
      return std::nullopt;
    for (const Json& ts : map_["tilesets"]) {
      const std::string mapSource = TextAt(ts, "source");
      if (!mapSource.empty() && same_ && same_(templateName, source, mapSource) &&
          ts.contains("firstgid") && ts["firstgid"].is_number_integer())
        return ts["firstgid"].get<int64_t>();
    }
    return std::nullopt;
  }

  Json& map_;
  SourceReader& in_;
  const TemplateLoader& load_;
  const SameTileset& same_;
};

}  // namespace

void ApplyTemplates(Json& map, SourceReader& in, const TemplateLoader& load,
                    const SameTileset& sameTileset) {
  if (!map.is_object() || !map.contains("layers")) return;
  TemplateApplier(map, in, load, sameTileset).Layers(map["layers"], "/layers");
}

}  // namespace yw::pack
