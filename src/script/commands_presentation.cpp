// Commands that show things to the player or wait for time: MSG, SHOWMOVIE,
// SAVING, RUNSCRIPT, ADDVOODOO, GAMEOVER, INPUTTEXT, ADDLISTITEM, SHOWLIST,
// PLAYAMBIENT, PLAYSOUND and SFX.
#include <limits>

#include "audio/sound.h"
#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_menu.h"
#include "render/compose.h"
#include "render/dialogs.h"
#include "render/surfaces.h"
#include "render/view_state.h"
#include "script/commands.h"
#include "script/line_reader.h"
#include "script/script_engine.h"
#include "sim/actors.h"
#include "sim/effects.h"

namespace yw {

namespace {

constexpr int32_t kUserList = 20;

bool ParseEffect(std::string_view text, ScreenEffect& effect) {
  const std::string word = ParamKeyword(text);
  if (word == "ZOOMIN")
    effect = ScreenEffect::ZoomIn;
  else if (word == "ZOOMOUT")
    effect = ScreenEffect::ZoomOut;
  else if (word == "HWHIPE")
    effect = ScreenEffect::HorizontalWipe;
  else if (word == "VWHIPE")
    effect = ScreenEffect::VerticalWipe;
  else
    return false;
  return true;
}

}  // namespace

bool ChoiceFollows(const Engine& e) {
  const World& w = e.world;
  const ScriptLevel* level = w.ScriptDepth >= 1 ? w.ScriptStack.Find(w.ScriptDepth) : nullptr;
  if (level == nullptr) return false;
  std::string_view rest = level->Remaining();
  bool entries = w.UserListCount > 0;
  for (;;) {
    size_t consumed = 0;
    const std::string_view line = NextLine(rest, consumed);
    if (line.empty() || consumed == 0) return false;
    const ParsedLine parsed = SplitLine(line);
    if (parsed.word == "SHOWLIST") return entries;
    if (parsed.word != "ADDLISTITEM" || parsed.params.size() < 2) return false;
    entries = true;
    rest.remove_prefix(consumed);
  }
}

CommandResult MsgCommand(CommandContext& c) {
  if (c.params.empty()) return ScriptCode::NotEnoughParameters;
  const std::string text = ParamText(c.e, c.params[0]);
  ShowMapChange(c.e);
  DrawMsg(c.e, text, Mode::Script);
  return CommandResult::HandBack();
}

CommandResult ShowMovieCommand(CommandContext& c) {
  const int16_t ms = c.params.empty() ? int16_t{0} : ParamInteger(c.e, c.params[0]);
  ShowMovie(c.e, ms);
  return CommandResult::HandBack();
}

CommandResult SavingCommand(CommandContext& c) {
  if (c.params.empty()) return ScriptCode::NotEnoughParameters;
  const std::string word = ParamKeyword(c.params[0]);
  if (word == "ON")
    c.e.win.SavingActive = true;
  else if (word == "OFF")
    c.e.win.SavingActive = false;
  else
    return ScriptCode::UnknownParameters;
  return kNextLine;
}

CommandResult RunScriptCommand(CommandContext& c) {
  RunScript(c.e, ParamText(c.e, Param(c.params, 1)));
  return CommandResult::HandBack();
}

CommandResult AddVoodooCommand(CommandContext& c) {
  if (c.params.size() != 6) return ScriptCode::NotEnoughParameters;
  const int16_t doodad = ParamInteger(c.e, c.params[0]);
  const int16_t x1 = ParamInteger(c.e, c.params[1]);
  const int16_t y1 = ParamInteger(c.e, c.params[2]);
  const int16_t x2 = ParamInteger(c.e, c.params[3]);
  const int16_t y2 = ParamInteger(c.e, c.params[4]);
  const int32_t ms = ParamLong(c.e, c.params[5]);
  AddVoodoo(c.e, doodad, x1, y1, x2, y2, ms);
  return kNextLine;
}

CommandResult GameOverCommand(CommandContext& c) {
  InitWorld(c.e.world);
  c.e.win.GameMode = Mode::Title;
  c.e.win.Switsch = switsch::kTitlePicture;
  return CommandResult::HandBack();
}

CommandResult InputTextCommand(CommandContext& c) {
  const std::string caption = ParamText(c.e, Param(c.params, 1));
  const std::string defaultText = ParamText(c.e, Param(c.params, 2));
  ShowMapChange(c.e);
  ShowKInputBox(c.e, caption, defaultText);
  return CommandResult::HandBack();
}

CommandResult AddListItemCommand(CommandContext& c) {
  if (c.params.size() < 2) return ScriptCode::NotEnoughParameters;
  World& w = c.e.world;
  UserListItem item;
  item.text = ParamText(c.e, c.params[0]);
  item.value = ParamInteger(c.e, c.params[1]);
  item.doodad = c.params.size() >= 3 ? ParamInteger(c.e, c.params[2]) : int16_t{0};
  if (w.UserListCount < std::numeric_limits<int16_t>::max()) {
    ++w.UserListCount;
    w.UserList.Resize(w.UserListCount);
    w.UserList[w.UserListCount] = std::move(item);
  }
  return kNextLine;
}

CommandResult ShowListCommand(CommandContext& c) {
  if (c.params.empty()) {
    c.e.world.UserListActive = true;
  } else if (ParamKeyword(c.params[0]) == "NOESC") {
    c.e.world.UserListActive = false;
  } else {
    return ScriptCode::UnknownParameters;
  }
  ShowMapChange(c.e);
  Drawlist(c.e, kUserList, true);
  return CommandResult::HandBack();
}

CommandResult PlayAmbientCommand(CommandContext& c) {
  if (c.params.size() != 1) return ScriptCode::NotEnoughParameters;
  PlayAmbient(c.e, ParamText(c.e, c.params[0]));
  return kNextLine;
}

CommandResult PlaySoundCommand(CommandContext& c) {
  if (c.params.size() != 1) return ScriptCode::NotEnoughParameters;
  PlaySound(c.e, ParamText(c.e, c.params[0]));
  return kNextLine;
}

CommandResult SfxCommand(CommandContext& c) {
  if (c.params.size() < 2) return ScriptCode::NotEnoughParameters;
  ScreenEffect effect{};
  if (!ParseEffect(c.params[0], effect)) return ScriptCode::UnknownParameters;
  bool reverse = false;
  if (c.params.size() >= 3) {
    const std::string direction = ParamKeyword(c.params[2]);
    if (direction == "OUT")
      reverse = true;
    else if (direction != "IN")
      return ScriptCode::UnknownParameters;
  }
  const int32_t ms = ParamLong(c.e, c.params[1]);
  WindowState& win = c.e.win;
  win.SFX = static_cast<int32_t>(effect);
  win.SFXReverse = reverse;
  // The effect animates a still copy of the screen as it is now. One played
  // forwards ends on black: the scene is covered until the map is drawn
  // again, and what the script loads meanwhile stays unseen.
  ShowMapChange(c.e);
  Surfaces& pics = c.e.pics;
  pics.Extrabuf.Resize(win.ScreenWidth, win.ScreenHeight);
  BitBlt(pics.Extrabuf, 0, 0, win.ScreenWidth, win.ScreenHeight, pics.Frontbuf, 0, 0, Rop::SrcCopy);
  if (!reverse) c.e.view.ScreenCovered = true;
  win.SFXStartTime = c.e.Now();
  win.SFXEndTime = win.SFXStartTime + ms;
  win.GameMode = Mode::Effect;
  return CommandResult::HandBack();
}

}  // namespace yw
