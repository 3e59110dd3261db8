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

// Draws the pointer hand above the figure of the party member whose turn
// it is, on the shown frame; nothing on an enemy's turn.
void PointAtActingMember(Engine& e);

}  // namespace yw
