// A member's statistics (list 8): the member's picture and name in a small
// window, the values in a large one below it, shown page by page when the
// screen is too small for all of them.
#include <algorithm>
#include <string>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_kinds.h"
#include "menus/list_menu.h"
#include "menus/list_state.h"
#include "render/compose.h"
#include "render/frames.h"
#include "render/surfaces.h"
#include "render/text.h"
#include "script/field_access.h"

namespace yw {

namespace {

// A number with room for its sign: a space before values of 0 and above.
std::string Signed(int v) {
  std::string text(v >= 0 ? " " : "");
  return text += std::to_string(v);
}
std::string Trimmed(int v) { return std::to_string(v); }

void Text(Engine& e, std::string_view text, int x, int y) {
  DrawTextLine(text, e.pics.FontPic, e.pics.Frontbuf, x, y, e.win.FontWidth, e.win.FontHeight,
               kTextTransparent);
}

// The upper window: the member standing, facing the player, its name and
// its condition. Returns the window's height.
int DrawNameWindow(Engine& e, const PartyMember& m) {
  const WindowState& ws = e.win;
  const World& w = e.world;
  const int cw = ws.Frame.CornerWidth, ch = ws.Frame.CornerHeight;
  const int fw = std::max<int>(ws.FontWidth, 1), fh = std::max<int>(ws.FontHeight, 1);
  const int16_t frame = m.character.DOODOWN;
  const SpriteDef* s = frame >= 1 && frame <= w.UnitDefCount ? w.UnitFrames.Find(frame) : nullptr;
  const int spriteW = s ? std::max<int>(s->width, 0) + fw : 0;
  const int contentH = std::max<int>(fh, s ? s->height : 0);
  const std::string name = m.NAME + " " + (m.STATE == 1 ? " Normal" : "");
  const int width = 2 * cw + 2 * fw + spriteW + static_cast<int>(name.size()) * fw;
  const int height = 2 * ch + 2 * fh + contentH;
  DrawFrame(e.pics.FramePic, e.pics.Frontbuf, 10, 10, width, height, ws.Frame);
  const int x = 10 + cw + fw, y = 10 + ch + fh;
  if (s) {
    Surface& front = e.pics.Frontbuf;
    const int sy = y + (contentH - s->height) / 2;
    BitBlt(front, x, sy, s->width, s->height, e.pics.UnitDoo, s->maskX, s->maskY, Rop::SrcAnd);
    BitBlt(front, x, sy, s->width, s->height, e.pics.UnitDoo, s->picX, s->picY, Rop::SrcInvert);
  }
  Text(e, name, x + spriteW, y + (contentH - fh) / 2);
  return height;
}

// The lower window from `top` to 10 pixels above the screen's bottom, with
// the page of the text that starts at PageStart. Notes where the next page
// starts and marks the window when there is one.
void DrawValuesWindow(Engine& e, const std::string& text, int top) {
  const WindowState& ws = e.win;
  ListState& l = e.lists;
  const int cw = ws.Frame.CornerWidth, ch = ws.Frame.CornerHeight;
  const int fw = ws.FontWidth, fh = ws.FontHeight;
  const int width = ws.ScreenWidth - 20, height = ws.ScreenHeight - 10 - top;
  DrawFrame(e.pics.FramePic, e.pics.Frontbuf, 10, top, width, height, ws.Frame);
  int16_t areaW = static_cast<int16_t>(std::clamp(width, 0, 32767));
  int16_t areaH = static_cast<int16_t>(std::clamp(height, 0, 32767));
  Shorten(e, areaW, areaH);
  l.PageStart = std::min(l.PageStart, text.size());
  const std::string_view rest = std::string_view(text).substr(l.PageStart);
  const size_t drawn = rest.empty()
                           ? 0
                           : DrawTextBox(rest, e.pics.FontPic, e.pics.Frontbuf, 10 + cw + fw,
                                         top + ch + fh, areaW, areaH, fw, fh, kTextTransparent);
  // A window too small to take any of the text ends the screen rather than
  // showing the same page for ever.
  l.PageNext = drawn == 0 ? text.size() : l.PageStart + drawn;
  if (l.PageNext < text.size())
    Text(e, std::string_view(&kMoreMarker, 1), 10 + width - cw - 2 * fw, top + height - ch - fh);
}

}  // namespace

std::string StatisticsText(const Character& c) {
  const int level = LevelFromEP(c.EP);
  const std::string lines[] = {
      "HP            :" + Signed(c.HP) + "/" + Trimmed(c.MAXHP),
      "MP            :" + Signed(c.MP) + "/" + Trimmed(c.MAXMP),
      "EP            :" + Signed(c.EP) + " (Level " + Trimmed(level) + ")",
      "EP for levelup: " + Trimmed(5 * level * (level + 1)),
      "Wisdom        :" + Signed(c.WIS),
      "Strenght      :" + Signed(c.STR),
      "Dexterity     :" + Signed(c.DEX),
      "Initiative    :" + Signed(c.INI),
      "Constitution  :" + Signed(c.CON),
  };
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
  return text;
}

void DrawStatistics(Engine& e, bool reset) {
  ListState& l = e.lists;
  const World& w = e.world;
  if (reset) l.PageStart = 0;
  BufFlip(e);
  l.CurrentList = list::kStatistics;
  l.ListRows.Reset();
  l.ListRowCount = 0;
  const int member = l.ListMember;
  if (member < 1 || member > w.PartyCount || !w.Party.Has(member)) {
    l.PageNext = 0;
    e.Show();
    return;
  }
  const PartyMember& m = w.Party[member];
  const int upper = DrawNameWindow(e, m);
  DrawValuesWindow(e, StatisticsText(m.character), 10 + upper + 10);
  e.Show();
}

// Enter and Escape show the next page; after the last one the team again.
void NextStatisticsPage(Engine& e) {
  ListState& l = e.lists;
  if (l.PageNext > l.PageStart &&
      l.PageNext < StatisticsText(e.world.Party[l.ListMember].character).size()) {
    l.PageStart = l.PageNext;
    Drawlist(e, list::kStatistics, false);
    return;
  }
  BufFlip(e);
  Drawlist(e, list::kTeam, true);
}

}  // namespace yw
