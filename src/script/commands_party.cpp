// The party, the NPC list and actor orders: ADDCHARACTER, ADDNPC, KILLNPC,
// SETACTOR and CHANGE.
#include <cstdint>
#include <limits>

#include "core/engine.h"
#include "script/commands.h"
#include "script/field_access.h"
#include "world/paths.h"

namespace yw {

namespace {

// Grows a table by one entry and returns it; nullptr when the count cannot
// grow any further (the table then stays as it is).
template <class T>
T* Append(Table<T>& table, int16_t& count) {
  if (count == std::numeric_limits<int16_t>::max()) return nullptr;
  ++count;
  table.Resize(count);
  table[count] = T{};
  return &table[count];
}

// The character number of a command's first parameter, or 0 when it is
// not a character.
int16_t CharacterParam(CommandContext& c) {
  const int16_t n = ParamInteger(c.e, c.params[0]);
  return n >= 1 && n <= c.e.world.CharacterCount && c.e.world.Characters.Has(n) ? n : 0;
}

// The action word of SETACTOR; None when the word is not one of the six.
ActorAction ParseAction(std::string_view text) {
  const std::string word = ToLower(TrimBlanks(text));
  for (const ActorActionWord& a : kActorActions)
    if (word == a.word) return static_cast<ActorAction>(a.action);
  return ActorAction::None;
}

}  // namespace

CommandResult AddCharacterCommand(CommandContext& c) {
  if (c.params.empty()) return ScriptCode::NotEnoughParameters;
  const int16_t n = CharacterParam(c);
  if (n == 0) return ScriptCode::CharacterNotFound;
  World& w = c.e.world;
  const Character source = w.Characters[n];
  if (PartyMember* member = Append(w.Party, w.PartyCount)) {
    member->character = source;
    member->NAME = source.NAME;
    member->STATE = 1;
  }
  return kNextLine;
}

CommandResult AddNpcCommand(CommandContext& c) {
  if (c.params.empty()) return ScriptCode::NotEnoughParameters;
  const int16_t n = CharacterParam(c);
  if (n == 0) return ScriptCode::CharacterNotFound;
  if (Npc* npc = Append(c.e.world.Npcs, c.e.world.NpcCount)) {
    npc->CHAR = n;
    npc->DIRECTION = 2;
  }
  return kNextLine;
}

CommandResult KillNpcCommand(CommandContext& c) {
  World& w = c.e.world;
  if (c.params.empty()) {
    w.Npcs.Reset();
    w.NpcCount = 0;
    return kNextLine;
  }
  const int16_t n = ParamInteger(c.e, c.params[0]);
  if (n < 1 || n > w.NpcCount) return ScriptCode::NpcNotFound;
  w.Npcs.Remove(n);
  --w.NpcCount;
  w.Npcs.Resize(w.NpcCount);
  return kNextLine;
}

CommandResult SetActorCommand(CommandContext& c) {
  if (c.params.size() != 5) return ScriptCode::NotEnoughParameters;
  World& w = c.e.world;
  const int16_t actor = ParamInteger(c.e, c.params[0]);
  Npc* npc = actor >= 1 && actor <= w.NpcCount ? w.Npcs.Find(actor) : nullptr;
  if (actor != 0 && !npc) return ScriptCode::NpcNotFound;
  ActorOrder& order = npc ? npc->actor : w.PlayerActor;
  order.active = true;
  order.direction = ParamLong(c.e, c.params[1]);
  order.steps = order.stepsGiven = ParamInteger(c.e, c.params[2]);
  order.speed = static_cast<float>(ParamNumber(c.e, c.params[3]));
  const ActorAction action = ParseAction(c.params[4]);
  if (action != ActorAction::None) order.action = action;
  return kNextLine;
}

CommandResult ChangeFieldCommand(CommandContext& c) {
  const uint8_t code = ChangeCommand(c.e, c.params);
  return static_cast<ScriptCode>(code);
}

}  // namespace yw
