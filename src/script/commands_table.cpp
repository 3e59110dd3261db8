// The handler of every command word, in the order of the command table
// (language.cpp).
#include <array>

#include "script/commands.h"

namespace yw {

namespace {

constexpr std::array kHandlers{
    EndCommand,           // END
    LoadMapCommand,       // LOADMAP
    LoadEventsCommand,    // LOADEVENTS
    LoadTilesCommand,     // LOADTILES
    LoadDoodadsCommand,   // LOADDOODADS
    AddCharacterCommand,  // ADDCHARACTER
    AddNpcCommand,        // ADDNPC
    KillNpcCommand,       // KILLNPC
    SetPosCommand,        // SETPOS
    SetDirectionCommand,  // SETDIRECTION
    ChangeFieldCommand,   // CHANGE
    MsgCommand,           // MSG
    SetActorCommand,      // SETACTOR
    ShowMovieCommand,     // SHOWMOVIE
    SavingCommand,        // SAVING
    FightInitCommand,     // FIGHTINIT
    AddEnemyCommand,      // ADDENEMY
    RunScriptCommand,     // RUNSCRIPT
    FightStartCommand,    // FIGHTSTART
    FightEndCommand,      // FIGHTEND
    SelectTargetCommand,  // SELECTTARGET
    SelectUserCommand,    // SELECTUSER
    DamageCommand,        // DAMAGE
    AwardCommand,         // AWARD
    IfCommand,            // IF
    ElseCommand,          // ELSE
    EndIfCommand,         // ENDIF
    AddVoodooCommand,     // ADDVOODOO
    GameOverCommand,      // GAMEOVER
    InputTextCommand,     // INPUTTEXT
    AddListItemCommand,   // ADDLISTITEM
    ShowListCommand,      // SHOWLIST
    PlayAmbientCommand,   // PLAYAMBIENT
    PlaySoundCommand,     // PLAYSOUND
    AssignCommand,        // A
    AssignCommand,        // B
    AssignCommand,        // C
    AssignCommand,        // D
    AssignCommand,        // E
    AssignCommand,        // F
    AssignCommand,        // G
    AssignCommand,        // H
    AssignCommand,        // I
    AssignCommand,        // J
    SfxCommand,           // SFX
};

}  // namespace

CommandHandler FindCommand(std::string_view word) {
  const CommandEntry* entry = FindCommandEntry(word);
  if (!entry || CommandTable().size() != kHandlers.size()) return nullptr;
  return kHandlers[static_cast<size_t>(entry - CommandTable().data())];
}

}  // namespace yw
