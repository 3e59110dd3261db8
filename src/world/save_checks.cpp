// The checks a saved game passes before it replaces the running game.
#include <cmath>
#include <cstdint>

#include "world/save_game.h"

namespace yw {

namespace {

// A cell coordinate on a map `size` cells long, or 0 for a figure that is
// not on the map (new NPCs and those that left stand there). Before any map
// is loaded a position only has to be a number a cell could have.
bool OnMapOrOff(float v, int16_t size) {
  if (!std::isfinite(v)) return false;
  if (size == 0) return std::fabs(v) <= INT16_MAX;
  return v >= 0 && v <= size;
}

bool LayersFit(const SaveGameData& d) {
  const size_t cells = static_cast<size_t>(d.mapWidth) * static_cast<size_t>(d.mapHeight);
  if (d.mapWidth < 0 || d.mapHeight < 0 || d.tiles.size() != cells) return false;
  for (int16_t tile : d.tiles)
    if (tile == 0) return false;
  if (d.eventWidth != d.mapWidth || d.eventHeight != d.mapHeight) return false;
  if (cells != 0 && d.events.size() != cells) return false;
  for (const DoodadPlacement& p : d.placements)
    if (p.x < 1 || p.x > d.mapWidth || p.y < 1 || p.y > d.mapHeight) return false;
  return true;
}

}  // namespace

bool SaveFitsItsMap(const SaveGameData& d) {
  if (!LayersFit(d)) return false;
  if (!OnMapOrOff(d.playerPosX, d.mapWidth) || !OnMapOrOff(d.playerPosY, d.mapHeight)) return false;
  for (const Npc& npc : d.npcs) {
    if (!OnMapOrOff(npc.POS_X, d.mapWidth) || !OnMapOrOff(npc.POS_Y, d.mapHeight)) return false;
    if (!std::isfinite(npc.stepOffsetX) || !std::isfinite(npc.stepOffsetY)) return false;
  }
  return true;
}

}  // namespace yw
