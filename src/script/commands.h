// The script commands, by family, and the helpers they share for reading
// their parameters.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "script/interpreter.h"

namespace yw {

// --- Parameters --------------------------------------------------------

// Parameter i (1-based), or an empty text when the line has fewer.
std::string_view Param(std::span<const std::string> params, size_t i);
// A parameter evaluated as a number; nothing counts as 0.
double ParamNumber(Engine& e, std::string_view text);
// A number converted to a 16-bit Integer (halves to even, saturating).
int16_t ParamInteger(Engine& e, std::string_view text);
// A number converted to a 32-bit Long.
int32_t ParamLong(Engine& e, std::string_view text);
// A parameter evaluated as a text; nothing counts as empty.
std::string ParamText(Engine& e, std::string_view text);
// A keyword parameter: trimmed and in capitals, not evaluated.
std::string ParamKeyword(std::string_view text);

// --- Control flow and variables (commands_control.cpp) ----------------
CommandResult EndCommand(CommandContext& c);
CommandResult IfCommand(CommandContext& c);
CommandResult ElseCommand(CommandContext& c);
CommandResult EndIfCommand(CommandContext& c);
CommandResult AssignCommand(CommandContext& c);  // A .. J

// --- Map data and the player's place (commands_map.cpp) ---------------
CommandResult LoadMapCommand(CommandContext& c);
CommandResult LoadEventsCommand(CommandContext& c);
CommandResult LoadTilesCommand(CommandContext& c);
CommandResult LoadDoodadsCommand(CommandContext& c);
CommandResult SetPosCommand(CommandContext& c);
CommandResult SetDirectionCommand(CommandContext& c);

// --- Party, NPCs and actors (commands_party.cpp) ----------------------
CommandResult AddCharacterCommand(CommandContext& c);
CommandResult AddNpcCommand(CommandContext& c);
CommandResult KillNpcCommand(CommandContext& c);
CommandResult SetActorCommand(CommandContext& c);
CommandResult ChangeFieldCommand(CommandContext& c);

// --- Messages, lists, movies, effects, sound (commands_presentation.cpp)
CommandResult MsgCommand(CommandContext& c);
CommandResult ShowMovieCommand(CommandContext& c);
CommandResult SavingCommand(CommandContext& c);
CommandResult RunScriptCommand(CommandContext& c);
CommandResult AddVoodooCommand(CommandContext& c);
CommandResult GameOverCommand(CommandContext& c);
CommandResult InputTextCommand(CommandContext& c);
CommandResult AddListItemCommand(CommandContext& c);
CommandResult ShowListCommand(CommandContext& c);
CommandResult PlayAmbientCommand(CommandContext& c);
CommandResult PlaySoundCommand(CommandContext& c);
CommandResult SfxCommand(CommandContext& c);

// --- Fights (commands_combat.cpp) ---------------------------------------
CommandResult FightInitCommand(CommandContext& c);
CommandResult AddEnemyCommand(CommandContext& c);
CommandResult FightStartCommand(CommandContext& c);
CommandResult FightEndCommand(CommandContext& c);
CommandResult SelectTargetCommand(CommandContext& c);
CommandResult SelectUserCommand(CommandContext& c);

// --- Hit points and experience (commands_rewards.cpp) -------------------
CommandResult DamageCommand(CommandContext& c);
CommandResult AwardCommand(CommandContext& c);

}  // namespace yw
