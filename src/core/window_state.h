// The variables of the main window: the main loop's state, the keyboard,
// the configuration values and the dialogs' bookkeeping.
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "world/game_mode.h"

namespace yw {

// Window frame settings, in the order the frame routine receives them.
struct FrameSettings {
  int16_t CornerWidth = 0, CornerHeight = 0;
  int16_t HorizontalWidth = 0, VerticalHeight = 0;
  bool StretchSides = true, StretchInside = true;
  bool TransparentCorners = true, TransparentSides = false, TransparentInside = false;
};

// What Switsch holds, by the state that reads it.
namespace switsch {
// The title sequence (Mode::Title): the step it is at.
inline constexpr int16_t kFirstCredit = 0;
inline constexpr int16_t kFirstCreditShown = 1;  // a key skips to the picture
inline constexpr int16_t kSecondCredit = 2;
inline constexpr int16_t kSecondCreditShown = 3;
inline constexpr int16_t kTitlePicture = 4;
inline constexpr int16_t kTitlePictureShown = 5;  // waits for a key
inline constexpr int16_t kTitleLists = 6;         // opens the games or the title menu
// The slot lists (Mode::SaveList): where they were opened ...
inline constexpr int16_t kSlotsOpened = 0;        // save slots, or load slots over the title
inline constexpr int16_t kLoadSlotsFromMenu = 1;  // Escape goes back to the main menu
// ... and, on the save slots, how the slot's description was ended.
inline constexpr int16_t kDescriptionCancelled = 1;
inline constexpr int16_t kDescriptionConfirmed = 2;
}  // namespace switsch

struct WindowState {
  Mode GameMode = Mode::Start;
  Millis OldT = 0;
  // A state's own step or setting; what it means is named in `switsch`.
  int16_t Switsch = 0;
  // Set by the start state: autoexec.skr beside the program (or in the
  // chosen game's folder) means one game, otherwise the games library.
  bool SingleGameMode = false;

  int16_t FontWidth = 0, FontHeight = 0;

  bool KeyEnabled = false;
  int32_t Key = 0;
  int16_t Key2 = 0;
  int32_t LastKey = 0;
  bool Wait4Relase = false;

  // Configuration.
  int16_t ScreenWidth = 320, ScreenHeight = 240;
  int16_t ScreenTileWidth = 0, ScreenTileHeight = 0;
  bool SoundOn = false;
  bool ScreenBoarder = false;
  int16_t ResWidth = 0, ResHeight = 0;
  bool DefaultFont = false;
  int32_t TimeWalkTime = 250, TimeAniTime = 1000, TimeCharTime = 50, TimeSoundTime = 20000;
  bool ShowFPS = false, ShowReserve = false;
  int16_t FPSLimit = 0;
  FrameSettings Frame;

  // Frame limiter and the main loop's clocks.
  int16_t FPS = 0;
  int32_t SmoothFPS = 0;
  Millis LastFrameTime = 0;
  int32_t DelayLoops = 0;
  Millis LastAniTick = 0, NextCharTick = 0, NextSoundSweep = 0;

  // Dialogs.
  std::string PendingMsg;
  std::string Message;  // the whole text of the last message opened
  Mode MsgReturnMode = Mode::Start;
  // A question's last page left standing for the choice list that follows;
  // Extrabuf still holds the screen under it.
  bool QuestionStanding = false;
  Mode InputReturnMode = Mode::Start;
  std::string KInputBox;
  std::string InputCaption;  // the caption as last shown, for redraws

  // The player's step between two cells: when it must be complete (0 when
  // none) and the frames drawn during it and during the step before.
  Millis WalkDeadline = 0;
  int16_t StepFrameCount = 0, PrevStepFrameCount = 0;
  // End of the running cut-scene (0 = no time limit).
  Millis MovieEndTime = 0;

  bool FightAfterMovie = false;
  bool SavingActive = false;
  bool FightMode = false;
  int16_t FightRounds = 0;
  int16_t FightDran = 0;
  bool FightDranPlayer = false;

  int32_t SFX = 0;
  Millis SFXEndTime = 0, SFXStartTime = 0;
  bool SFXReverse = false;

  // Display mode: the resolution before the program changed it, in the
  // text form "width,height".
  std::string SavedResolution;

  // Placement of Frontbuf inside the window.
  double FrontLeft = 0, FrontTop = 0;
};

}  // namespace yw
