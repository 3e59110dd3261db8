// The command table: every command word of the language with its handler,
// its parameter count and its keyword parameters, in the order the words
// are tested.
#include <array>

#include "script/commands.h"

namespace yw {

namespace {

using Words = std::span<const std::string_view>;

// The keyword parameters, by the position they take on the line.
constexpr std::array<std::string_view, 1> kAllesWord{"ALLES"};
constexpr std::array<std::string_view, 3> kSheetWords{"MAP", "CHARCTER", "ITEM"};
constexpr std::array<std::string_view, 8> kChangeWords{"CHARACTER", "ITEM", "PARTY",  "ENEMY",
                                                       "NPC",       "MAP",  "TARGET", "USER"};
constexpr std::array<std::string_view, 2> kOnOffWords{"ON", "OFF"};
constexpr std::array<std::string_view, 2> kSideWords{"FOE", "FRIEND"};
constexpr std::array<std::string_view, 6> kDamageWords{"TARGET", "USER",   "PARTY",
                                                       "ENEMY",  "ALLFOE", "ALLFRIEND"};
constexpr std::array<std::string_view, 4> kAwardWords{"TARGET", "USER", "PARTY", "ALL"};
constexpr std::array<std::string_view, 9> kCompareWords{"=",  "<",  ">",  "<>", "><",
                                                        "<=", "=<", "=>", ">="};
constexpr std::array<std::string_view, 1> kNoEscWord{"NOESC"};
constexpr std::array<std::string_view, 4> kEffectWords{"ZOOMIN", "ZOOMOUT", "HWHIPE", "VWHIPE"};
constexpr std::array<std::string_view, 2> kInOutWords{"IN", "OUT"};

constexpr std::array kAlles{KeywordParam{1, Words(kAllesWord)}};
constexpr std::array kSheetKind{KeywordParam{1, Words(kSheetWords)}};
constexpr std::array kChangeKind{KeywordParam{0, Words(kChangeWords)}};
constexpr std::array kOnOff{KeywordParam{0, Words(kOnOffWords)}};
constexpr std::array kSide{KeywordParam{0, Words(kSideWords)}};
constexpr std::array kDamageSelector{KeywordParam{0, Words(kDamageWords)}};
constexpr std::array kAwardSelector{KeywordParam{0, Words(kAwardWords)}};
constexpr std::array kCompare{KeywordParam{1, Words(kCompareWords)}};
constexpr std::array kNoEsc{KeywordParam{0, Words(kNoEscWord)}};
constexpr std::array kEffect{KeywordParam{0, Words(kEffectWords)},
                             KeywordParam{2, Words(kInOutWords)}};

// Word, handler, parameter count {min, max, exact}, keyword parameters.
constexpr std::array kCommands{
    CommandEntry{"END", EndCommand, {0, kAnyCount}, {}},
    CommandEntry{"LOADMAP", LoadMapCommand, {0, 2}, kAlles},
    CommandEntry{"LOADEVENTS", LoadEventsCommand, {0, 2}, kAlles},
    CommandEntry{"LOADTILES", LoadTilesCommand, {0, 1}, {}},
    CommandEntry{"LOADDOODADS", LoadDoodadsCommand, {1, 2}, kSheetKind},
    CommandEntry{"ADDCHARACTER", AddCharacterCommand, {1, 1}, {}},
    CommandEntry{"ADDNPC", AddNpcCommand, {1, 1}, {}},
    CommandEntry{"KILLNPC", KillNpcCommand, {0, 1}, {}},
    CommandEntry{"SETPOS", SetPosCommand, {2, 2}, {}},
    CommandEntry{"SETDIRECTION", SetDirectionCommand, {1, 1, true}, {}},
    CommandEntry{"CHANGE", ChangeFieldCommand, {3, kAnyCount}, kChangeKind},
    CommandEntry{"MSG", MsgCommand, {1, 1}, {}},
    CommandEntry{"SETACTOR", SetActorCommand, {5, 5, true}, {}},
    CommandEntry{"SHOWMOVIE", ShowMovieCommand, {0, 1}, {}},
    CommandEntry{"SAVING", SavingCommand, {1, 1}, kOnOff},
    CommandEntry{"FIGHTINIT", FightInitCommand, {1, 1}, {}},
    CommandEntry{"ADDENEMY", AddEnemyCommand, {1, 1}, {}},
    CommandEntry{"RUNSCRIPT", RunScriptCommand, {0, 1}, {}},
    CommandEntry{"FIGHTSTART", FightStartCommand, {0, 1}, {}},
    CommandEntry{"FIGHTEND", FightEndCommand, {0, 0}, {}},
    CommandEntry{"SELECTTARGET", SelectTargetCommand, {1, 1}, kSide},
    CommandEntry{"SELECTUSER", SelectUserCommand, {0, 0}, {}},
    CommandEntry{"DAMAGE", DamageCommand, {3, kAnyCount}, kDamageSelector},
    CommandEntry{"AWARD", AwardCommand, {3, kAnyCount}, kAwardSelector},
    CommandEntry{"IF", IfCommand, {3, 3, true}, kCompare},
    CommandEntry{"ELSE", ElseCommand, {0, 0}, {}},
    CommandEntry{"ENDIF", EndIfCommand, {0, 0}, {}},
    CommandEntry{"ADDVOODOO", AddVoodooCommand, {6, 6, true}, {}},
    CommandEntry{"GAMEOVER", GameOverCommand, {0, 0}, {}},
    CommandEntry{"INPUTTEXT", InputTextCommand, {0, 2}, {}},
    CommandEntry{"ADDLISTITEM", AddListItemCommand, {2, 3}, {}},
    CommandEntry{"SHOWLIST", ShowListCommand, {0, 1}, kNoEsc},
    CommandEntry{"PLAYAMBIENT", PlayAmbientCommand, {1, 1, true}, {}},
    CommandEntry{"PLAYSOUND", PlaySoundCommand, {1, 1, true}, {}},
    CommandEntry{"A", AssignCommand, {1, 1, true}, {}},
    CommandEntry{"B", AssignCommand, {1, 1, true}, {}},
    CommandEntry{"C", AssignCommand, {1, 1, true}, {}},
    CommandEntry{"D", AssignCommand, {1, 1, true}, {}},
    CommandEntry{"E", AssignCommand, {1, 1, true}, {}},
    CommandEntry{"F", AssignCommand, {1, 1, true}, {}},
    CommandEntry{"G", AssignCommand, {1, 1, true}, {}},
    CommandEntry{"H", AssignCommand, {1, 1, true}, {}},
    CommandEntry{"I", AssignCommand, {1, 1, true}, {}},
    CommandEntry{"J", AssignCommand, {1, 1, true}, {}},
    CommandEntry{"SFX", SfxCommand, {2, 3}, kEffect},
};

}  // namespace

std::span<const CommandEntry> CommandTable() { return kCommands; }

const CommandEntry* FindCommandEntry(std::string_view word) {
  for (const CommandEntry& entry : kCommands)
    if (entry.word == word) return &entry;
  return nullptr;
}

CommandHandler FindCommand(std::string_view word) {
  const CommandEntry* entry = FindCommandEntry(word);
  return entry ? entry->handler : nullptr;
}

}  // namespace yw
