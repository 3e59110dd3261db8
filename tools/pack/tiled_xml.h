// Tiled's XML formats, TMX maps and TSX tilesets. A TMX or TSX file is read
// into the document Tiled's JSON format holds for the same map or tileset,
// with the line of every value, so that both formats build alike and
// problems are reported at the line of the XML file.
#pragma once

#include <string>
#include <string_view>

#include "json_doc.h"

namespace yw::pack {

// A TMX map ("type": "map"), a TSX tileset ("type": "tileset") or a TX
// object template ("type": "template", with its "object" and "tileset" as
// Tiled's JSON templates hold them), by its root element. Attributes become numbers where Tiled's
// JSON has numbers (when their text is one), tile layer data in CSV or as <tile> elements a list of
// tile ids, Base64 data its text with "encoding" and "compression", and custom properties Tiled's
// {"name", "type", "value"} list. Malformed XML, another root element and elements nested deeper
// than kMaxJsonDepth set the document's error and its line.
JsonDoc ParseTiledXml(std::string_view text);

// Whether a file's text is XML rather than JSON: its first character that
// is not white space (after a byte order mark) is '<'.
bool IsXmlText(std::string_view text);

// A Tiled map or tileset as MapToTiled and the tileset writers give it, as
// the TMX or TSX text Tiled itself writes (layer data as CSV).
std::string TiledToXml(const Json& mapOrTileset);

}  // namespace yw::pack
