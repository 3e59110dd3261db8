// The explanations of the authors' reference, one entry per command word
// (the variable letters share one), per expression term and per script
// error. Kinds: "number" is evaluated as a number, "integer" is a number
// rounded to a whole number (halves to even) and limited to -32768..32767,
// "long" the same within 32 bits, "text" is evaluated as text, "file" and
// "script" are texts naming a file of the game folder.
#include "reference_text.h"

#include <array>

namespace yw::pack {

namespace {

constexpr std::array kCommands{
    CommandHelp{"END", "none (any are ignored)",
                "Ends the script. A script started by `RUNSCRIPT`, an event or a menu goes back "
                "to what started it.",
                "END"},
    CommandHelp{"LOADMAP", "file; optional `ALLES`",
                "Loads the map file (tiles and doodads of every cell). With `ALLES` also the "
                "tilemap and doodadmap the map names. A missing file is error 3, a file that "
                "does not load error 4.",
                "LOADMAP \"village.map\" \\ ALLES"},
    CommandHelp{"LOADEVENTS", "file; optional `ALLES`",
                "Loads the event map (the scripts and flags of every cell). With `ALLES` also "
                "the map it names, with that map's tilemap and doodadmap.",
                "LOADEVENTS \"village.evm\" \\ ALLES"},
    CommandHelp{"LOADTILES", "file", "Loads a tilemap: the tile sheet and its tiles.",
                "LOADTILES \"winter.til\""},
    CommandHelp{"LOADDOODADS", "file; optional `MAP`, `CHARCTER` or `ITEM`",
                "Loads a doodadmap: for the map's doodads (no second parameter or `MAP`), for "
                "the figures of characters (`CHARCTER`, spelled so) or for the pictures of "
                "items (`ITEM`).",
                "LOADDOODADS \"people.doo\" \\ CHARCTER"},
    CommandHelp{"ADDCHARACTER", "character number (integer)",
                "A copy of the character joins the party, under the character's name, present "
                "and able (`STATE` 1). Error 12 outside the character table.",
                "ADDCHARACTER 1"},
    CommandHelp{"ADDNPC", "character number (integer)",
                "Adds an NPC showing the character's figure, facing down, at cell 0, 0 (off the "
                "map: place it with `CHANGE NPC`). It is NPC number [count npc].",
                "ADDNPC 2"},
    CommandHelp{"KILLNPC", "optional NPC number (integer)",
                "Removes that NPC; the NPCs after it move down one number. Without a number "
                "removes every NPC.",
                "KILLNPC 1"},
    CommandHelp{"SETPOS", "x, y (integers)",
                "Puts the player on cell (x, y) and shows the map around it. Error 14 off the "
                "map.",
                "SETPOS 12 \\ 7"},
    CommandHelp{"SETDIRECTION", "direction (integer: 1 up, 2 down, 3 left, 4 right)",
                "Turns the player. Error 26 for any other number.", "SETDIRECTION [left]"},
    CommandHelp{"CHANGE",
                "kind (`CHARACTER`, `ITEM`, `PARTY`, `ENEMY`, `NPC`, `MAP`, `TARGET`, `USER`), "
                "address, field, value",
                "Writes a field (see Fields): `CHANGE MAP \\ x \\ y \\ FIELD \\ value`, `CHANGE "
                "TARGET \\ FIELD \\ value`, `CHANGE USER \\ FIELD \\ value`, otherwise `CHANGE "
                "kind \\ number \\ FIELD \\ value`. An address outside its table fails with the "
                "kind's error; an unknown or read-only field is error 13.",
                "CHANGE PARTY \\ 1 \\ HP \\ [data party, 1, HP] + 10"},
    CommandHelp{"MSG", "text",
                "Shows the text in the message window, in as many pages as it needs; the script "
                "goes on when the player has read the last page with Enter.",
                "MSG \"Welcome, \" [data party, 1, NAME] \"!\""},
    CommandHelp{"SETACTOR",
                "actor (integer: 0 the player, else an NPC number), direction (long), cells "
                "(integer), speed (number), action word",
                "Gives the actor an order for the next cut-scene (`SHOWMOVIE`). The action "
                "words are listed under SETACTOR's actions; another word keeps the actor's "
                "action. Error 16 for an actor that is not there.",
                "SETACTOR 1 \\ [right] \\ 3 \\ 2 \\ walk"},
    CommandHelp{"SHOWMOVIE", "optional milliseconds (integer)",
                "Plays the cut-scene: the actors carry out their orders; with milliseconds the "
                "scene ends after that time at the latest. The script goes on afterwards.",
                "SHOWMOVIE 5000"},
    CommandHelp{"SAVING", "`ON` or `OFF`",
                "Allows or forbids saving from the game menu (a scene in progress cannot be "
                "saved).",
                "SAVING OFF"},
    CommandHelp{"FIGHTINIT", "fight map (file)",
                "Sets up a fight: keeps the world as it is to come back to, loads the fight map "
                "with its tilemap and doodadmap and empties the NPCs and enemies. See Fights.",
                "FIGHTINIT \"arena.map\""},
    CommandHelp{"ADDENEMY", "character number (integer)",
                "Adds a copy of the character as an enemy of the fight being set up. Error 18 "
                "before `FIGHTINIT`.",
                "ADDENEMY 2"},
    CommandHelp{"RUNSCRIPT", "script name (text)",
                "Runs the script to its end, then goes on with the next line. An empty name "
                "runs nothing.",
                "RUNSCRIPT \"shop.skr\""},
    CommandHelp{"FIGHTSTART", "optional rounds (integer, 0: until one side is down)",
                "Starts the fight set up: the fighters walk in and take turns. The script goes "
                "on when the fight is over.",
                "FIGHTSTART"},
    CommandHelp{"FIGHTEND", "none",
                "Ends the fight: the map, the NPCs and the player's place come back as they were "
                "at `FIGHTINIT`; the party, characters and items stay as the fight left them.",
                "FIGHTEND"},
    CommandHelp{"SELECTTARGET", "`FOE` or `FRIEND`",
                "The player chooses an enemy (`FOE`) or a party member (`FRIEND`) as the target; "
                "on an enemy's turn in a fight the enemy chooses at random. Read it with "
                "`[data target, ...]`.",
                "SELECTTARGET FOE"},
    CommandHelp{"SELECTUSER", "none",
                "Outside a fight the player chooses the party member who uses an item; in a "
                "fight the user is the fighter whose turn it is.",
                "SELECTUSER"},
    CommandHelp{"DAMAGE",
                "who (`TARGET`, `USER`, `PARTY` n, `ENEMY` n, `ALLFOE`, `ALLFRIEND`), least, most "
                "(integers), optional `POPUP`",
                "Takes a random amount from least to most off the HP of each one chosen (a "
                "negative amount heals), never below 0 nor above MAXHP. `POPUP` floats the "
                "number over the figure for four seconds.",
                "DAMAGE TARGET \\ 3 \\ 8 \\ POPUP"},
    CommandHelp{"AWARD",
                "who (`TARGET`, `USER`, `PARTY` n, `ALL`), least, most (integers), optional `MSG`",
                "Gives experience points to the living party members chosen; a member whose "
                "level rises grows in HP, MP and attributes. `MSG` tells the player in a "
                "message. Error 25 for an enemy.",
                "AWARD ALL \\ 10 \\ 20 \\ MSG"},
    CommandHelp{"IF", "left, comparison, right",
                "Runs the lines up to `ELSE` or `ENDIF` when the comparison holds, else those "
                "after `ELSE`. Comparisons: `=`, `<`, `>`, `<>` (or `><`), `<=` (or `=<`), `>=` "
                "(or `=>`). Numbers compare by value; texts by content for `=` and `<>` (letter "
                "case counts) and by length for the others. A number compared with a text is "
                "error 22. Blocks nest.",
                "IF [data item, 3, NUMBER] \\ > \\ 0"},
    CommandHelp{"ELSE", "none", "Starts the lines that run when the `IF` above did not hold.",
                "ELSE"},
    CommandHelp{"ENDIF", "none", "Ends the block of the `IF` above.", "ENDIF"},
    CommandHelp{"ADDVOODOO", "doodad, x1, y1, x2, y2 (integers), milliseconds (long)",
                "A doodad flies from cell (x1, y1) to cell (x2, y2) in the given time (an arrow, "
                "a spell). The script goes on at once: follow it with `SHOWMOVIE` to wait.",
                "ADDVOODOO 12 \\ 3 \\ 5 \\ 8 \\ 5 \\ 400"},
    CommandHelp{"GAMEOVER", "none", "Ends the game: the world is emptied and the title comes back.",
                "GAMEOVER"},
    CommandHelp{"INPUTTEXT", "optional caption, optional starting text (texts)",
                "Asks the player to type a line; read it afterwards with `[text]`.",
                "INPUTTEXT \"Your name?\" \\ \"Ash\""},
    CommandHelp{"ADDLISTITEM", "name (text), value (integer), optional doodad (integer)",
                "Adds an entry to the list `SHOWLIST` shows next.",
                "ADDLISTITEM \"Buy a sword\" \\ 1"},
    CommandHelp{"SHOWLIST", "optional `NOESC`",
                "Shows the entries added with `ADDLISTITEM` and lets the player choose one; "
                "`[listitemval]` is then its value, and the list is empty again. With `NOESC` "
                "Esc does not close it.",
                "SHOWLIST NOESC"},
    CommandHelp{"PLAYAMBIENT", "file (text; \"\" stops the music)",
                "Plays the music file (MIDI, WAV or MP3) over and over.",
                "PLAYAMBIENT \"village.mid\""},
    CommandHelp{"PLAYSOUND", "file (text)", "Plays the sound file once.", "PLAYSOUND \"door.wav\""},
    CommandHelp{"A B C D E F G H I J", "value (number or text)",
                "Stores the value in the variable: it takes the kind of the value. Read it with "
                "`[a]` ... `[j]`. While a variable is given its new value it holds nothing, so "
                "`A [a] + 1` always gives 1: count with a second variable (`B [a] + 1`, then "
                "`A [b]`). Variables keep their values while the program runs, across games, "
                "and are not saved: keep what a game must remember in item NUMBERs or VALUEs.",
                "B [a] + 1"},
    CommandHelp{"SFX",
                "effect (`ZOOMIN`, `ZOOMOUT`, `HWHIPE`, `VWHIPE`), milliseconds (long), optional "
                "`IN` or `OUT`",
                "Plays a screen effect over the picture on screen; `OUT` plays it backwards. "
                "The script goes on when it is over.",
                "SFX HWHIPE \\ 800"},
};

constexpr std::array kTerms{
    TermHelp{"a ... j", "none", "the variable's", "the value of the variable", "[a]", "0"},
    TermHelp{"val", "a text", "number", "the number the text starts with, 0 when none",
             "[val \"42 gold\"] + 1", "43"},
    TermHelp{"str", "a number", "text", "the number written out", "\"HP \" [str 7 * 6]", "HP 42"},
    TermHelp{"no", "none", "number", "0", "[no]", "0"},
    TermHelp{"yes, up", "none", "number", "1", "[yes]", "1"},
    TermHelp{"down", "none", "number", "2", "[down]", "2"},
    TermHelp{"left", "none", "number", "3", "[left]", "3"},
    TermHelp{"right", "none", "number", "4", "[right]", "4"},
    TermHelp{"random", "least, most (integers)", "number",
             "a whole number from least to most, each as likely", "[random 5, 5]", "5"},
    TermHelp{"listitemval", "none", "number", "the value of the entry chosen last in a list",
             "[listitemval]", "0"},
    TermHelp{"round", "x, optional `UP` or `DOWN`", "number",
             "x to the nearest whole number (halves to even), up or down", "[round 7 / 3, UP]",
             "3"},
    TermHelp{"alldead", "none", "number", "1 when no party member is alive (or none is there)",
             "[alldead]", "0"},
    TermHelp{"text", "none", "text", "what the player typed in the last `INPUTTEXT`", "[text]", ""},
    TermHelp{"probe", "a, b (integers)", "number",
             "1 with the chance a / (a + b) (a counts at most 100), else 0: the contest fights "
             "use",
             "[probe 100, 0]", "1"},
    TermHelp{"itembyname", "a name", "number",
             "the number of the first item of that name, 0 if none", "[itembyname \"potion\"]",
             "1"},
    TermHelp{"enemybychar", "a character number", "number",
             "the number of the first enemy made from that character, 0 if none", "[enemybychar 2]",
             "0"},
    TermHelp{"npcbychar", "a character number", "number",
             "the number of the first NPC showing that character, 0 if none", "[npcbychar 2]", "0"},
    TermHelp{"playerbyname", "a name", "number",
             "the number of the first party member of that name, 0 if none",
             "[playerbyname \"Hero\"]", "1"},
    TermHelp{"playerbychar", "a character number", "number",
             "the number of the first party member made from that character, 0 if none",
             "[playerbychar 1]", "1"},
    TermHelp{"charbyname", "a name", "number",
             "the number of the first character of that name, 0 if none", "[charbyname \"wolf\"]",
             "2"},
    TermHelp{"count", "`players`, `items`, `characters`, `npc` or `enemys`", "number",
             "how many there are", "[count characters]", "2"},
    TermHelp{"data", "kind, address, field", "the field's", "a field of the world: see Fields",
             "[data party, 1, LEVEL]", "3"},
};

constexpr std::array<std::string_view, 27> kCauses{
    "",
    "the first line that is not blank or a comment is not `BEGIN` in capitals",
    "the script ends without an `END` line",
    "`LOADMAP` or `FIGHTINIT`: no such file in the game folder",
    "`LOADMAP` or `FIGHTINIT`: the file is not a map",
    "`LOADEVENTS`: the file is not an event map",
    "`LOADEVENTS`: no such file",
    "`LOADTILES`: no such file",
    "`LOADTILES`: the file is not a tilemap",
    "`LOADDOODADS`: no such file",
    "`LOADDOODADS`: the file is not a doodadmap",
    "the first word of the line is no command (a misspelling, a tab before a comment)",
    "a character, party member or NPC number outside its table (`ADDCHARACTER`, `ADDNPC`, "
    "`ADDENEMY`, `CHANGE CHARACTER`, `CHANGE PARTY`, `CHANGE NPC`)",
    "a keyword parameter that is not one of the command's words, an unknown or read-only field "
    "in `CHANGE`, or an `IF` comparison that is not one of the nine",
    "`SETPOS` or `CHANGE MAP` outside the map",
    "fewer parameters than the command needs (or, where it needs exactly so many, another "
    "number)",
    "`KILLNPC` or `SETACTOR` with an NPC number that is not there",
    "`FIGHTINIT`: the game folder cannot be written, so the world cannot be kept for after the "
    "fight",
    "`ADDENEMY` before `FIGHTINIT`",
    "`FIGHTEND`: the world kept at `FIGHTINIT` cannot be read back",
    "`SELECTTARGET` in a fight when the fighter whose turn it is is not there",
    "`SELECTTARGET FOE` with no enemy on the fight map",
    "`IF` compares a number with a text",
    "`CHANGE ENEMY` with an enemy number that is not there",
    "`CHANGE ITEM` with an item number that is not there",
    "`AWARD` aimed at an enemy",
    "`SETDIRECTION` with a number other than 1 to 4",
};

}  // namespace

std::span<const CommandHelp> CommandHelps() { return kCommands; }
std::span<const TermHelp> TermHelps() { return kTerms; }

std::string_view ErrorCause(uint8_t code) {
  return code < kCauses.size() ? kCauses[code] : std::string_view{};
}

}  // namespace yw::pack
