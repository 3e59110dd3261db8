#include "shell/title.h"

#include <string>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_menu.h"
#include "menus/list_state.h"
#include "render/compose.h"
#include "render/pictures.h"
#include "render/surfaces.h"
#include "render/text.h"
#include "world/rounding.h"

namespace yw {

namespace {

void CreditLine(Engine& e, std::string_view text) {
  Surface& front = e.pics.Frontbuf;
  front.Clear();
  const int fw = e.win.FontWidth, fh = e.win.FontHeight;
  const int x = CInt((front.Width() - static_cast<double>(text.size()) * fw) / 2.0);
  const int y = CInt((front.Height() - static_cast<double>(fh)) / 2.0);
  DrawTextLine(text, e.pics.FontPic, front, x, y, fw, fh, kTextTransparent);
  e.Show();
  e.win.OldT = e.Now() / 1000;
  ++e.win.Switsch;
}

// A credit line stays for a little over three seconds; a key skips both.
void WaitCredit(Engine& e) {
  if (e.win.Key != 0) {
    e.win.Switsch = switsch::kTitlePicture;
  } else if (e.Now() / 1000 - e.win.OldT > 3) {
    ++e.win.Switsch;
  }
}

std::string VersionText() {
  return "Version " + std::to_string(YW_VERSION_MAJOR) + "." + std::to_string(YW_VERSION_MINOR) +
         "." + std::to_string(YW_VERSION_PATCH);
}

void ShowTitlePicture(Engine& e) {
  Surface& extra = e.pics.Extrabuf;
  Surface& back = e.pics.Backbuf;
  const auto file = FindPic(e, "screen");
  if (file.empty() || !e.platform.LoadPicture(file, extra)) extra.Resize(0, 0);
  back.Resize(CInt(extra.Width() * static_cast<double>(e.world.Zoom)),
              CInt(extra.Height() * static_cast<double>(e.world.Zoom)));
  StretchBlt(back, 0, 0, back.Width(), back.Height(), extra, 0, 0, extra.Width(), extra.Height(),
             Rop::SrcCopy);
  if (!e.win.SingleGameMode) {
    const std::string version = VersionText();
    const int fw = e.win.FontWidth, fh = e.win.FontHeight;
    const int x = back.Width() - (static_cast<int>(version.size()) + 1) * fw;
    const int y = back.Height() - 2 * fh;
    DrawTextLine(version, e.pics.FontPic, back, x, y, fw, fh, kTextTransparent);
  }
  Surface& front = e.pics.Frontbuf;
  CopyView(front, 0, front.Height(), back, 0, 0);
  e.Show();
  e.win.Switsch = switsch::kTitlePictureShown;
}

}  // namespace

void TitleStep(Engine& e) {
  WindowState& w = e.win;
  switch (w.Switsch) {
    case switsch::kFirstCredit:
      CreditLine(e, "Pellwick presents...");
      break;
    case switsch::kFirstCreditShown:
      WaitCredit(e);
      break;
    case switsch::kSecondCredit:
      CreditLine(e, "a Tolvane game...");
      break;
    case switsch::kSecondCreditShown:
      WaitCredit(e);
      break;
    case switsch::kTitlePicture:
      ShowTitlePicture(e);
      break;
    case switsch::kTitlePictureShown:
      if (w.Key == VirtualKeyCode(GameKey::Esc))
        w.GameMode = Mode::Quit;
      else if (w.Key != 0)
        w.Switsch = switsch::kTitleLists;
      break;
    case switsch::kTitleLists:
      if (w.SingleGameMode) {
        e.lists.CurrentList = list::kTitleMenu;
        w.GameMode = Mode::SingleGameMenu;
      } else {
        e.lists.CurrentList = list::kGames;
        w.GameMode = Mode::GameSelection;
      }
      Drawlist(e, e.lists.CurrentList, true);
      e.Show();
      w.Switsch = switsch::kFirstCredit;
      break;
    default:
      break;
  }
}

}  // namespace yw
