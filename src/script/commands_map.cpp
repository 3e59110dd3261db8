// Loading map data and placing the player: LOADMAP, LOADEVENTS, LOADTILES,
// LOADDOODADS, SETPOS and SETDIRECTION.
#include "core/engine.h"
#include "core/game_names.h"
#include "render/compose.h"
#include "script/commands.h"
#include "sim/game_files.h"
#include "world/paths.h"

namespace yw {

namespace {

// The file a load command names: its first parameter evaluated as text
// (empty when there is none), checked for existence in the game folder.
struct FileParam {
  std::string name;
  bool exists = false;
};

FileParam ReadFileParam(CommandContext& c) {
  FileParam f;
  f.name = ParamText(c.e, Param(c.params, 1));
  f.exists = !TrimBlanks(f.name).empty() && GameFileExists(c.e, f.name);
  return f;
}

// The optional ALLES keyword of LOADMAP and LOADEVENTS: no second
// parameter loads the file alone, ALLES loads what it links to as well.
enum class LinkChoice : uint8_t { Alone, WithLinks, Unknown };

LinkChoice ReadLinkChoice(std::span<const std::string> params) {
  if (params.size() < 2) return LinkChoice::Alone;
  return ParamKeyword(params[1]) == "ALLES" ? LinkChoice::WithLinks : LinkChoice::Unknown;
}

CommandResult Loaded(Engine& e, bool ok, ScriptCode failure) {
  if (!ok) return failure;
  e.world.MapChanged = true;
  return kNextLine;
}

}  // namespace

CommandResult LoadMapCommand(CommandContext& c) {
  const FileParam file = ReadFileParam(c);
  if (!file.exists) return ScriptCode::MapNotFound;
  const LinkChoice links = ReadLinkChoice(c.params);
  if (links == LinkChoice::Unknown) return ScriptCode::UnknownParameters;
  return Loaded(c.e, LoadMapFile(c.e, file.name, links == LinkChoice::WithLinks),
                ScriptCode::MapLoadFailed);
}

CommandResult LoadEventsCommand(CommandContext& c) {
  const FileParam file = ReadFileParam(c);
  if (!file.exists) return ScriptCode::EventMapNotFound;
  const LinkChoice links = ReadLinkChoice(c.params);
  if (links == LinkChoice::Unknown) return ScriptCode::UnknownParameters;
  return Loaded(c.e, LoadEventmapFile(c.e, file.name, links == LinkChoice::WithLinks),
                ScriptCode::EventMapLoadFailed);
}

CommandResult LoadTilesCommand(CommandContext& c) {
  const FileParam file = ReadFileParam(c);
  if (!file.exists) return ScriptCode::TilemapNotFound;
  return Loaded(c.e, LoadTileDefs(c.e, file.name), ScriptCode::TilemapLoadFailed);
}

CommandResult LoadDoodadsCommand(CommandContext& c) {
  if (c.params.empty()) return ScriptCode::NotEnoughParameters;
  const FileParam file = ReadFileParam(c);
  if (!file.exists) return ScriptCode::DoodadMapNotFound;
  int kind = 0;
  if (c.params.size() >= 2) {
    // The unit sheet is selected by the keyword as the language spells it.
    const std::string word = ParamKeyword(c.params[1]);
    if (word == "MAP") kind = 0;
    else if (word == "CHARCTER") kind = 1;
    else if (word == "ITEM") kind = 2;
    else return ScriptCode::UnknownParameters;
  }
  return Loaded(c.e, LoadSpriteDefs(c.e, file.name, kind), ScriptCode::DoodadMapLoadFailed);
}

CommandResult SetPosCommand(CommandContext& c) {
  if (c.params.size() < 2) return ScriptCode::NotEnoughParameters;
  World& w = c.e.world;
  const int16_t x = ParamInteger(c.e, c.params[0]);
  const int16_t y = ParamInteger(c.e, c.params[1]);
  if (x < 1 || x > w.MapWidth || y < 1 || y > w.MapHeight) return ScriptCode::OutsideMap;
  w.PlayerPosX = x;
  w.PlayerPosY = y;
  ResetBufDelta(c.e);
  BackbufUpdate(c.e, false, true);
  BufFlip(c.e);
  return kNextLine;
}

CommandResult SetDirectionCommand(CommandContext& c) {
  if (c.params.size() != 1) return ScriptCode::NotEnoughParameters;
  const int16_t direction = ParamInteger(c.e, c.params[0]);
  if (direction < 1 || direction > 4) return ScriptCode::WrongDirection;
  c.e.world.PlayerDirection = direction;
  BufFlip(c.e);
  return kNextLine;
}

}  // namespace yw
