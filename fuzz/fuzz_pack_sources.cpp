// Feeds arbitrary text to the authoring tool as a source: as a table or
// sheet source of every kind and as a Tiled map whose external tilesets are
// the same text, read as JSON or, when it starts with '<', as TMX/TSX. The
// tool must report errors, never crash or hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data_sources.h"
#include "diagnostics.h"
#include "json_doc.h"
#include "tiled_maps.h"
#include "tiled_xml.h"

namespace {
size_t parsed = 0;  // inputs that parsed as JSON or XML and were built
}  // namespace

// For the smoke test: every seed is a source that parses.
extern "C" size_t YwFuzzReached() { return parsed; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace yw::pack;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const JsonDoc doc = IsXmlText(text) ? ParseTiledXml(text) : ParseJson(text);
  if (!doc.Ok()) return 0;
  ++parsed;
  Report report;
  for (SourceKind kind :
       {SourceKind::Characters, SourceKind::Items, SourceKind::Tilemap, SourceKind::Doodadmap}) {
    SourceReader in(doc, "source.json", report);
    BuildDataSource(kind, in);
  }
  SourceReader in(doc, "map.tmj", report);
  BuildTiledMap(in, "map", [&](const std::string&) { return &doc; });
  for (const Diagnostic& d : report.Items()) Format(d);
  return 0;
}
