// The interpreter: runs the top level of the script stack line by line
// until the script ends, fails or hands control back to the main loop.
#include "script/interpreter.h"

#include <array>

#include "core/engine.h"
#include "script/language.h"
#include "script/line_reader.h"
#include "script/script_engine.h"
#include "world/paths.h"

namespace yw {

namespace {

constexpr uint8_t Code(ScriptCode c) { return static_cast<uint8_t>(c); }

// Skip mode: only the block words count; everything else, END included,
// is passed over.
void SkipLine(std::string_view word, SkipState& skip) {
  const CommandEntry* entry = FindCommandEntry(word);
  const Flow flow = entry ? entry->flow : Flow::Plain;
  if (flow == Flow::If) {
    if (skip.depth < INT16_MAX) ++skip.depth;
  } else if (flow == Flow::EndIf) {
    if (skip.depth > 0) --skip.depth;
    else skip.skipping = false;
  } else if (flow == Flow::Else) {
    if (skip.depth <= 0) skip.skipping = false;
  }
}

ScriptLevel* TopLevel(World& w) {
  return w.ScriptDepth >= 1 ? w.ScriptStack.Find(w.ScriptDepth) : nullptr;
}

// Takes the next significant line from the level, or an empty view when
// the text is used up. The view points into the level's shared text.
std::string_view TakeLine(ScriptLevel& level) {
  size_t consumed = 0;
  const std::string_view line = NextLine(level.Remaining(), consumed);
  if (line.empty() || consumed == 0) return {};
  level.Consume(consumed);
  return line;
}

}  // namespace

uint8_t Interpret(Engine& e) {
  World& w = e.world;
  ScriptLevel* level = TopLevel(w);
  if (!level) return Code(ScriptCode::NoBegin);

  w.ErrorLine.clear();
  if (!level->beginFound) {
    size_t consumed = 0;
    if (NextLine(level->Remaining(), consumed) != "BEGIN") return Code(ScriptCode::NoBegin);
    level->Consume(consumed);
    level->beginFound = true;
  }

  SkipState skip;
  for (;;) {
    level = TopLevel(w);
    if (!level) return Code(ScriptCode::NoEnd);
    const std::string_view line = TakeLine(*level);
    if (line.empty()) return Code(ScriptCode::NoEnd);
    w.ErrorLine.assign(line);
    const ParsedLine parsed = SplitLine(line);
    if (skip.skipping) {
      SkipLine(parsed.word, skip);
      continue;
    }
    const CommandHandler handler = FindCommand(parsed.word);
    if (!handler) return Code(ScriptCode::UnknownCommand);
    CommandContext context{e, parsed.word, parsed.params, skip};
    const CommandResult result = handler(context);
    switch (result.flow()) {
      case CommandResult::Flow::NextLine: break;
      case CommandResult::Flow::HandBack: return Code(ScriptCode::Ok);
      case CommandResult::Flow::Fail: return Code(result.code());
    }
  }
}

}  // namespace yw
