// Loading a game's data: the game library, scripts, character and item
// tables, map files, saved games and the fight snapshot. All names are
// resolved against the engine's current folder, ignoring letter case.
#pragma once

#include <string>
#include <string_view>

namespace yw {

class Engine;

// Fills GameList and GameCount with the game folders of the library.
void FindGames(Engine& e);
// Reads every script below `path` (relative to the current folder; empty
// for the game folder itself) into Scripts.
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

}  // namespace yw
