// The checks a saved game passes before it replaces the running game.
#include <cmath>
#include <cstdint>

#include "world/save_game.h"

namespace yw {

namespace {

// A map with its tile and event layers of the map's size, every tile set
// and every doodad on the map. A save always holds a map: a game without
// one has nothing to walk on.
bool LayersFit(const SaveGameData& d) {
  if (d.mapWidth <= 0 || d.mapHeight <= 0) return false;
  const size_t cells = static_cast<size_t>(d.mapWidth) * static_cast<size_t>(d.mapHeight);
  if (d.tiles.size() != cells) return false;
  for (int16_t tile : d.tiles)
    if (tile == 0) return false;
  if (d.eventWidth != d.mapWidth || d.eventHeight != d.mapHeight) return false;
  if (d.events.size() != cells) return false;
  for (const DoodadPlacement& p : d.placements)
    if (p.x < 1 || p.x > d.mapWidth || p.y < 1 || p.y > d.mapHeight) return false;
  return true;
}

}  // namespace

// Positions may lie anywhere, off the map too (authors park figures there
// to hide them); they only have to be numbers.
bool SaveFitsItsMap(const SaveGameData& d) {
  if (!LayersFit(d)) return false;
  if (!std::isfinite(d.playerPosX) || !std::isfinite(d.playerPosY)) return false;
  for (const Npc& npc : d.npcs) {
    if (!std::isfinite(npc.POS_X) || !std::isfinite(npc.POS_Y)) return false;
    if (!std::isfinite(npc.stepOffsetX) || !std::isfinite(npc.stepOffsetY)) return false;
  }
  return true;
}

}  // namespace yw
