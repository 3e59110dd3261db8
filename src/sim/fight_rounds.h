// The fight scene: the figures that show the fighters and the preparation
// a fight needs before its first round. The rounds themselves are the
// FightRound state's handler (sim_states.h).
#pragma once

#include <cstdint>

namespace yw {

class Engine;

// Fighters each side can show at once: Int((q - 2) / 2) for a screen q
// tiles high. NPC slots 1..n belong to the party, n+1..2n to the enemies.
int16_t FightSlotsPerSide(const Engine& e);

// Sets the scene up for a fight's first round: one waiting figure per
// slot, every fighter unlinked (each enters with a jump) and no fighter
// marked as having acted.
void PrepareFight(Engine& e);

// Where the two sides stand on the fight scene, as columns of the scene
// (its view starts at the first column): the party one column in from the
// right edge, where its jump from outside the screen ends; the enemies on
// the first column right of the screen's middle, further right when the
// left half holds less than a dozen characters of the fight lists, but at
// least two columns left of the party. The fight lists end left of the
// enemies, so they never cover one.
struct FightStands {
  int party = 0;
  int enemies = 0;
};
FightStands FightStandsOf(const Engine& e);

// The x that the windows of the lists shown in a fight end before: a few
// pixels left of the enemies' column.
int FightListsRight(const Engine& e);

// Draws the pointer hand beside the figure of the party member whose turn
// it is, on the shown frame; nothing on an enemy's turn.
void PointAtActingMember(Engine& e);

}  // namespace yw
