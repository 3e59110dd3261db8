// The message box, the text input box, framed notices and the script error
// screen, driven through the main loop as the player would.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "render/dialogs.h"
#include "render/text.h"
#include "list_screen.h"
#include "shell/engine.h"
#include "sim/main_loop.h"
#include "sim/sim_states.h"
#include "test_support.h"

namespace yw {
namespace {

constexpr uint32_t kMap = Rgb(0x10, 0x60, 0x10);  // what lies under the windows

// A 320 x 240 screen with an 8 x 8 font and a frame of 8-pixel pieces.
struct Screen {
  test::TestEngine t;
  Engine& e = t.engine;
  Screen() {
    test::UseSmallScreen(e);
    e.pics.Frontbuf.Fill(kMap);
  }
  // A key pressed for one turn of the main loop and released on the next,
  // after an idle turn (a player never presses within the turn that drew).
  void Press(GameKey key) {
    LoopTurn(e);
    t.platform.SetKey(key, true);
    LoopTurn(e);
    t.platform.SetKey(key, false);
    LoopTurn(e);
  }
  void Type(std::string_view text) {
    for (char c : text) {
      t.platform.Type(static_cast<uint8_t>(c));
      LoopTurn(e);
    }
  }
  std::string Cells(int x, int y, int count) const {
    return test::ReadCells(e.pics.Frontbuf, x, y, 8, count);
  }
  bool ScreenIs(uint32_t colour) const {
    for (uint32_t p : e.pics.Frontbuf.Pixels())
      if (p != colour) return false;
    return true;
  }
};

// Message text area: x 26, first line at y 126, 33 cells a line, 10 lines.
constexpr int kTextX = 26, kTextY = 126;
constexpr int kMarkerX = 286, kMarkerY = 214;

std::string NumberedLines(int from, int to) {
  std::string s;
  for (int i = from; i <= to; ++i) {
    if (!s.empty()) s += "\r\n";
    s += "LINE" + std::to_string(i);
  }
  return s;
}

TEST(MessageBox, OnePageClosesOnEnterAndRestoresTheScreen) {
  Screen s;
  s.e.win.GameMode = 7;
  DrawMsg(s.e, "HELLO THERE", 7);
  EXPECT_EQ(s.e.win.GameMode, 5);
  EXPECT_EQ(s.e.win.MsgReturnMode, 7);
  EXPECT_EQ(s.e.win.Message, "HELLO THERE");
  EXPECT_TRUE(s.e.win.PendingMsg.empty());
  EXPECT_EQ(s.Cells(kTextX, kTextY, 12), "HELLO THERE?");
  EXPECT_EQ(test::CodeAt(s.e.pics.Frontbuf, kMarkerX, kMarkerY), -1);  // no marker
  // The frame stands at (10, 120), 300 x 110.
  EXPECT_EQ(test::PieceOf(s.e.pics.Frontbuf.At(10, 120)), 1);
  EXPECT_EQ(test::PieceOf(s.e.pics.Frontbuf.At(309, 229)), 9);
  EXPECT_EQ(s.e.pics.Frontbuf.At(9, 120), kMap);
  EXPECT_EQ(s.e.pics.Frontbuf.At(10, 119), kMap);

  s.Press(GameKey::Enter);
  EXPECT_EQ(s.e.win.GameMode, 7);
  EXPECT_TRUE(s.ScreenIs(kMap));
  EXPECT_TRUE(s.e.win.Wait4Relase);
  EXPECT_LE(s.e.pics.Extrabuf.Width(), 1);

  // An empty message shows an empty window and closes on Enter.
  DrawMsg(s.e, "", 7);
  EXPECT_EQ(s.e.win.GameMode, 5);
  EXPECT_EQ(test::PieceOf(s.e.pics.Frontbuf.At(100, 150)), 5);
  s.Press(GameKey::Enter);
  EXPECT_EQ(s.e.win.GameMode, 7);
}

TEST(MessageBox, LongMessagePagesThroughEnterWithMarker) {
  Screen s;
  s.e.win.GameMode = 6;
  const std::string text = NumberedLines(1, 12);
  DrawMsg(s.e, text, 6);
  EXPECT_EQ(s.Cells(kTextX, kTextY, 6), "LINE1?");
  EXPECT_EQ(s.Cells(kTextX, kTextY + 9 * 8, 6), "LINE10");
  EXPECT_EQ(s.e.win.PendingMsg, NumberedLines(11, 12));
  EXPECT_EQ(test::CodeAt(s.e.pics.Frontbuf, kMarkerX, kMarkerY), 128);

  s.Press(GameKey::Enter);
  EXPECT_EQ(s.e.win.GameMode, 5);
  EXPECT_EQ(s.Cells(kTextX, kTextY, 6), "LINE11");
  EXPECT_EQ(s.Cells(kTextX, kTextY + 8, 6), "LINE12");
  EXPECT_EQ(s.Cells(kTextX, kTextY + 16, 6), "??????");  // page 1 is gone
  EXPECT_EQ(test::CodeAt(s.e.pics.Frontbuf, kMarkerX, kMarkerY), -1);
  EXPECT_EQ(s.e.win.Message, text);  // still the whole message

  s.Press(GameKey::Enter);
  EXPECT_EQ(s.e.win.GameMode, 6);
  EXPECT_TRUE(s.ScreenIs(kMap));
  // Other keys do not page.
  DrawMsg(s.e, text, 6);
  s.Press(GameKey::Space);
  EXPECT_EQ(s.e.win.PendingMsg, NumberedLines(11, 12));
}

TEST(MessageBox, BreakEndingAFullPageStartsTheNextPageAfterIt) {
  Screen s;
  DrawMsg(s.e, NumberedLines(1, 10) + "\r\nNEXT", 6);
  EXPECT_EQ(s.e.win.PendingMsg, "NEXT");
  // A long line wraps inside the area: 33 cells a line.
  DrawMsg(s.e, std::string(40, 'X'), 6);
  EXPECT_EQ(s.Cells(kTextX, kTextY, 34), std::string(33, 'X') + "?");
  EXPECT_EQ(s.Cells(kTextX, kTextY + 8, 8), std::string(7, 'X') + "?");
  // A fresh message replaces the kept text.
  EXPECT_EQ(s.e.win.Message, std::string(40, 'X'));
}

// Input frame: y = 120 - (24 + 16) = 80; caption at (26, 88), line at (26, 104).
constexpr int kCaptionY = 88, kLineY = 104;

TEST(InputBox, CaptionShortenedAndTextLimited) {
  Screen s;
  s.e.win.GameMode = 7;
  const std::string caption = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD";  // 40
  ShowKInputBox(s.e, caption, std::string(50, 'D'));
  EXPECT_EQ(s.e.win.GameMode, 11);
  EXPECT_EQ(s.e.win.InputReturnMode, 7);
  EXPECT_EQ(s.e.win.InputCaption, caption.substr(0, 30) + "...");
  EXPECT_EQ(s.Cells(kTextX, kCaptionY, 34), caption.substr(0, 30) + "...?");
  // 33 cells fit on the line: at most 32 characters and the caret, for
  // the starting text as for typed text.
  EXPECT_EQ(s.e.win.KInputBox, std::string(32, 'D') + "_");
  s.Type(std::string(32, '\b') + std::string(40, 'Q'));
  EXPECT_EQ(s.e.win.KInputBox, std::string(32, 'Q') + "_");
  EXPECT_EQ(s.Cells(kTextX, kLineY, 34), std::string(32, 'Q') + "_?");
  EXPECT_EQ(s.Cells(kTextX, kCaptionY, 3), "ABC");  // caption kept on redraw

  s.Press(GameKey::Enter);
  EXPECT_EQ(s.e.win.GameMode, 7);
  EXPECT_EQ(s.e.win.Switsch, 2);
  EXPECT_EQ(s.e.win.KInputBox, std::string(32, 'Q'));
  EXPECT_TRUE(s.ScreenIs(kMap));
}

TEST(InputBox, BackspaceEnterAndLineFeedEditingAndEscCancels) {
  Screen s;
  s.e.win.GameMode = 7;
  ShowKInputBox(s.e, "Name:", "AB");
  EXPECT_EQ(s.e.win.KInputBox, "AB_");
  EXPECT_EQ(s.Cells(kTextX, kLineY, 4), "AB_?");
  s.Type("\b\b\b\b");  // more backspaces than characters
  EXPECT_EQ(s.e.win.KInputBox, "_");
  s.Type("\r\nX\r");
  EXPECT_EQ(s.e.win.KInputBox, "X_");
  // The line is redrawn over the saved screen: the removed letters are gone.
  EXPECT_EQ(s.Cells(kTextX, kLineY, 3), "X_?");
  EXPECT_EQ(s.Cells(kTextX, kCaptionY, 6), "Name:?");

  s.Press(GameKey::Esc);
  EXPECT_EQ(s.e.win.GameMode, 7);
  EXPECT_EQ(s.e.win.Switsch, 1);
  EXPECT_EQ(s.e.win.KInputBox, "");
}

TEST(InputBox, AKeyStillHeldFromBeforeTheBoxNeitherAcceptsNorCancels) {
  // The Enter that closes a message is usually still down when the script
  // opens an input box right after it. Only a fresh press may end the input.
  for (GameKey held : {GameKey::Enter, GameKey::Esc}) {
    Screen s;
    DrawMsg(s.e, "HELLO", 7);
    s.t.platform.SetKey(GameKey::Enter, true);
    LoopTurn(s.e);  // closes the message
    ASSERT_EQ(s.e.win.GameMode, 7);
    s.t.platform.SetKey(GameKey::Enter, held == GameKey::Enter);
    s.t.platform.SetKey(held, true);
    ShowKInputBox(s.e, "Name:", "Wren");  // what the script's next line does
    for (int turn = 0; turn < 5; ++turn) LoopTurn(s.e);
    s.Type("A");
    EXPECT_EQ(s.e.win.GameMode, 11);
    EXPECT_EQ(s.e.win.KInputBox, "WrenA_");
    s.t.platform.SetKey(held, false);
    LoopTurn(s.e);
    EXPECT_EQ(s.e.win.GameMode, 11);
    s.Press(held);
    EXPECT_EQ(s.e.win.GameMode, 7);
    EXPECT_EQ(s.e.win.KInputBox, held == GameKey::Enter ? "WrenA" : "");
  }
}

TEST(Notice, OneLineCentredInAFrame) {
  Screen s;
  ShowNotice(s.e, "Saving...");
  // 9 cells centred: x = (320 - 72) / 2, y = (240 - 8) / 2.
  EXPECT_EQ(s.Cells(124, 116, 9), "Saving...");
  // The frame leaves a corner and a font cell around the text.
  EXPECT_EQ(test::PieceOf(s.e.pics.Frontbuf.At(108, 100)), 1);
  EXPECT_EQ(test::PieceOf(s.e.pics.Frontbuf.At(211, 139)), 9);
  EXPECT_EQ(s.e.pics.Frontbuf.At(107, 100), kMap);
  EXPECT_EQ(s.e.pics.Frontbuf.At(212, 139), kMap);
}

// --- Script error screen ---------------------------------------------------

void StartRunningGame(Engine& e) {
  World& w = e.world;
  for (int level = 1; level <= 2; ++level) {
    w.ScriptStack.Resize(level);
    w.ScriptStack[level].text = std::make_shared<const std::string>("BEGIN\r\nMSG Hi\r\nEND");
    w.ScriptStack[level].returnMode = 6;
  }
  w.ScriptDepth = 2;
  w.Npcs.Resize(3);
  w.NpcCount = 3;
  w.PartyCount = 1;
  w.EnemyCount = 2;
  w.Voodoos.Resize(2);
  w.VoodooCount = 2;
  w.Popups.Resize(1);
  w.PopupCount = 1;
  e.win.GameMode = 8;
  e.win.KeyEnabled = false;
}

TEST(ScriptError, ShowsTheLineEmptiesTheGameAndReturnsToTheTitleList) {
  Screen s;
  StartRunningGame(s.e);
  s.e.win.SingleGameMode = true;  // a running game's folder is the current one
  s.e.world.ErrorLine = "FROBNICATE 1,2";
  ShowScriptError(s.e, "Script Error: Unknown command!");
  EXPECT_EQ(s.e.win.Message,
            "Script Error: Unknown command!\r\nThe error occured in the following line:\r\n"
            "FROBNICATE 1,2");
  EXPECT_EQ(s.e.win.GameMode, 5);
  EXPECT_EQ(s.e.win.MsgReturnMode, 2);
  EXPECT_EQ(s.e.win.Switsch, 6);
  EXPECT_TRUE(s.e.win.KeyEnabled);
  EXPECT_EQ(s.e.world.ScriptDepth, 0);
  EXPECT_TRUE(s.e.world.ScriptStack[1].Finished());
  EXPECT_EQ(s.e.world.NpcCount, 0);
  EXPECT_EQ(s.e.world.Npcs.Size(), 1);
  EXPECT_EQ(s.e.world.PartyCount, 0);
  EXPECT_EQ(s.e.world.EnemyCount, 0);
  EXPECT_EQ(s.e.world.VoodooCount, 0);
  EXPECT_EQ(s.e.world.PopupCount, 0);
  EXPECT_EQ(s.Cells(kTextX, kTextY, 31), "Script Error: Unknown command!?");
  // The second line wraps: 40 characters in a 33-cell area.
  EXPECT_EQ(s.Cells(kTextX, kTextY + 8, 26), "The error occured in the ?");
  EXPECT_EQ(s.Cells(kTextX, kTextY + 16, 16), "following line:?");
  EXPECT_EQ(s.Cells(kTextX, kTextY + 24, 15), "FROBNICATE 1,2?");
  // The map is gone from under the message.
  EXPECT_EQ(s.e.pics.Frontbuf.At(0, 0), 0u);

  s.t.platform.SetKey(GameKey::Enter, true);
  LoopTurn(s.e);  // closes the message: title state, sub-step 6
  EXPECT_EQ(s.e.win.GameMode, 2);
  EXPECT_EQ(s.e.win.Switsch, 6);
  s.t.platform.SetKey(GameKey::Enter, false);
  LoopTurn(s.e);  // draws the game's title menu straight away
  EXPECT_EQ(s.e.win.GameMode, 4);
  EXPECT_EQ(s.e.lists.CurrentList, 2);
  // The dropped scripts never resume.
  EXPECT_EQ(s.e.world.ScriptDepth, 0);

  // An error with no current line shows the message alone.
  StartRunningGame(s.e);
  s.e.world.ErrorLine.clear();
  ShowScriptError(s.e, "Script Error: Unknown Error!");
  EXPECT_EQ(s.e.win.Message, "Script Error: Unknown Error!");
  EXPECT_EQ(s.Cells(kTextX, kTextY + 8, 4), "????");
}

}  // namespace
}  // namespace yw
