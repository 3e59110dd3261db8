// Sources of the character and item tables, the tilemaps and the doodadmaps:
// JSON objects whose fields carry the names the game's scripts use.
//
//   {"kind": "characters", "doodadmap": "units.dod",
//    "characters": [{"NAME": "Ayla", "HP": 30, "MAXHP": 30, ...}, ...]}
//   {"kind": "items", "doodadmap": "items.dod", "items": [{"NAME": ..., "TYPE": 1, ...}]}
//   {"kind": "tilemap", "picture": "tiles.bmp", "tileWidth": 16, "tileHeight": 16,
//    "tiles": [{"x": 0, "y": 0, "NEXT": 1}, ...]}
//   {"kind": "doodadmap", "picture": "doodads.bmp",
//    "sprites": [{"picX": 0, "picY": 0, "maskX": 16, "maskY": 0,
//                 "width": 16, "height": 16, "NEXT": 1}, ...]}
//
// Every source may name the file it builds with "file"; otherwise a table
// builds chars.dat or items.dat beside it, and a tilemap or doodadmap the
// source's own name without ".json". A missing NEXT names the record
// itself (no animation). Pixel values are as the picture has them.
#pragma once

#include <string>

#include "json_doc.h"
#include "source_fields.h"
#include "world/data_files.h"

namespace yw::pack {

enum class SourceKind : uint8_t { Characters, Items, Tilemap, Doodadmap };

std::string_view KindName(SourceKind kind);
std::optional<SourceKind> KindFromName(std::string_view name);

// The compiled bytes, or nothing when the reader reported errors.
std::optional<std::string> BuildDataSource(SourceKind kind, SourceReader& in);

// A source that builds exactly `bytes` back, or nullopt when the bytes are
// not a file of that kind that its writer would produce unchanged.
std::optional<Json> UnpackDataFile(SourceKind kind, std::string_view bytes,
                                   const std::string& fileName);

// The fields of the parsed files, for the unpacker and the linter.
Json CharactersToJson(const CharacterFileData& data);
Json ItemsToJson(const ItemFileData& data);
Json TileSheetToJson(const TileSheetFile& data);
Json SpriteSheetToJson(const SpriteSheetFile& data);

}  // namespace yw::pack
