// Loading a game's data: the game library, scripts, character and item
// tables, map files, saved games and the fight snapshot. All names are
// resolved against the engine's current folder, ignoring letter case.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace yw {

class Engine;

// Fills GameList and GameCount with the game folders of the library.
void FindGames(Engine& e);
// Reads every script below `path` (relative to the current folder; empty
// for the game folder itself) into Scripts. Within a folder the entries are
// taken in name order; a subfolder's scripts come where the subfolder is
// met, named with its relative path and a backslash.
bool LoadScripts(Engine& e, std::string_view path = {});

bool LoadCharacters(Engine& e);
bool LoadItems(Engine& e);

// kind: 0 map doodads, 1 units, 2 items.
bool LoadSpriteDefs(Engine& e, std::string_view name, int kind);
bool LoadTileDefs(Engine& e, std::string_view name);
bool LoadMapFile(Engine& e, std::string_view name, bool withLinks);
bool LoadEventmapFile(Engine& e, std::string_view name, bool withMap);

bool SaveState(Engine& e, std::string_view fileName, std::string_view description);
bool LoadState(Engine& e, std::string_view fileName, bool snapshot);
// "slot" N ".sav"
std::string SlotFileName(int slot);
// The description stored in a saved game, or nullopt when the file is
// missing or its version is not one the loader reads.
std::optional<std::string> ReadSaveDescription(Engine& e, std::string_view fileName);

}  // namespace yw
