#include "shell/main_loop.h"

#include <cmath>
#include <iostream>
#include <utility>

#include "audio/sound.h"
#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_menu.h"
#include "menus/list_state.h"
#include "platform/encoding.h"
#include "render/compose.h"
#include "render/dialogs.h"
#include "render/pictures.h"
#include "render/surfaces.h"
#include "render/view_state.h"
#include "script/language.h"
#include "script/script_engine.h"
#include "shell/author_tools.h"
#include "shell/config.h"
#include "shell/startup.h"
#include "shell/title.h"
#include "sim/game_files.h"
#include "sim/save_folder.h"
#include "sim/sim_states.h"
#include "sim/turn.h"
#include "world/paths.h"
#include "world/rounding.h"

namespace yw {

namespace {

void StartState(Engine& e) {
  WindowState& w = e.win;
  const bool play = std::exchange(e.PlayAtStart, false);
  // A folder tried with --play stays current even without autoexec.skr:
  // the new-game flow then says what is missing.
  if (!play && !FileExists(e.CurrentDir, "autoexec.skr")) e.CurrentDir = e.ProgramDir;
  w.SingleGameMode = FileExists(e.CurrentDir, "autoexec.skr");
  ChooseSaveFolder(e);
  w.KeyEnabled = true;
  FindGames(e);
  LoadIni(e);
  PlayAmbient(e, "Title");
  e.platform.SetWindowState(w.ScreenBoarder, w.ScreenWidth, w.ScreenHeight);
  FormResize(e);
  e.DoEvents();
  LoadPix(e, 2);
  // Without these pictures nothing could be read on screen: say which one
  // is missing and end rather than show a blank window.
  if (const std::string problem = InterfacePictureProblem(e); !problem.empty()) {
    e.platform.MessageBox("ERROR", problem);
    std::cerr << "yarrowind: " << PrintableText(problem) << "\n";
    e.ExitCode = 1;
    Shutdown(e);
    return;
  }
  w.KeyEnabled = true;
  if (play) {
    StartNewGame(e);
    return;
  }
  w.Switsch = w.SingleGameMode ? switsch::kTitlePicture : switsch::kFirstCredit;
  w.GameMode = Mode::Title;
}

void QuitState(Engine& e) {
  PlayAmbient(e, "");
  Mute(e);
  Shutdown(e);
}

void TitleListState(Engine& e) {
  if (e.win.Key == 0) return;
  CopyView(e.pics.Frontbuf, 0, e.pics.Frontbuf.Height(), e.pics.Backbuf, 0, 0);
  MenuKey(e, e.lists.CurrentList, e.win.Key);
  e.Show();
}

void CopyWhole(Surface& dst, const Surface& src) {
  BitBlt(dst, 0, 0, src.Width(), src.Height(), src, 0, 0, Rop::SrcCopy);
}

void ReleaseExtrabuf(Engine& e) {
  e.pics.Extrabuf.Resize(1, 1);
  e.pics.Extrabuf.Clear();
}

// A script's question stays on screen while the player answers it: when the
// script goes straight on to its choice list, the last page is left standing
// for the list to open over. Choosing redraws the map.
bool QuestionClosing(Engine& e) {
  return e.win.PendingMsg.empty() && e.win.MsgReturnMode == Mode::Script && ChoiceFollows(e);
}

void MessageState(Engine& e) {
  WindowState& w = e.win;
  if (w.Key != VirtualKeyCode(GameKey::Enter)) return;
  const bool question = QuestionClosing(e);
  if (!question) CopyWhole(e.pics.Frontbuf, e.pics.Extrabuf);
  if (w.PendingMsg.empty()) {
    // The choice list decides whether the question stays visible under it,
    // and lets go of the screen under the message then.
    if (question)
      w.QuestionStanding = true;
    else
      ReleaseExtrabuf(e);
    w.GameMode = w.MsgReturnMode;
    e.Show();
    w.Wait4Relase = true;
  } else {
    const std::string rest = w.PendingMsg;
    DrawMsg(e, rest, w.MsgReturnMode);
  }
}

void MenuState(Engine& e) {
  if (e.win.Key != 0) MenuKey(e, e.lists.CurrentList, e.win.Key);
  if (e.win.GameMode == Mode::Menu) FightListTurn(e);
}

void ScriptState(Engine& e) {
  const Millis t = e.Now();
  ResetFrameReference(e, t);
  World& wd = e.world;
  if (wd.ScriptDepth < 1) {
    // Nothing to run: go back to the map rather than spin here.
    e.win.GameMode = Mode::Map;
    return;
  }
  if (wd.ScriptStack[wd.ScriptDepth].Finished()) {
    e.win.GameMode = wd.ScriptStack[wd.ScriptDepth].returnMode;
    --wd.ScriptDepth;
    wd.ScriptStack.Resize(wd.ScriptDepth);  // one empty level when 0
    if (wd.ScriptDepth == 0) wd.ScriptStack.Reset();
    if (e.view.StepOffsetX != 0 || e.view.StepOffsetY != 0) {
      e.win.WalkDeadline = t + e.win.TimeWalkTime;
      e.win.KeyEnabled = false;
    }
    return;
  }
  const uint8_t code = Interpret(e);
  const std::string message = ScriptErrorMessage(code);
  if (wd.MapChanged) ApplyMapChange(e);
  if (!message.empty()) {
    TellScriptError(e, message);
    ShowScriptError(e, message);
  }
}

void SaveListState(Engine& e) {
  WindowState& w = e.win;
  if (e.lists.CurrentList == list::kSaveSlots && w.Switsch == switsch::kDescriptionCancelled) {
    BufFlip(e);
    Drawlist(e, list::kSaveSlots, true);
    w.Switsch = switsch::kSlotsOpened;
    return;
  }
  if (e.lists.CurrentList == list::kSaveSlots && w.Switsch == switsch::kDescriptionConfirmed) {
    std::string name(TrimBlanks(w.KInputBox));
    if (name.empty()) name = "No name";
    ShowNotice(e, "Saving...");
    const bool saved = SaveState(e, SlotFileName(e.lists.ListCursor), name);
    w.KInputBox.clear();
    BufFlip(e);
    Drawlist(e, list::kMainMenu, true);
    w.GameMode = Mode::Menu;
    w.Switsch = switsch::kSlotsOpened;
    // The old slot is still there; the player learns that this save is not.
    if (!saved) DrawMsg(e, "Error: The game could not be saved!", w.GameMode);
    return;
  }
  if (w.Key != 0) {
    MenuKey(e, e.lists.CurrentList, w.Key);
    e.Show();
  }
}

void EndInput(Engine& e, int32_t key, int16_t switsch) {
  WindowState& w = e.win;
  CopyWhole(e.pics.Frontbuf, e.pics.Extrabuf);
  ReleaseExtrabuf(e);
  w.GameMode = w.InputReturnMode;
  e.Show();
  w.Key = w.LastKey = key;
  w.Wait4Relase = true;
  w.Switsch = switsch;
}

// A character the input takes: not a control code (Enter, Tab, Delete, the
// code page's undefined bytes), which would end up in names and saves.
bool IsPrintable(int16_t code) {
  if (code < 32 || code == 127 || code > 255) return false;
  return code != 0x81 && code != 0x8D && code != 0x8F && code != 0x90 && code != 0x9D;
}

void TextInputState(Engine& e) {
  WindowState& w = e.win;
  if (e.platform.KeyDown(GameKey::Esc) && !w.Wait4Relase) {
    w.KInputBox.clear();
    EndInput(e, 27, switsch::kDescriptionCancelled);
    return;
  }
  if (e.platform.KeyDown(GameKey::Enter) && !w.Wait4Relase) {
    if (!w.KInputBox.empty()) w.KInputBox.pop_back();
    EndInput(e, 13, switsch::kDescriptionConfirmed);
    return;
  }
  // Wait4Relase is cleared only once Enter and Esc are both up. The Enter
  // that closed a message just before this input is usually still held on
  // the input's first turns; clearing the flag while it is down would let
  // that same key press accept the box with its default text unseen.
  if (w.Wait4Relase && !e.platform.KeyDown(GameKey::Enter) && !e.platform.KeyDown(GameKey::Esc))
    w.Wait4Relase = false;
  if (w.Key2 != 0) {
    CopyWhole(e.pics.Frontbuf, e.pics.Extrabuf);
    if (!w.KInputBox.empty()) w.KInputBox.pop_back();
    if (w.Key2 == 8) {
      if (!w.KInputBox.empty()) w.KInputBox.pop_back();
    } else if (IsPrintable(w.Key2)) {
      w.KInputBox.push_back(static_cast<char>(w.Key2));
    }
    const std::string caption = w.InputCaption, text = w.KInputBox;
    ShowKInputBox(e, caption, text);
    w.Key2 = 0;
  }
}

}  // namespace

void LoopTurn(Engine& e) {
  e.DoEvents();
  if (e.QuitRequested) return;
  AuthorToolsTurn(e);
  const Mode mode = e.win.GameMode;
  if (mode == Mode::Map)
    PollKeys(e, false);
  else if (mode != Mode::TextInput)
    PollKeys(e, true);

  switch (mode) {
    case Mode::Start:
      StartState(e);
      break;
    case Mode::Quit:
      QuitState(e);
      break;
    case Mode::Title:
      TitleStep(e);
      break;
    case Mode::GameSelection:
    case Mode::SingleGameMenu:
      TitleListState(e);
      break;
    case Mode::Message:
      MessageState(e);
      break;
    case Mode::Map:
      MapFrame(e);
      break;
    case Mode::Menu:
      MenuState(e);
      break;
    case Mode::Script:
      ScriptState(e);
      break;
    case Mode::CutScene:
      CutSceneFrame(e);
      break;
    case Mode::SaveList:
      SaveListState(e);
      break;
    case Mode::TextInput:
      TextInputState(e);
      break;
    case Mode::FightRound:
      FightRoundFrame(e);
      break;
    case Mode::TargetChoice:
      TargetChoiceFrame(e);
      break;
    case Mode::Effect:
      EffectFrame(e);
      break;
    default:
      break;  // no handler; the housekeeping still runs
  }
  SoundHousekeeping(e);
}

void EventLoop(Engine& e) {
  while (!e.QuitRequested) LoopTurn(e);
}

}  // namespace yw
