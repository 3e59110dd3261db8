#include "render/dialogs.h"

#include <algorithm>
#include <string>

#include "core/engine.h"
#include "core/window_state.h"
#include "render/frames.h"
#include "render/surfaces.h"
#include "render/text.h"
#include "world/rounding.h"

namespace yw {

namespace {

int Half(int v) { return CInt(v / 2.0); }

// Keeps a copy of the screen in Extrabuf so the window can be taken away.
void SaveScreen(Engine& e) {
  Surface& front = e.pics.Frontbuf;
  e.pics.Extrabuf.Resize(front.Width(), front.Height());
  BitBlt(e.pics.Extrabuf, 0, 0, front.Width(), front.Height(), front, 0, 0, Rop::SrcCopy);
}

void Text(Engine& e, std::string_view text, int x, int y) {
  DrawTextLine(text, e.pics.FontPic, e.pics.Frontbuf, x, y, e.win.FontWidth, e.win.FontHeight,
               kTextTransparent);
}

// The message window fills the lower half of the screen, 10 pixels in from
// the sides and the bottom.
void DrawMessagePage(Engine& e) {
  const WindowState& w = e.win;
  const int sw = w.ScreenWidth, sh = w.ScreenHeight;
  const int cw = w.Frame.CornerWidth, ch = w.Frame.CornerHeight;
  const int fw = w.FontWidth, fh = w.FontHeight;
  DrawFrame(e.pics.FramePic, e.pics.Frontbuf, 10, Half(sh), sw - 20, Half(sh) - 10, w.Frame);

  int16_t areaW = SaturatingRound<int16_t>(sw - 20.0);
  int16_t areaH = SaturatingRound<int16_t>(Half(sh) - 10.0);
  Shorten(e, areaW, areaH);
  // The text starts 10 pixels above the frame's inner top.
  const size_t restart = DrawTextBox(e.win.PendingMsg, e.pics.FontPic, e.pics.Frontbuf,
                                     10 + cw + fw, Half(sh) - 10 + ch + fh, areaW, areaH, fw, fh,
                                     kTextTransparent);
  std::string& pending = e.win.PendingMsg;
  pending.erase(0, std::min(restart, pending.size()));
  if (!pending.empty())
    Text(e, std::string_view(&kMoreMarker, 1), sw - 10 - cw - 2 * fw, sh - 10 - ch - fh);
}

// The number of characters that fit on the input line; -1 when the font has
// no cells, which leaves caption and text uncut.
int InputLineCells(Engine& e) {
  if (e.win.FontWidth < 1) return -1;
  int16_t areaW = SaturatingRound<int16_t>(e.win.ScreenWidth - 20.0), areaH = 0;
  Shorten(e, areaW, areaH);
  const int n = areaW / e.win.FontWidth;
  return n < 0 ? 0 : n;
}

std::string FitCaption(std::string_view caption, int cells) {
  if (cells < 0 || static_cast<int>(caption.size()) <= cells) return std::string(caption);
  return std::string(caption.substr(0, static_cast<size_t>(std::max(cells - 3, 0)))) + "...";
}

}  // namespace

void DrawMsg(Engine& e, std::string_view msg, Mode returnMode) {
  WindowState& w = e.win;
  // The main loop shows the next page by passing back what is left of the
  // message on screen; anything else opens a new message.
  const bool nextPage = w.GameMode == Mode::Message && msg == w.PendingMsg;
  if (!nextPage) w.Message = std::string(msg);
  w.PendingMsg = std::string(msg);
  w.MsgReturnMode = returnMode;
  w.QuestionStanding = false;
  w.GameMode = Mode::Message;
  SaveScreen(e);
  DrawMessagePage(e);
  e.Show();
}

void ShowKInputBox(Engine& e, std::string_view caption, std::string_view defaultText) {
  WindowState& w = e.win;
  w.KInputBox = std::string(defaultText);
  if (w.GameMode != Mode::TextInput) {
    w.InputReturnMode = w.GameMode;
    w.GameMode = Mode::TextInput;
    SaveScreen(e);
  }
  const int sw = w.ScreenWidth, sh = w.ScreenHeight;
  const int cw = w.Frame.CornerWidth, ch = w.Frame.CornerHeight;
  const int fw = w.FontWidth, fh = w.FontHeight;
  const int boxH = 3 * fh + 2 * ch;
  const int boxY = Half(sh) - boxH;
  DrawFrame(e.pics.FramePic, e.pics.Frontbuf, 10, boxY, sw - 20, boxH, w.Frame);

  const int cells = InputLineCells(e);
  const std::string shown = FitCaption(caption, cells);
  // At most one cell less than the line holds, so the caret still fits.
  if (cells >= 0 && static_cast<int>(w.KInputBox.size()) > cells - 1)
    w.KInputBox.resize(static_cast<size_t>(std::max(cells - 1, 0)));
  w.KInputBox.push_back(kCaret);

  Text(e, shown, 10 + cw + fw, boxY + ch);
  Text(e, w.KInputBox, 10 + cw + fw, boxY + ch + 2 * fh);
  w.InputCaption = shown;
  e.Show();
  w.Wait4Relase = true;
}

void ShowNotice(Engine& e, std::string_view text) {
  const WindowState& w = e.win;
  Surface& front = e.pics.Frontbuf;
  const int cw = w.Frame.CornerWidth, ch = w.Frame.CornerHeight;
  const int fw = w.FontWidth, fh = w.FontHeight;
  const int textW = static_cast<int>(text.size()) * fw;
  const int textX = Half(front.Width() - textW), textY = Half(front.Height() - fh);
  // The frame leaves one corner and one font cell around the text.
  DrawFrame(e.pics.FramePic, front, textX - cw - fw, textY - ch - fh, textW + 2 * cw + 2 * fw,
            3 * fh + 2 * ch, w.Frame);
  Text(e, text, textX, textY);
  e.Show();
}

}  // namespace yw
