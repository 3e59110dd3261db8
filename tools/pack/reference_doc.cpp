// Writes the authors' reference: fixed sections of prose around the tables
// the language keeps (script/language.h) and the explanations of
// reference_text.h. Whatever the runtime's tables hold appears here, and
// a word without an explanation is reported (see UnexplainedWords).
#include "reference_doc.h"

#include <algorithm>
#include <sstream>
#include <string_view>

#include "reference_text.h"
#include "script/language.h"

namespace yw::pack {

namespace {

constexpr int kLastErrorCode = 26;

constexpr std::string_view kIntro = R"(# Script language reference

Every command, expression term, field and error of the script language,
for authors of games. `yarrowind-pack reference` writes this file from the
runtime's own tables, so it lists exactly what the runtime knows; a test
fails when they part. docs/authoring.md is the guide to making a game.

Kinds of parameters: a *number* is evaluated as a number; an *integer* is
a number rounded to a whole number (halves to even) and limited to
-32768..32767; a *long* the same within -2147483648..2147483647; a *text*
is evaluated as text; a *file* or *script* is a text naming a file of the
game folder, in any letter case, with `\` or `/` between folders.

## Text encoding

A game's texts are 8-bit text in the Windows-1252 code page, as the games
were written: the font picture has a glyph for each of its characters.
`yarrowind-pack build` converts scripts and JSON sources saved as UTF-8
(every modern editor's default; with or without a byte order mark) and
names the line and column of a character Windows-1252 cannot hold (an
emoji, a Greek or Cyrillic letter). `check` warns at a script line of a
built game that looks like UTF-8 (it would show as `Ã©`). Lines end in
CR LF in a built game; the build converts LF and CR line ends.

## A script

A script is a file `NAME.skr` in the game folder (or a folder under it,
named `folder\NAME.skr`). The game starts `autoexec.skr`. Its first line
that is not blank and not a comment is `BEGIN` in capitals; it ends at a
line `END`.

- One command a line: `COMMAND first \ second \ third`. The command word
  ends at the first blank and may be written in any letter case; the
  parameters are split at every `\` outside double quotes and trimmed.
- A line whose first character after blanks is `'` is a comment. There
  are no comments after a command, and a tab before `'` makes the line an
  unknown command.
- Blank lines are skipped. Leading blanks and tabs before the command word
  are skipped (indent freely with blanks).
- A command that waits for the player (`MSG`, `SHOWLIST`, `INPUTTEXT`,
  `SHOWMOVIE`, `FIGHTSTART`, `SFX`, `RUNSCRIPT`, the choosers) goes on with
  the next line when the player is done.
- There are no loops: a script that starts itself with `RUNSCRIPT` repeats
  (up to 32767 levels deep).

Parameter counts: fewer parameters than a command needs is error 15 ("Not
enough parameters"); where a command needs exactly so many, any other
number is. Parameters beyond what a command reads are ignored. A keyword
parameter is compared trimmed and in any letter case; another word is
error 13.
)";

constexpr std::string_view kExpressions = R"(
## Expressions

Every parameter that carries a value is an expression, evaluated as a
number or as a text as the parameter needs (`IF` and the variables take
the kind the expression has).

- Numbers are whole numbers of digits: no sign, no decimal point. A
  fraction comes from a division: `7 / 2` is 3.5. Numbers are 32-bit
  floating-point values.
- Texts are written in double quotes; a text expression joins its quoted
  parts and text terms in order: `"HP: " [str [data party, 1, HP]]`.
- The operators are `+`, `-`, `*` and `/`, **with no precedence**: the
  expression is read from left to right, so `2 + 3 * 4` is 20. Parentheses
  group: `2 + (3 * 4)` is 14. A leading `-` negates: `- 5`.
- **Blanks separate** numbers, operators and texts. The character right
  after a number or a closing quote is taken as its end and read no
  further, so `5-3` is 8 (the `-` ends the 5) and `2.5` is 7; write
  `5 - 3`. `yarrowind-pack check` warns about an operator without blanks.
- A term of the other kind adds nothing: a number term in a text
  expression is silently empty (use `[str ...]`), a text term in a number
  expression is 0 (use `[val ...]`).
- Expressions never fail: an unknown term, a missing argument or a
  number outside a table yields nothing (0, or an empty text).

### Terms

A term is a word in square brackets with its arguments after it,
separated by commas: `[random 1, 6]`. Term words and the words inside
them may be written in any letter case; names are compared trimmed and in
any letter case. The examples give what each term yields in )";

constexpr std::string_view kItemTypes = R"(
## Item TYPE values

| TYPE | The item is | Listed under |
|---|---|---|
| 1 | a weapon: a party member can hold it as `WEP` | Inventory, Equip (weapons) |
| 2 | a spell, cast from the Magic list (its `SCRIPT` on the map, its `FIGHTSCRIPT` in a fight) | Magic, in the fight's Magic list |
| 3 | armour: a party member can wear it as `ARM` | Inventory, Equip (armour) |
| other | an item (a potion, a key, a quest token) | Inventory, in the fight's Item list |

An item is listed only while it is `VISIBLE` and its `NUMBER` is above 0;
a weapon or armour in use by a member counts against its `NUMBER` (the
standard ones, `STDWEP` and `STDARM`, do not). Using an item outside a
fight runs its `SCRIPT`, in a fight its `FIGHTSCRIPT`; the script decides
what it costs (`CHANGE ITEM \ n \ NUMBER \ ...`). An enemy acts by running
the `FIGHTSCRIPT` of its `WEP` or `STDWEP` item.

Items are where a game keeps its progress: their `NUMBER` and `VALUE` are
saved with the game, the variables `A` to `J` are not. An invisible item
whose `VALUE` counts the chapters reached is the usual way.
)";

constexpr std::string_view kKeysAndLists = R"(
## Keys and lists

Scripts do not read keys; the player's keys act through what the scripts
open:

- On the map the arrow keys walk, Enter uses the cell or the NPC ahead
  (its `USESCRIPT`, else the NPC's `SCRIPT`), Esc opens the game menu.
  A step onto a cell runs its `ENTERSCRIPT`, leaving one its
  `LEAVESCRIPT`, pushing against an obstacle its `PUSHSCRIPT`.
- A message (`MSG`) turns its pages with Enter.
- A list of the script's own (`SHOWLIST`) moves with Up and Down and
  chooses with Enter: `[listitemval]` is then the entry's value. Esc
  closes it with `[listitemval]` 0, unless it was shown with `NOESC`. An
  empty list does not show and gives 0. The list is emptied when it
  closes, so add its entries again before showing it again.
- The party chooser (`SELECTTARGET FRIEND`, `SELECTUSER`) must be
  answered: Esc does nothing. The enemy chooser (`SELECTTARGET FOE`) puts
  the pointer on an enemy of the fight map; Up and Down go round the
  enemies.
- A text input (`INPUTTEXT`) takes typed characters and Backspace; Enter
  accepts, Esc cancels (then `[text]` is empty).
)";

constexpr std::string_view kFights = R"(
## Fights

A fight is a script:

    FIGHTINIT "arena.map"
    ADDENEMY 2
    ADDENEMY 2
    FIGHTSTART
    IF [alldead] \ = \ 1
      GAMEOVER
    ENDIF
    FIGHTEND

What a fight map needs:

- At least as many cells across and down as the screen shows (the
  `[screen]` size of yarrowind.ini divided by the tile size): the fighters
  walk in from just right of the screen and stand in the columns of the
  visible part. `yarrowind-pack` warns about a fight map narrower than the
  screen.
- The rows of the screen, less two, shared in two: so many party members
  and so many enemies fit at once; the others wait and come in when a
  place is free.
- No events it depends on: the fighters are NPCs of the fight; the
  player's own figure is not drawn.

Each fighter acts in the order of `INI`, highest first, once a round. A
party member chooses Fight (the `FIGHTSCRIPT` of its weapon), Item, Magic
or Wait; an enemy runs the `FIGHTSCRIPT` of its `WEP` or `STDWEP`. The
script of the action does the rest with `SELECTTARGET`, `DAMAGE ... POPUP`,
`ADDVOODOO`, `SHOWMOVIE` and `PLAYSOUND`: `[data user, ...]` is the fighter
whose turn it is, `[data target, ...]` the one chosen. The fight ends when
one side has nobody alive (or after the rounds `FIGHTSTART` allows); the
script that started it then goes on and reads the outcome with
`[alldead]`. `FIGHTEND` brings the map and the NPCs back; the party keeps
its wounds and experience.
)";

std::string CountText(const ParamCount& c) {
  if (c.exact) return "exactly " + std::to_string(c.min);
  if (c.max == kAnyCount) return c.min == 0 ? "any number" : "at least " + std::to_string(c.min);
  if (c.min == c.max) return std::to_string(c.min);
  if (c.min == 0) return "up to " + std::to_string(c.max);
  return std::to_string(c.min) + " to " + std::to_string(c.max);
}

std::string KeywordText(const CommandEntry& entry) {
  std::string text;
  for (const KeywordParam& k : entry.keywords) {
    if (!text.empty()) text += "; ";
    text += "parameter " + std::to_string(k.index + 1) + ":";
    for (std::string_view w : k.words) text += " `" + std::string(w) + "`";
  }
  return text;
}

std::vector<std::string_view> Words(std::string_view list) {
  std::vector<std::string_view> words;
  size_t start = 0;
  while (start < list.size()) {
    const size_t blank = std::min(list.find(' ', start), list.size());
    if (blank > start) words.push_back(list.substr(start, blank - start));
    start = blank + 1;
  }
  return words;
}

const CommandHelp* HelpFor(std::string_view word) {
  for (const CommandHelp& help : CommandHelps())
    for (std::string_view w : Words(help.words))
      if (w == word) return &help;
  return nullptr;
}

void Command(std::ostream& out, const CommandHelp& help, const CommandEntry& entry) {
  const std::vector<std::string_view> words = Words(help.words);
  out << "\n### ";
  if (words.size() == 1)
    out << words[0];
  else
    out << words.front() << " ... " << words.back();
  out << "\n\n";
  out << "- Parameters (" << CountText(entry.count) << "): " << help.parameters << "\n";
  const std::string keywords = KeywordText(entry);
  if (!keywords.empty()) out << "- Keywords: " << keywords << "\n";
  out << "- Example: `" << help.example << "`\n\n" << help.effect << "\n";
}

void Commands(std::ostream& out) {
  out << "\n## Commands\n\nIn the order the runtime tries them.\n";
  std::vector<const CommandHelp*> done;
  for (const CommandEntry& entry : CommandTable()) {
    const CommandHelp* help = HelpFor(entry.word);
    if (help == nullptr) {
      out << "\n### " << entry.word << "\n\n- Parameters (" << CountText(entry.count) << ")\n";
      continue;
    }
    if (std::find(done.begin(), done.end(), help) != done.end()) continue;
    done.push_back(help);
    Command(out, *help, entry);
  }
  out << "\n### SETACTOR's actions\n\nThe last parameter of `SETACTOR`, in any letter case:\n\n";
  for (const ActorActionWord& a : kActorActions) out << "- `" << a.word << "`\n";
}

void Terms(std::ostream& out) {
  out << kExpressions << kExampleWorld << ".\n\n";
  out << "| Term | Arguments | Kind | Yields | Example | Gives |\n|---|---|---|---|---|---|\n";
  for (const TermHelp& t : TermHelps())
    out << "| `" << t.keyword << "` | " << t.arguments << " | " << t.kind << " | " << t.yields
        << " | `" << t.example << "` | " << (t.result.empty() ? "(empty)" : t.result) << " |\n";
}

void Errors(std::ostream& out) {
  out << "\n## Script errors\n\nA script that fails stops; the player sees the error's "
         "text, and under it \"The error occured in the following line:\" with the "
         "line. While a game is tried (`yarrowind --play`) the script's file and line go to "
         "the terminal and the F3 overlay too.\n\n| Code | Text | Cause |\n|---|---|---|\n";
  for (int code = 1; code <= kLastErrorCode; ++code)
    out << "| " << code << " | \"" << ScriptErrorMessage(static_cast<uint8_t>(code)) << "\" | "
        << ErrorCause(static_cast<uint8_t>(code)) << " |\n";
}

}  // namespace

std::string ScriptReference() {
  std::ostringstream out;
  out << kIntro;
  Commands(out);
  Terms(out);
  out << kItemTypes << kKeysAndLists << kFights;
  Errors(out);
  return out.str();
}

std::vector<std::string> UnexplainedWords() {
  std::vector<std::string> missing;
  for (const CommandEntry& entry : CommandTable())
    if (HelpFor(entry.word) == nullptr) missing.push_back(std::string(entry.word));
  for (const CommandHelp& help : CommandHelps())
    for (std::string_view w : Words(help.words))
      if (FindCommandEntry(w) == nullptr) missing.push_back("no command " + std::string(w));
  for (int code = 1; code <= kLastErrorCode; ++code)
    if (ErrorCause(static_cast<uint8_t>(code)).empty())
      missing.push_back("error " + std::to_string(code));
  return missing;
}

}  // namespace yw::pack
