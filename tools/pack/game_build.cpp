#include "game_build.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "data_sources.h"
#include "json_doc.h"
#include "render/picture_header.h"
#include "script_lint.h"
#include "script_text.h"
#include "tiled_maps.h"
#include "tiled_templates.h"
#include "tiled_xml.h"
#include "world/binary_io.h"
#include "world/data_files.h"
#include "world/paths.h"

namespace yw::pack {

namespace fs = std::filesystem;

namespace {

std::string Extension(const std::string& rel) {
  const auto slash = rel.find_last_of('/');
  const auto dot = rel.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return ToLower(rel.substr(dot));
}

std::string WithoutExtension(const std::string& rel) {
  const std::string ext = Extension(rel);
  return rel.substr(0, rel.size() - ext.size());
}

std::string FolderOf(const std::string& rel) {
  const auto slash = rel.find_last_of('/');
  return slash == std::string::npos ? "" : rel.substr(0, slash + 1);
}

double NumberAt(const Json& object, const char* key) {
  return object.is_object() && object.contains(key) && object[key].is_number()
             ? object[key].get<double>()
             : 0.0;
}

// Game-relative output name (backslashes allowed) as a path with slashes.
std::string OutputPath(std::string_view name) { return FromWindowsName(name).generic_string(); }

// Why an output name would put the file outside the game folder, or ""
// when it names a file inside: absolute names, drive letters and ".."
// parts that climb above the folder are refused.
std::string OutsideGameFolder(std::string_view name) {
  if (!name.empty() && (name.front() == '\\' || name.front() == '/'))
    return "'" + std::string(name) + "' is an absolute name; outputs stay inside the game folder";
  if (name.size() >= 2 && name[1] == ':')
    return "'" + std::string(name) + "' names a drive; outputs stay inside the game folder";
  int depth = 0;
  size_t start = 0;
  while (start <= name.size()) {
    const size_t end = std::min(name.find_first_of("\\/", start), name.size());
    const std::string_view part = name.substr(start, end - start);
    if (part == ".." && --depth < 0)
      return "'" + std::string(name) + "' climbs out of the game folder";
    if (!part.empty() && part != "." && part != "..") ++depth;
    start = end + 1;
  }
  if (depth == 0) return "'" + std::string(name) + "' names no file";
  return "";
}

// Every file below `dir`, relative and sorted, leaving out hidden files.
std::vector<std::string> ListFiles(const fs::path& dir) {
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.empty() && name.front() == '.') {
      if (it->is_directory(ec)) it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file(ec)) out.push_back(fs::relative(it->path(), dir).generic_string());
  }
  std::sort(out.begin(), out.end());
  return out;
}

bool IsAuthoringOnly(const std::string& rel) {
  const std::string ext = Extension(rel);
  return ext == ".tsj" || ext == ".tsx" || ext == ".tx" || ext == ".tj" || ext == ".md" ||
         ext == ".tiled-project" || ext == ".tiled-session";
}

// A Tiled map or tileset in either of its formats.
JsonDoc ReadTiledFile(std::string_view text) {
  return IsXmlText(text) ? ParseTiledXml(text) : ParseJson(text);
}

class Compiler {
 public:
  Compiler(const fs::path& srcDir, Report& report) : src_(srcDir), report_(report) {}
  FileSet Run();
  Origins TakeOrigins() { return std::move(origins_); }

 private:
  void Add(const std::string& from, const std::string& out, std::string bytes,
           std::shared_ptr<const JsonDoc> doc = nullptr);
  void CompileJson(const std::string& rel, std::string text);
  void CompileTmx(const std::string& rel, std::string text);
  void CompileMap(const std::string& rel, const std::shared_ptr<JsonDoc>& doc);
  void CrossCheckMaps();
  void CheckFightMaps();
  fs::path SourcePath(const std::string& rel) const;
  // A tileset or an object template a map names, read once.
  const JsonDoc* TiledFile(const std::string& mapRel, const std::string& source);
  const ArgbPicture* Picture(const std::string& mapRel, const std::string& name);

  struct PendingMap {
    std::string rel;
    std::shared_ptr<JsonDoc> doc;
    BuiltMap built;
  };

  fs::path src_;
  Report& report_;
  FileSet files_;
  std::map<std::string, std::string> producers_;              // lower-cased output -> source
  Origins origins_;                                           // outputs built from JSON sources
  std::map<std::string, std::unique_ptr<JsonDoc>> tilesets_;  // and templates
  std::map<std::string, std::optional<ArgbPicture>> pictures_;
  std::vector<PendingMap> maps_;
};

void Compiler::Add(const std::string& from, const std::string& out, std::string bytes,
                   std::shared_ptr<const JsonDoc> doc) {
  const std::string key = ToLower(out);
  if (auto it = producers_.find(key); it != producers_.end()) {
    report_.Error(from, 0, "", "builds '" + out + "', which " + it->second + " builds too");
    return;
  }
  producers_[key] = from;
  if (doc) origins_[key] = {from, std::move(doc)};
  files_[out] = std::move(bytes);
}

// A file a map names, in any letter case as the game's own lookups allow;
// a name that leads out of the source folder (a tileset shared between
// projects) is taken as written.
fs::path Compiler::SourcePath(const std::string& rel) const {
  return ResolvePath(src_, rel).value_or(src_ / rel);
}

const JsonDoc* Compiler::TiledFile(const std::string& mapRel, const std::string& source) {
  const std::string rel = (fs::path(FolderOf(mapRel)) / source).lexically_normal().generic_string();
  auto& slot = tilesets_[ToLower(rel)];
  if (!slot) {
    auto bytes = ReadFileBytes(SourcePath(rel));
    if (!bytes) return nullptr;
    slot = std::make_unique<JsonDoc>(ReadTiledFile(*bytes));
  }
  return slot.get();
}

const ArgbPicture* Compiler::Picture(const std::string& mapRel, const std::string& name) {
  const std::string rel = (fs::path(FolderOf(mapRel)) / name).lexically_normal().generic_string();
  auto [it, added] = pictures_.try_emplace(ToLower(rel));
  if (added) it->second = LoadArgbPicture(SourcePath(rel));
  return it->second ? &*it->second : nullptr;
}

// A file named relative to the folder of `fromRel`, as a source-relative
// name.
std::string Beside(const std::string& fromRel, const std::string& name) {
  return (fs::path(FolderOf(fromRel)) / name).lexically_normal().generic_string();
}

void Compiler::CompileMap(const std::string& rel, const std::shared_ptr<JsonDoc>& doc) {
  SourceReader in(*doc, rel, report_);
  ApplyTemplates(
      doc->root, in, [&](const std::string& name) { return TiledFile(rel, name); },
      [&](const std::string& templateName, const std::string& templateSource,
          const std::string& mapSource) {
        return ToLower(Beside(Beside(rel, templateName), templateSource)) ==
               ToLower(Beside(rel, mapSource));
      });
  if (in.ErrorCount() > 0) return;
  auto built = BuildTiledMap(
      in, WithoutExtension(rel), [&](const std::string& source) { return TiledFile(rel, source); },
      [&](const std::string& name) { return Picture(rel, name); });
  if (!built) return;
  for (const auto& [name, property] :
       {std::pair{built->mapFile, "mapfile"}, std::pair{built->eventmapFile, "eventmapfile"}}) {
    if (name.empty()) continue;
    if (const std::string why = OutsideGameFolder(name); !why.empty()) {
      in.Error("/properties", "map property '" + std::string(property) + "'", why);
      return;
    }
  }
  if (!built->mapFile.empty()) Add(rel, OutputPath(built->mapFile), WriteMapFile(built->map), doc);
  if (!built->eventmapFile.empty())
    Add(rel, OutputPath(built->eventmapFile), WriteEventmapFile(built->events), doc);
  for (auto& [name, bytes] : built->sheets) Add(rel, OutputPath(name), std::move(bytes));
  built->sheets.clear();
  maps_.push_back({rel, doc, std::move(*built)});
}

// The source's text is let go once its document is read.
void Compiler::CompileJson(const std::string& rel, std::string text) {
  auto doc = std::make_shared<JsonDoc>(ParseJson(text));
  std::string().swap(text);
  if (!doc->Ok()) {
    report_.ErrorAt(rel, doc->errorLine, doc->errorColumn, "invalid JSON: " + doc->error);
    return;
  }
  const Json& root = doc->root;
  if (root.is_object() && root.contains("kind")) {
    SourceReader in(*doc, rel, report_);
    auto kind = root["kind"].is_string() ? KindFromName(root["kind"].get<std::string>())
                                         : std::nullopt;
    if (!kind) {
      in.Error("/kind", "kind", "must be characters, items, tilemap or doodadmap");
      return;
    }
    std::string out;
    if (root.contains("file")) out = in.Text(root, "", "file", "file", true);
    else if (*kind == SourceKind::Characters) out = FolderOf(rel) + "chars.dat";
    else if (*kind == SourceKind::Items) out = FolderOf(rel) + "items.dat";
    else out = WithoutExtension(rel);
    if (const std::string why = OutsideGameFolder(out); !out.empty() && !why.empty()) {
      in.Error("/file", "file", why);
      return;
    }
    auto bytes = BuildDataSource(*kind, in);
    if (bytes && !out.empty()) Add(rel, OutputPath(out), std::move(*bytes), doc);
    return;
  }
  if (TextAt(root, "type") == "map") return CompileMap(rel, doc);
  if (TextAt(root, "type") == "tileset") return;
  report_.Error(rel, 1, "",
                "not a source: a JSON source needs a \"kind\" (characters, items, tilemap, "
                "doodadmap) or must be a Tiled map");
}

void Compiler::CompileTmx(const std::string& rel, std::string text) {
  auto doc = std::make_shared<JsonDoc>(ParseTiledXml(text));
  if (!doc->Ok()) {
    report_.Error(rel, doc->errorLine, "", doc->error);
    return;
  }
  std::string().swap(text);
  if (TextAt(doc->root, "type") != "map") {
    report_.Error(rel, 1, "", "not a Tiled map: the root element is <tileset>");
    return;
  }
  CompileMap(rel, doc);
}

void Compiler::CrossCheckMaps() {
  for (const PendingMap& m : maps_) {
    if (m.built.mapFile.empty()) continue;
    auto it = std::find_if(files_.begin(), files_.end(), [&](const auto& f) {
      return ToLower(f.first) == ToLower(OutputPath(m.built.map.tilemapFile));
    });
    if (it == files_.end()) continue;
    TileSheetFile sheet;
    if (ReadTileSheetFile(it->second, 1.0f, sheet) != LoadStatus::Ok) continue;
    const int count = static_cast<int>(sheet.tiles.size());
    const int width = m.built.map.width;
    for (size_t i = 0; i < m.built.map.tiles.size(); ++i) {
      const int t = m.built.map.tiles[i];
      if (t <= count) continue;
      report_.Error(m.rel, m.doc->LineOf(Child(m.built.tilesPointer, i)),
                    "layer 'tiles' row " + std::to_string(static_cast<int>(i) / width + 1) +
                        ", column " + std::to_string(static_cast<int>(i) % width + 1),
                    "tile " + std::to_string(t) + " is not in tilemap '" + m.built.map.tilemapFile +
                        "' (" + std::to_string(count) + " tiles)");
    }
  }
}

namespace {

// The screen the game will show, from the game's yarrowind.ini; the values
// of the program folder's yarrowind.ini where it says nothing.
struct Screen {
  int width = 640;
  double zoom = 2;
};

Screen ScreenOf(const FileSet& files) {
  Screen screen;
  auto it = std::find_if(files.begin(), files.end(),
                         [](const auto& f) { return ToLower(f.first) == "yarrowind.ini"; });
  if (it == files.end()) return screen;
  std::string section;
  size_t start = 0;
  const std::string& text = it->second;
  while (start < text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    std::string raw = text.substr(start, end - start);
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    const std::string line(TrimBlanks(raw));
    start = end + 1;
    if (line.starts_with('[')) section = ToLower(line);
    const size_t eq = line.find('=');
    if (section != "[main]" || eq == std::string::npos) continue;
    const std::string key = ToLower(std::string(TrimBlanks(line.substr(0, eq))));
    const double value = std::atof(line.c_str() + eq + 1);
    if (key == "screenwidth") screen.width = static_cast<int>(value);
    if (key == "zoom") screen.zoom = value;
  }
  return screen;
}

std::string ZoomText(double zoom) {
  if (zoom == std::floor(zoom) && std::fabs(zoom) < 1e6)
    return std::to_string(static_cast<int64_t>(zoom));
  return Json(zoom).dump();
}

// The map names of the script's FIGHTINIT lines with a literal name, with
// their line numbers.
std::vector<std::pair<std::string, int>> FightMaps(const std::string& script) {
  std::vector<std::pair<std::string, int>> out;
  size_t start = 0;
  for (int line = 1; start < script.size(); ++line) {
    const size_t end = std::min(script.find('\n', start), script.size());
    std::string_view text = TrimBlanks(std::string_view(script).substr(start, end - start));
    start = end + 1;
    while (!text.empty() && (text.front() == '\t' || text.front() == ' ')) text.remove_prefix(1);
    if (text.size() < 10 || ToLower(std::string(text.substr(0, 9))) != "fightinit") continue;
    text = TrimBlanks(text.substr(9));
    if (text.size() < 2 || text.front() != '"') continue;
    const size_t close = text.find('"', 1);
    if (close != std::string_view::npos)
      out.push_back({std::string(text.substr(1, close - 1)), line});
  }
  return out;
}

}  // namespace

// Fighters arrive on the column just right of the screen: a fight scene
// narrower than that has them stand off the map.
void Compiler::CheckFightMaps() {
  const Screen screen = ScreenOf(files_);
  std::set<std::string> warned;
  for (const auto& [rel, bytes] : files_) {
    if (Extension(rel) != ".skr") continue;
    for (const auto& [name, line] : FightMaps(bytes)) {
      for (const PendingMap& m : maps_) {
        if (m.built.mapFile.empty() ||
            ToLower(OutputPath(m.built.mapFile)) != ToLower(OutputPath(TrimBlanks(name))) ||
            !warned.insert(ToLower(m.rel)).second)
          continue;
        const double tile = NumberAt(m.doc->root, "tilewidth") * screen.zoom;
        if (tile <= 0) continue;
        const int columns = static_cast<int>(std::ceil(screen.width / tile - 1e-9));
        if (m.built.map.width > columns) continue;
        report_.Warning(m.rel, m.doc->LineOf("/width"), "width",
                        std::to_string(m.built.map.width) + " columns: fighters arrive on column " +
                            std::to_string(columns + 1) + ", just right of the " +
                            std::to_string(columns) + " the screen shows (ScreenWidth " +
                            std::to_string(screen.width) + " at Zoom " + ZoomText(screen.zoom) +
                            "), so on this fight scene (FIGHTINIT in " + rel + " line " +
                            std::to_string(line) + ") they stand off the map; make it at least " +
                            std::to_string(columns + 1) + " columns wide");
      }
    }
  }
}

FileSet Compiler::Run() {
  for (const std::string& rel : ListFiles(src_)) {
    if (IsAuthoringOnly(rel)) continue;
    const std::string ext = Extension(rel);
    auto bytes = ReadFileBytes(src_ / rel);
    if (!bytes) {
      report_.Error(rel, 0, "", "cannot be read");
      continue;
    }
    if (ext == ".json" || ext == ".tmj")
      CompileJson(rel, std::move(*bytes));
    else if (ext == ".tmx")
      CompileTmx(rel, std::move(*bytes));
    else if (ext == ".skr")
      Add(rel, rel, GameScriptText(rel, std::move(*bytes), report_));
    else
      Add(rel, rel, std::move(*bytes));
  }
  CrossCheckMaps();
  CheckFightMaps();
  return std::move(files_);
}

}  // namespace

bool HoldsSources(const fs::path& dir) {
  for (const std::string& rel : ListFiles(dir)) {
    const std::string ext = Extension(rel);
    if (ext == ".tmx") return true;
    if (ext != ".json" && ext != ".tmj") continue;
    const auto bytes = ReadFileBytes(dir / rel);
    if (!bytes) continue;
    const JsonDoc doc = ParseJson(*bytes);
    if (doc.Ok() && doc.root.is_object() &&
        (doc.root.contains("kind") || TextAt(doc.root, "type") == "map"))
      return true;
  }
  return false;
}

FileSet CompileSources(const fs::path& srcDir, Report& report, Origins* origins) {
  if (!fs::is_directory(srcDir)) {
    report.Error(srcDir.string(), 0, "", "is not a folder");
    return {};
  }
  Compiler compiler(srcDir, report);
  FileSet files = compiler.Run();
  if (origins) *origins = compiler.TakeOrigins();
  return files;
}

FileSet CompileSources(const fs::path& srcDir, Report& report) {
  return CompileSources(srcDir, report, nullptr);
}

namespace {

// The array at `key` of `object`, or nullptr.
const Json* ArrayAt(const Json& object, const char* key) {
  if (!object.is_object() || !object.contains(key) || !object[key].is_array()) return nullptr;
  return &object[key];
}

// The line of a Tiled map's property `name`, or 0.
int PropertyLine(const JsonDoc& doc, const std::string& name) {
  const Json* props = ArrayAt(doc.root, "properties");
  for (size_t i = 0; props && i < props->size(); ++i)
    if (TextAt((*props)[i], "name") == name) return doc.LineOf(Child("/properties", i));
  return 0;
}

// Whether a Tiled object covers the cell (x, y from 1): the cells whose
// centres lie inside it, or the one under its centre when it is smaller.
bool Covers(const Json& o, double tw, double th, int x, int y) {
  if (tw <= 0 || th <= 0) return false;
  const double w = NumberAt(o, "width"), h = NumberAt(o, "height"), ox = NumberAt(o, "x");
  const double oy = o.contains("gid") ? NumberAt(o, "y") - h : NumberAt(o, "y");
  double c0 = std::ceil(ox / tw - 0.5), c1 = std::floor((ox + w) / tw - 0.5);
  double r0 = std::ceil(oy / th - 0.5), r1 = std::floor((oy + h) / th - 0.5);
  if (c1 < c0) c0 = c1 = std::floor((ox + w / 2) / tw);
  if (r1 < r0) r0 = r1 = std::floor((oy + h / 2) / th);
  return x - 1 >= c0 && x - 1 <= c1 && y - 1 >= r0 && y - 1 <= r1;
}

// The line of the event object that gives the cell its script: the last
// one over the cell naming it, else any naming it, else 0 (a tile's
// property, say).
int EventLine(const JsonDoc& doc, const DataSpot& spot) {
  const Json& root = doc.root;
  const double tw = NumberAt(root, "tilewidth"), th = NumberAt(root, "tileheight");
  const Json* layers = ArrayAt(root, "layers");
  std::string best, any;
  for (size_t l = 0; layers && l < layers->size(); ++l) {
    const Json& layer = (*layers)[l];
    const Json* objects = ArrayAt(layer, "objects");
    if (ToLower(TextAt(layer, "name")) != "events" || !objects) continue;
    for (size_t o = 0; o < objects->size(); ++o) {
      const Json* props = ArrayAt((*objects)[o], "properties");
      for (size_t p = 0; props && p < props->size(); ++p) {
        const Json& prop = (*props)[p];
        if (TextAt(prop, "name") != spot.event ||
            ToLower(TrimBlanks(TextAt(prop, "value"))) != ToLower(TrimBlanks(spot.script)))
          continue;
        const std::string at = Child(Child(Child("/layers", l), "objects"), o);
        if (any.empty()) any = at;
        if (Covers((*objects)[o], tw, th, spot.cellX, spot.cellY)) best = at;
      }
    }
  }
  if (best.empty()) best = any;
  return best.empty() ? 0 : doc.LineOf(best);
}

std::optional<SourceSpot> Locate(const Origins& origins, std::string_view built,
                                 const DataSpot& spot) {
  const auto it = origins.find(ToLower(OutputPath(TrimBlanks(built))));
  if (it == origins.end()) return std::nullopt;
  const JsonDoc& doc = *it->second.doc;
  int line = 0;
  if (!spot.pointer.empty())
    line = doc.LineOf(spot.pointer);
  else if (!spot.property.empty())
    line = PropertyLine(doc, spot.property);
  else if (!spot.event.empty())
    line = EventLine(doc, spot);
  return SourceSpot{it->second.source, line};
}

}  // namespace

bool BuildGame(const fs::path& srcDir, const fs::path& outDir, Report& report) {
  Origins origins;
  {
    // The built files are let go once written: the check reads them back.
    const FileSet files = CompileSources(srcDir, report, &origins);
    if (report.HasErrors()) return false;
    for (const auto& [rel, bytes] : files)
      if (const std::string why = OutsideGameFolder(rel); !why.empty())
        report.Error(rel, 0, "", why);
    if (report.HasErrors()) return false;
    for (const auto& [rel, bytes] : files) {
      std::error_code ec;
      fs::create_directories((outDir / rel).parent_path(), ec);
      if (!WriteFileBytes(outDir / rel, bytes)) report.Error(rel, 0, "", "cannot be written");
    }
  }
  if (report.HasErrors()) return false;
  CheckGame(
      outDir, DefaultProgramDir(outDir), report,
      [&](std::string_view built, const DataSpot& spot) { return Locate(origins, built, spot); });
  return !report.HasErrors();
}

// --- Unpacking --------------------------------------------------------------------

namespace {

enum class FileKind : uint8_t { Other, Characters, Items, Tilemap, Doodadmap, Map, Eventmap };

bool IsSavedGame(const std::string& rel) {
  const std::string lower = ToLower(rel);
  if (lower == "temp.tmp") return true;
  return lower.size() == 9 && lower.starts_with("slot") && lower.ends_with(".sav") &&
         lower[4] >= '1' && lower[4] <= '5';
}

// Width and height of a picture in any format the game reads, as its
// header gives them, or 0 x 0 when unknown.
std::pair<int, int> PictureSize(const fs::path& file) {
  auto bytes = ReadFileBytes(file, kMaxPictureFileSize);
  if (!bytes) return {0, 0};
  const auto size = ReadPictureSize(
      std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()));
  if (!size) return {0, 0};
  return {static_cast<int>(size->width), static_cast<int>(size->height)};
}

class Unpacker {
 public:
  Unpacker(const fs::path& game, const fs::path& src, Report& report, MapFormat format)
      : game_(game), src_(src), report_(report), format_(format) {}
  bool Run();

 private:
  std::optional<std::string> Resolve(std::string_view name) const {
    auto p = ResolvePath(game_, name);
    if (!p || !fs::is_regular_file(*p)) return std::nullopt;
    return fs::relative(*p, game_).generic_string();
  }
  void Mark(std::string_view name, FileKind kind);
  void Classify();
  void Guess(const std::string& rel);
  bool Write(const std::string& rel, const std::string& bytes);
  void Copy(const std::string& rel) { Write(rel, bytes_[rel]); }
  bool Verified(const std::string& sourceRel, const Json& source,
                const std::map<std::string, std::string>& expected,
                const std::map<std::string, Json>& tilesets = {});
  void UnpackSheets();
  void UnpackTables();
  void UnpackMaps();
  std::string PictureFor(const std::string& picture) const;

  // A Tiled map or tileset as the text of the chosen format.
  std::string TiledText(const Json& doc) const {
    return format_ == MapFormat::Tmx ? TiledToXml(doc) : Pretty(doc);
  }
  const char* MapExtension() const { return format_ == MapFormat::Tmx ? ".tmx" : ".tmj"; }
  const char* TilesetExtension() const { return format_ == MapFormat::Tmx ? ".tsx" : ".tsj"; }

  fs::path game_, src_;
  Report& report_;
  MapFormat format_;
  std::map<std::string, std::string> bytes_;
  std::map<std::string, FileKind> kinds_;
  std::set<std::string> done_;
  // Tileset written for a sheet: sheet rel -> (tileset rel, tile count).
  std::map<std::string, std::pair<std::string, int>> tilesetOf_;
  std::map<std::string, std::pair<int, int>> tileSizeOf_;
};

void Unpacker::Mark(std::string_view name, FileKind kind) {
  if (TrimBlanks(name).empty()) return;
  auto rel = Resolve(name);
  if (!rel || !bytes_.contains(*rel)) return;
  FileKind& k = kinds_[*rel];
  if (k != FileKind::Other) return;
  k = kind;
  const std::string& b = bytes_[*rel];
  if (kind == FileKind::Map) {
    MapFileData m;
    if (ReadMapFile(b, m) == LoadStatus::Ok) {
      Mark(m.tilemapFile, FileKind::Tilemap);
      Mark(m.doodadmapFile, FileKind::Doodadmap);
    }
  } else if (kind == FileKind::Eventmap) {
    EventmapFileData e;
    if (ReadEventmapFile(b, e) == LoadStatus::Ok) Mark(e.mapFile, FileKind::Map);
  }
}

void Unpacker::Guess(const std::string& rel) {
  const std::string ext = Extension(rel);
  for (const char* known : {".skr", ".bmp", ".jpg", ".wav", ".mp3", ".mid", ".txt", ".ini"})
    if (ext == known) return;
  const std::string& b = bytes_[rel];
  if (EventmapFileData e; ReadEventmapFile(b, e) == LoadStatus::Ok && WriteEventmapFile(e) == b)
    kinds_[rel] = FileKind::Eventmap;
  else if (MapFileData m; ReadMapFile(b, m) == LoadStatus::Ok && WriteMapFile(m) == b)
    kinds_[rel] = FileKind::Map;
  else if (TileSheetFile t; ReadTileSheetFile(b, 1.0f, t) == LoadStatus::Ok && WriteTileSheetFile(t) == b)
    kinds_[rel] = FileKind::Tilemap;
  else if (SpriteSheetFile s; ReadSpriteSheetFile(b, 1.0f, s) == LoadStatus::Ok && WriteSpriteSheetFile(s) == b)
    kinds_[rel] = FileKind::Doodadmap;
}

void Unpacker::Classify() {
  GameIndex index;
  index.fileExists = [this](std::string_view n) { return Resolve(n).has_value(); };
  index.pictureExists = [](std::string_view) { return true; };
  ScriptReferences refs;
  for (const auto& [rel, b] : bytes_) {
    const std::string lower = ToLower(rel);
    if (lower == "chars.dat") kinds_[rel] = FileKind::Characters;
    else if (lower == "items.dat") kinds_[rel] = FileKind::Items;
    if (Extension(rel) == ".skr") {
      Report ignored;
      CheckScript(rel, b, index, ignored, &refs);
    }
  }
  for (const auto& [rel, kind] : std::map(kinds_)) {
    CharacterFileData c;
    ItemFileData i;
    if (kind == FileKind::Characters && ReadCharacterFile(bytes_[rel], c) == LoadStatus::Ok)
      Mark(c.doodadmapFile, FileKind::Doodadmap);
    if (kind == FileKind::Items && ReadItemFile(bytes_[rel], i) == LoadStatus::Ok)
      Mark(i.doodadmapFile, FileKind::Doodadmap);
  }
  for (const auto& n : refs.eventmaps) Mark(n, FileKind::Eventmap);
  for (const auto& n : refs.maps) Mark(n, FileKind::Map);
  for (const auto& n : refs.tilemaps) Mark(n, FileKind::Tilemap);
  for (const auto& n : refs.doodadmaps) Mark(n, FileKind::Doodadmap);
  for (const auto& [rel, b] : bytes_)
    if (kinds_[rel] == FileKind::Other) Guess(rel);
}

bool Unpacker::Write(const std::string& rel, const std::string& bytes) {
  std::error_code ec;
  fs::create_directories((src_ / rel).parent_path(), ec);
  if (!WriteFileBytes(src_ / rel, bytes)) {
    report_.Error(rel, 0, "", "cannot be written below " + src_.string());
    return false;
  }
  return true;
}

// Builds `source` again as the build would and compares with the files it
// came from.
bool Unpacker::Verified(const std::string& sourceRel, const Json& source,
                        const std::map<std::string, std::string>& expected,
                        const std::map<std::string, Json>& tilesets) {
  const JsonDoc doc =
      source.contains("kind") ? ParseJson(Pretty(source)) : ReadTiledFile(TiledText(source));
  Report quiet;
  SourceReader in(doc, sourceRel, quiet);
  std::map<std::string, std::string> got;
  if (source.contains("kind")) {
    auto kind = KindFromName(source["kind"].get<std::string>());
    auto bytes = kind ? BuildDataSource(*kind, in) : std::nullopt;
    if (bytes) got[OutputPath(source["file"].get<std::string>())] = *bytes;
  } else {
    std::vector<std::unique_ptr<JsonDoc>> keep;
    auto built = BuildTiledMap(in, WithoutExtension(sourceRel), [&](const std::string& s) {
      const std::string rel =
          (fs::path(FolderOf(sourceRel)) / s).lexically_normal().generic_string();
      auto it = tilesets.find(rel);
      if (it == tilesets.end()) return static_cast<const JsonDoc*>(nullptr);
      keep.push_back(std::make_unique<JsonDoc>(ParseJson(Pretty(it->second))));
      return static_cast<const JsonDoc*>(keep.back().get());
    });
    if (built && !built->mapFile.empty()) got[OutputPath(built->mapFile)] = WriteMapFile(built->map);
    if (built && !built->eventmapFile.empty())
      got[OutputPath(built->eventmapFile)] = WriteEventmapFile(built->events);
  }
  return got == expected;
}

std::string Unpacker::PictureFor(const std::string& picture) const {
  const std::string lower = ToLower(picture);
  const bool hasExt = lower.ends_with(".bmp") || lower.ends_with(".jpg") || lower.ends_with(".png");
  for (const std::string& n :
       hasExt ? std::vector<std::string>{lower}
              : std::vector<std::string>{lower + ".bmp", lower + ".jpg", lower + ".png"})
    if (auto rel = Resolve(n)) return *rel;
  return "";
}

void Unpacker::UnpackSheets() {
  for (const auto& [rel, kind] : kinds_) {
    if (kind != FileKind::Tilemap && kind != FileKind::Doodadmap) continue;
    const SourceKind sk = kind == FileKind::Tilemap ? SourceKind::Tilemap : SourceKind::Doodadmap;
    auto json = UnpackDataFile(sk, bytes_[rel], rel);
    const std::string sourceRel = rel + ".json";
    if (!json || !Verified(sourceRel, *json, {{rel, bytes_[rel]}})) continue;
    Write(sourceRel, Pretty(*json));
    done_.insert(rel);
    // A tileset for drawing maps with this sheet in Tiled.
    const std::string picture = PictureFor((*json)["picture"].get<std::string>());
    const auto [w, h] = picture.empty() ? std::pair{0, 0} : PictureSize(game_ / picture);
    const std::string image =
        picture.empty() ? "" : fs::path(picture).lexically_relative(FolderOf(rel).empty() ? "." : FolderOf(rel)).generic_string();
    const std::string tsRel = rel + TilesetExtension();
    Json ts;
    int count = 0;
    if (kind == FileKind::Tilemap) {
      TileSheetFile sheet;
      ReadTileSheetFile(bytes_[rel], 1.0f, sheet);
      ts = TilesetFromTiles(sheet, fs::path(rel).filename().string(), image, w, h);
      count = static_cast<int>(sheet.tiles.size());
      tileSizeOf_[rel] = {sheet.tileWidth, sheet.tileHeight};
    } else {
      SpriteSheetFile sheet;
      ReadSpriteSheetFile(bytes_[rel], 1.0f, sheet);
      ts = TilesetFromSprites(sheet, fs::path(rel).filename().string(), image, w, h, 16, 16);
      count = static_cast<int>(sheet.sprites.size());
    }
    Write(tsRel, TiledText(ts));
    tilesetOf_[rel] = {tsRel, count};
  }
}

void Unpacker::UnpackTables() {
  for (const auto& [rel, kind] : kinds_) {
    if (kind != FileKind::Characters && kind != FileKind::Items) continue;
    const SourceKind sk = kind == FileKind::Characters ? SourceKind::Characters : SourceKind::Items;
    auto json = UnpackDataFile(sk, bytes_[rel], rel);
    const std::string sourceRel = WithoutExtension(rel) + ".json";
    if (!json || !Verified(sourceRel, *json, {{rel, bytes_[rel]}})) continue;
    Write(sourceRel, Pretty(*json));
    done_.insert(rel);
  }
}

void Unpacker::UnpackMaps() {
  std::map<std::string, std::string> eventsOfMap;  // map rel -> eventmap rel
  for (const auto& [rel, kind] : kinds_) {
    if (kind != FileKind::Eventmap) continue;
    EventmapFileData e;
    MapFileData m;
    auto mapRel = ReadEventmapFile(bytes_[rel], e) == LoadStatus::Ok ? Resolve(e.mapFile) : std::nullopt;
    if (mapRel && kinds_[*mapRel] == FileKind::Map && !eventsOfMap.contains(*mapRel) &&
        ReadMapFile(bytes_[*mapRel], m) == LoadStatus::Ok && m.width == e.width &&
        m.height == e.height && e.width > 0 && e.height > 0)
      eventsOfMap[*mapRel] = rel;
  }
  std::set<std::string> pairedEvents;
  for (const auto& [m, e] : eventsOfMap) pairedEvents.insert(e);

  auto unpackOne = [&](const std::string* mapRel, const std::string* evRel) {
    MapFileData map;
    EventmapFileData ev;
    if (mapRel && ReadMapFile(bytes_[*mapRel], map) != LoadStatus::Ok) return;
    if (evRel && (ReadEventmapFile(bytes_[*evRel], ev) != LoadStatus::Ok || ev.width <= 0 ||
                  ev.height <= 0))
      return;
    const std::string sourceRel = (mapRel ? *mapRel : *evRel) + MapExtension();
    const std::string folder = FolderOf(sourceRel);
    auto sheetLink = [&](const std::string& name) {
      TilesetLink link;
      auto rel = Resolve(name);
      if (!rel || !tilesetOf_.contains(*rel)) return link;
      link.source = fs::path(tilesetOf_[*rel].first).lexically_relative(folder.empty() ? "." : folder).generic_string();
      link.count = tilesetOf_[*rel].second;
      return link;
    };
    TilesetLink tiles, doodads;
    int tw = 16, th = 16;
    if (mapRel) {
      tiles = sheetLink(map.tilemapFile);
      doodads = sheetLink(map.doodadmapFile);
      if (auto rel = Resolve(map.tilemapFile); rel && tileSizeOf_.contains(*rel))
        std::tie(tw, th) = tileSizeOf_[*rel];
    }
    const std::string mapName = mapRel ? ToJsonText(*mapRel) : "";
    auto windows = [](std::string s) {
      std::replace(s.begin(), s.end(), '/', '\\');
      return s;
    };
    Json tiled = MapToTiled(mapRel ? &map : nullptr, mapRel ? windows(*mapRel) : "",
                            evRel ? &ev : nullptr, evRel ? windows(*evRel) : "", tw, th, tiles,
                            doodads);
    std::map<std::string, std::string> expected;
    if (mapRel) expected[*mapRel] = bytes_[*mapRel];
    if (evRel) expected[*evRel] = bytes_[*evRel];
    std::map<std::string, Json> tilesets;
    for (const auto& [sheet, link] : tilesetOf_) tilesets[link.first] = Json::object();
    if (!Verified(sourceRel, tiled, expected, tilesets)) return;
    Write(sourceRel, TiledText(tiled));
    if (mapRel) done_.insert(*mapRel);
    if (evRel) done_.insert(*evRel);
  };
  for (const auto& [rel, kind] : kinds_) {
    if (kind == FileKind::Map) {
      auto it = eventsOfMap.find(rel);
      unpackOne(&rel, it == eventsOfMap.end() ? nullptr : &it->second);
    } else if (kind == FileKind::Eventmap && !pairedEvents.contains(rel)) {
      unpackOne(nullptr, &rel);
    }
  }
}

bool Unpacker::Run() {
  if (!fs::is_directory(game_)) {
    report_.Error(game_.string(), 0, "", "is not a folder");
    return false;
  }
  for (const std::string& rel : ListFiles(game_)) {
    if (IsSavedGame(rel)) {
      report_.Note(rel, 0, "", "saved game left out");
      continue;
    }
    auto b = ReadFileBytes(game_ / rel);
    if (!b) {
      report_.Error(rel, 0, "", "cannot be read");
      continue;
    }
    bytes_[rel] = std::move(*b);
  }
  Classify();
  UnpackSheets();
  UnpackTables();
  UnpackMaps();
  for (const auto& [rel, kind] : kinds_) {
    if (done_.contains(rel)) continue;
    if (kind != FileKind::Other)
      report_.Note(rel, 0, "", "kept as it is: sources would not build the same bytes");
    Copy(rel);
  }
  return !report_.HasErrors();
}

}  // namespace

bool UnpackGame(const fs::path& gameDir, const fs::path& srcDir, Report& report, MapFormat format) {
  Unpacker unpacker(gameDir, srcDir, report, format);
  return unpacker.Run();
}

}  // namespace yw::pack
