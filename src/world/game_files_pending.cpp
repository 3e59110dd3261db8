// Placeholders for the loaders that are not written yet: the library is
// empty and every load fails, so the program stays on its title screen.
#include "shell/engine.h"
#include "world/game_files.h"

namespace yw {

void FindGames(Engine& e) {
  e.world.GameList.Reset();
  e.world.GameCount = 0;
}
bool LoadScripts(Engine&, std::string_view) { return false; }
bool LoadCharacters(Engine&) { return false; }
bool LoadItems(Engine&) { return false; }
bool LoadSpriteDefs(Engine&, std::string_view, int) { return false; }
bool LoadTileDefs(Engine&, std::string_view) { return false; }
bool LoadMapFile(Engine&, std::string_view, bool) { return false; }
bool LoadEventmapFile(Engine&, std::string_view, bool) { return false; }
bool SaveState(Engine&, std::string_view, std::string_view) { return false; }
bool LoadState(Engine&, std::string_view, bool) { return false; }
std::string SlotFileName(int slot) { return "slot" + std::to_string(slot) + ".sav"; }

}  // namespace yw
