// Helpers of the interpreter and command tests: a headless engine with a
// script pushed on the stack, run one interpreter call at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "script/script_engine.h"
#include "test_support.h"

namespace yw::test {

// Joins lines with CR LF, as script files end them.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

class ScriptFixture : public ::testing::Test {
 protected:
  Engine& e() { return te.engine; }
  World& w() { return te.engine.world; }

  // Pushes a script as the only level of the stack, started from the map.
  void Push(std::string text) {
    w().ScriptDepth = 1;
    w().ScriptStack.Resize(1);
    ScriptLevel& level = w().ScriptStack[1];
    level = ScriptLevel{};
    level.text = std::make_shared<const std::string>(std::move(text));
    level.returnMode = Mode::Map;
    e().win.GameMode = Mode::Script;
  }
  // One interpreter call on a new script.
  uint8_t Run(std::string text) {
    Push(std::move(text));
    return Interpret(e());
  }
  // A script made of BEGIN, the given lines and END.
  uint8_t RunBody(std::initializer_list<std::string_view> body) {
    return Run("BEGIN\r\n" + Lines(body) + "END\r\n");
  }
  // Resumes the script after a hand-back, as the main loop would.
  uint8_t Resume() {
    e().win.GameMode = Mode::Script;
    return Interpret(e());
  }
  const ScriptVariable& Var(char name) { return w().Variables[static_cast<size_t>(name - 'A')]; }
  bool Finished() { return w().ScriptStack[w().ScriptDepth].Finished(); }

  // A map of the given size with every cell passable.
  void MakeMap(int width, int height) {
    w().MapWidth = static_cast<int16_t>(width);
    w().MapHeight = static_cast<int16_t>(height);
    w().MapTiles.Reset(width, height);
    w().MapEvents.Reset(width, height);
  }
  void AddCharacters(std::initializer_list<std::string_view> names) {
    for (std::string_view name : names) {
      ++w().CharacterCount;
      w().Characters.Resize(w().CharacterCount);
      Character& c = w().Characters[w().CharacterCount];
      c.NAME = std::string(name);
      c.MAXHP = c.HP = static_cast<int16_t>(10 * w().CharacterCount);
    }
  }

  TestEngine te;
};

}  // namespace yw::test
