// The command table: every command word of the language with its handler,
// in the order the words are tested.
#include <array>

#include "script/commands.h"

namespace yw {

namespace {

constexpr std::array kCommands{
    CommandEntry{"END", EndCommand},
    CommandEntry{"LOADMAP", LoadMapCommand},
    CommandEntry{"LOADEVENTS", LoadEventsCommand},
    CommandEntry{"LOADTILES", LoadTilesCommand},
    CommandEntry{"LOADDOODADS", LoadDoodadsCommand},
    CommandEntry{"ADDCHARACTER", AddCharacterCommand},
    CommandEntry{"ADDNPC", AddNpcCommand},
    CommandEntry{"KILLNPC", KillNpcCommand},
    CommandEntry{"SETPOS", SetPosCommand},
    CommandEntry{"SETDIRECTION", SetDirectionCommand},
    CommandEntry{"CHANGE", ChangeFieldCommand},
    CommandEntry{"MSG", MsgCommand},
    CommandEntry{"SETACTOR", SetActorCommand},
    CommandEntry{"SHOWMOVIE", ShowMovieCommand},
    CommandEntry{"SAVING", SavingCommand},
    CommandEntry{"FIGHTINIT", FightInitCommand},
    CommandEntry{"ADDENEMY", AddEnemyCommand},
    CommandEntry{"RUNSCRIPT", RunScriptCommand},
    CommandEntry{"FIGHTSTART", FightStartCommand},
    CommandEntry{"FIGHTEND", FightEndCommand},
    CommandEntry{"SELECTTARGET", SelectTargetCommand},
    CommandEntry{"SELECTUSER", SelectUserCommand},
    CommandEntry{"DAMAGE", DamageCommand},
    CommandEntry{"AWARD", AwardCommand},
    CommandEntry{"IF", IfCommand},
    CommandEntry{"ELSE", ElseCommand},
    CommandEntry{"ENDIF", EndIfCommand},
    CommandEntry{"ADDVOODOO", AddVoodooCommand},
    CommandEntry{"GAMEOVER", GameOverCommand},
    CommandEntry{"INPUTTEXT", InputTextCommand},
    CommandEntry{"ADDLISTITEM", AddListItemCommand},
    CommandEntry{"SHOWLIST", ShowListCommand},
    CommandEntry{"PLAYAMBIENT", PlayAmbientCommand},
    CommandEntry{"PLAYSOUND", PlaySoundCommand},
    CommandEntry{"A", AssignCommand},
    CommandEntry{"B", AssignCommand},
    CommandEntry{"C", AssignCommand},
    CommandEntry{"D", AssignCommand},
    CommandEntry{"E", AssignCommand},
    CommandEntry{"F", AssignCommand},
    CommandEntry{"G", AssignCommand},
    CommandEntry{"H", AssignCommand},
    CommandEntry{"I", AssignCommand},
    CommandEntry{"J", AssignCommand},
    CommandEntry{"SFX", SfxCommand},
};

}  // namespace

std::span<const CommandEntry> CommandTable() { return kCommands; }

CommandHandler FindCommand(std::string_view word) {
  for (const CommandEntry& entry : kCommands)
    if (entry.word == word) return entry.handler;
  return nullptr;
}

}  // namespace yw
