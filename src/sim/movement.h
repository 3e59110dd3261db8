// Walking on the map: the player's steps, the map-cell events, and the
// NPCs wandering or acting in cut-scenes.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace yw {

class Engine;
struct EventCell;
struct World;

// How many pixels an offset moves this frame so that a step ends on time
// at any frame rate: the distance left spread over the frames expected
// before the deadline.
float StepAmount(double elapsed, double distance, double remaining, int frames, int prevFrames);

// Advances the player's step; remaining = WalkDeadline - now.
void MovePlayer(Engine& e, Millis remaining, bool cutscene);

// The player has arrived at a cell in a cut-scene: counts the step and
// starts the next one of its actor order.
void ContinuePlayerActor(Engine& e);

// One turn of NPC movement: wandering on the map, actor orders in a
// cut-scene.
void MoveActors(Engine& e, Millis t, bool cutscene);

// The event cell at (x, y); a cell the event layer does not hold is open
// (passable, no scripts).
const EventCell& EventAt(const Engine& e, int x, int y);

// Cell (x, y) is blocked for walking: its event cell says OBSTACLE.
bool IsObstacle(const Engine& e, int x, int y);

// The neighbouring cell in a direction (1 up, 2 down, 3 left, 4 right).
void StepTarget(int direction, int& x, int& y);
// The drawing lag of a figure that has just stepped one cell that way: a
// tile against the step, on the step's axis (the other offset is kept).
void SetStepLag(const World& w, int direction, float& offsetX, float& offsetY);
// Whether (x, y) stands on the map's edge in the given direction.
bool AtEdge(const Engine& e, float x, float y, int direction);

}  // namespace yw
