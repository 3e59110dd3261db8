// How lists are laid out and drawn: the framed window, one line per entry
// 2 font cells apart, the pointer hand before the selected line and the
// markers for entries hidden above (code 127) and below (code 128).
#include <algorithm>
#include <string>
#include <vector>

#include "menus/list_kinds.h"
#include "render/dialogs.h"
#include "render/frames.h"
#include "render/text.h"
#include "shell/engine.h"
#include "world/rounding.h"

namespace yw {

namespace {

constexpr char kMarkerAbove = static_cast<char>(127);
constexpr char kMarkerBelow = static_cast<char>(128);

// The sizes every layout works with. Font cells count as at least one
// pixel, so a missing font still lays out (invisible) lists.
struct Metrics {
  int fw, fh;  // font cell
  int cw, ch;  // frame corner
  int hw;      // width of the pointer picture
  int sw, sh;  // screen
};

Metrics MetricsOf(const Engine& e) {
  const WindowState& w = e.win;
  return {std::max<int>(w.FontWidth, 1), std::max<int>(w.FontHeight, 1),
          w.Frame.CornerWidth,           w.Frame.CornerHeight,
          e.pics.HandPic.Width() / 2,    w.ScreenWidth,
          w.ScreenHeight};
}

void Text(Engine& e, std::string_view text, int x, int y) {
  DrawTextLine(text, e.pics.FontPic, e.pics.Frontbuf, x, y, e.win.FontWidth, e.win.FontHeight,
               kTextTransparent);
}

void Marker(Engine& e, char code, int x, int y) { Text(e, std::string_view(&code, 1), x, y); }

void Frame(Engine& e, int x, int y, int width, int height) {
  DrawFrame(e.pics.FramePic, e.pics.Frontbuf, x, y, width, height, e.win.Frame);
}

int16_t Clamp16(int v) { return static_cast<int16_t>(std::clamp<int>(v, INT16_MIN, INT16_MAX)); }

void ClearRows(ListState& l) {
  l.ListRows.Reset();
  l.ListRowCount = 0;
}

void AddRow(ListState& l, int16_t entry, int handX, int handY) {
  ++l.ListRowCount;
  l.ListRows.Resize(l.ListRowCount);
  l.ListRows[l.ListRowCount] = ListRow{entry, Clamp16(handX), Clamp16(handY)};
}

// Keeps the selection on a drawn line, draws the hand there and shows the
// finished list.
void FinishList(Engine& e) {
  ListState& l = e.lists;
  if (l.ListCursor > l.ListRowCount) l.ListCursor = l.ListRowCount;
  if (l.ListCursor >= 1 && l.ListRows.Has(l.ListCursor)) {
    const ListRow& row = l.ListRows[l.ListCursor];
    DrawHand(e.pics.HandPic, e.pics.Frontbuf, row.handX, row.handY);
  }
  e.Show();
}

int LongestText(const ListEntries& entries) {
  size_t m = 0;
  for (const ListEntry& entry : entries) m = std::max(m, entry.text.size());
  return static_cast<int>(m);
}

// The characters of an entry that fit on a line of a window standing 10
// pixels in from the left edge of the screen.
int CellsAcross(const Metrics& m) {
  return CInt((m.sw - (m.hw + 2 * m.cw + 20 + 2 * m.fw)) / static_cast<double>(m.fw));
}

// One line of the script-built list: its item picture (if any) stands left
// of the text, and a picture taller than the font makes the line taller.
struct UserLine {
  const UserListItem* item;
  const SpriteDef* sprite;
  int height;
};

std::vector<UserLine> UserLines(Engine& e, const Metrics& m) {
  World& w = e.world;
  std::vector<UserLine> lines;
  for (int i = 1; i <= w.UserListCount && w.UserList.Has(i); ++i) {
    UserListItem& item = w.UserList[i];
    if (item.doodad < 1 || item.doodad > w.ItemDefCount) item.doodad = 0;
    const SpriteDef* sprite = item.doodad != 0 ? w.ItemFrames.Find(item.doodad) : nullptr;
    lines.push_back({&item, sprite, std::max<int>(m.fh, sprite ? sprite->height : 0)});
  }
  return lines;
}

int SpriteWidth(const UserLine& line) { return line.sprite ? std::max<int>(line.sprite->width, 0) : 0; }

// Lines from `first` (0-based) that fit into `room` pixels of content, one
// font cell before, between and after them; at least one.
int LinesThatFit(const std::vector<UserLine>& lines, size_t first, int room, int fh) {
  int used = fh, n = 0;
  for (size_t i = first; i < lines.size(); ++i) {
    used += lines[i].height + fh;
    if (used > room && n > 0) break;
    ++n;
  }
  return n;
}

// The first line from which all the rest fit.
int LastScroll(const std::vector<UserLine>& lines, int room, int fh) {
  int used = fh;
  size_t first = lines.size();
  while (first > 0 && used + lines[first - 1].height + fh <= room) used += lines[--first].height + fh;
  if (first == lines.size()) first = lines.size() - 1;  // a line taller than the room
  return static_cast<int>(first) + 1;
}

void DrawItemSprite(Engine& e, const SpriteDef& s, int x, int y) {
  BitBlt(e.pics.Frontbuf, x, y, s.width, s.height, e.pics.ItemDoo, s.maskX, s.maskY, Rop::SrcAnd);
  BitBlt(e.pics.Frontbuf, x, y, s.width, s.height, e.pics.ItemDoo, s.picX, s.picY, Rop::SrcInvert);
}

// How much of a scrolling list the screen holds from the first entry shown:
// when all `remaining` entries fit, `more` is their number and `height` their
// content height; otherwise the first entry and `more` after it are shown in
// the whole text area. The scroll markers and the largest scroll count on
// `more` in both cases.
struct LibraryFit {
  int more;
  int height;
};

LibraryFit FitLibrary(const Engine& e, const Metrics& m, int remaining) {
  int16_t areaW = Clamp16(m.sw - 20), areaH = Clamp16(m.sh - 20);
  Shorten(e, areaW, areaH);
  const int needed = remaining * 2 * m.fh - m.fh;
  if (needed <= areaH) return {remaining, needed};
  return {std::max<int>(CInt((areaH / static_cast<double>(m.fh) - 1) / 2), 0), areaH};
}

// Shows a message instead of the list; no list is open then.
void ShowInsteadOfList(Engine& e, std::string_view message) {
  e.lists.CurrentList = 0;
  DrawMsg(e, message, static_cast<int32_t>(Mode::Quit));
}

}  // namespace

std::string CutText(std::string_view text, int cells) {
  if (static_cast<int>(text.size()) <= cells) return std::string(text);
  if (cells <= 3) return std::string(text.substr(0, static_cast<size_t>(std::max(cells, 0))));
  return std::string(text.substr(0, static_cast<size_t>(cells - 3))) + "...";
}

// The game library: the window reaches down as far as the screen allows;
// what does not fit is scrolled to.
void DrawScrollingList(Engine& e, const ListKind& kind) {
  ListState& l = e.lists;
  ClearRows(l);
  const ListEntries entries = kind.content(e);
  const int count = static_cast<int>(entries.size());
  if (count == 0) {
    ShowInsteadOfList(e, kind.emptyMessage);
    return;
  }
  l.ListScroll = static_cast<int16_t>(std::clamp<int>(l.ListScroll, 1, count));
  const Metrics m = MetricsOf(e);
  const LibraryFit fit = FitLibrary(e, m, count - l.ListScroll + 1);
  const int v = fit.more, h = fit.height;

  const int cells = CellsAcross(m);
  if (cells <= 3) {
    ShowInsteadOfList(e, "Error: Too small Display!");
    return;
  }
  const int width = std::min(LongestText(entries), cells);
  Frame(e, 10, 10, m.fw * width + 2 * m.fw + 2 * m.cw + m.hw, h + 2 * m.fh + 2 * m.ch);
  const int handX = m.cw + 10 + m.fw;
  for (int i = l.ListScroll; i <= l.ListScroll + v && i <= count; ++i) {
    const int handY = 10 + m.ch + m.fh + (i - l.ListScroll) * 2 * m.fh;
    const ListEntry& entry = entries[static_cast<size_t>(i - 1)];
    AddRow(l, entry.value, handX, handY);
    Text(e, CutText(entry.text, width), handX + m.hw, handY);
  }
  const int markerX = m.cw + 10 + m.hw + m.fw * width;
  if (l.ListScroll > 1) Marker(e, kMarkerAbove, markerX, m.ch + 10);
  if (count > l.ListScroll + v) Marker(e, kMarkerBelow, markerX, m.ch + 10 + 2 * m.fh + v * 2 * m.fh);
  l.ListMaxScroll = Clamp16(count - v);
  FinishList(e);
}

// A window with all its entries, and a heading above them when the list has
// one. The window is as wide as the longest entry (cut to the screen) and
// wide enough for its heading.
void DrawFixedList(Engine& e, const ListKind& kind) {
  ListState& l = e.lists;
  ClearRows(l);
  const ListEntries entries = kind.content(e);
  const Metrics m = MetricsOf(e);
  const int n = static_cast<int>(entries.size());
  const int headed = kind.heading.empty() ? 0 : 1;

  int width = LongestText(entries);
  const int cells = CellsAcross(m);
  if (cells >= 1) width = std::min(width, cells);
  // The heading starts where the hand stands, one hand further left than
  // the entries.
  const int headingW = static_cast<int>(kind.heading.size()) * m.fw;
  if (headingW > (width + 1) * m.fw + m.hw) width = (headingW - m.hw + m.fw - 1) / m.fw - 1;

  const int frameW = (width + 2) * m.fw + 2 * m.cw + m.hw;
  const int frameH = 2 * m.ch + (2 * n + 1 + headed) * m.fh;
  int x = 10, y = 10;
  if (kind.placement == ListPlacement::BottomCentre) {
    x = CInt(m.sw / 2.0 - frameW / 2.0);
    y = m.sh - (frameH + 10);
  }
  Frame(e, x, y, frameW, frameH);
  const int handX = x + m.cw + m.fw;
  if (headed) Text(e, kind.heading, handX, y + m.ch);
  for (int k = 0; k < n; ++k) {
    const int handY = y + m.ch + m.fh + headed * m.fh + k * 2 * m.fh;
    const ListEntry& entry = entries[static_cast<size_t>(k)];
    AddRow(l, entry.value, handX, handY);
    Text(e, CutText(entry.text, width), handX + m.hw, handY);
  }
  FinishList(e);
}

// The widest line (picture, a cell of space, text), cut to the screen.
int UserListWidth(const std::vector<UserLine>& lines, const Metrics& m) {
  int widest = 0;
  for (const UserLine& line : lines)
    widest = std::max(widest, m.fw + static_cast<int>(line.item->text.size()) * m.fw + SpriteWidth(line));
  return std::min(widest, m.sw - 20 - 2 * m.cw - 2 * m.fw - m.hw);
}

// Draws one line whose top is `top`: picture, then the text cut to what is
// left of `widest`, both centred on the line's height.
void DrawUserLine(Engine& e, const UserLine& line, int top, int widest, const Metrics& m) {
  const int handX = 10 + m.cw + m.fw;
  const int textY = top + (line.height - m.fh) / 2;
  int textX = handX + m.hw;
  if (line.sprite) {
    DrawItemSprite(e, *line.sprite, textX, top + (line.height - line.sprite->height) / 2);
    textX += SpriteWidth(line) + m.fw;
  }
  AddRow(e.lists, line.item->value, handX, textY);
  Text(e, CutText(line.item->text, (handX + m.hw + widest - textX) / m.fw), textX, textY);
}

// The list a script built: a window at the top left, as tall as its lines
// need up to the screen's height; longer lists scroll. An empty list hands
// 0 back to the script at once.
void DrawUserList(Engine& e) {
  ListState& l = e.lists;
  ClearRows(l);
  const Metrics m = MetricsOf(e);
  const std::vector<UserLine> lines = UserLines(e, m);
  if (lines.empty()) {
    e.win.GameMode = static_cast<int32_t>(Mode::Script);
    e.world.ListItemVal = 0;
    return;
  }
  e.win.GameMode = static_cast<int32_t>(Mode::Menu);
  l.CurrentList = 20;

  const int room = m.sh - 20 - 2 * m.ch;
  l.ListMaxScroll = Clamp16(LastScroll(lines, room, m.fh));
  l.ListScroll = static_cast<int16_t>(std::clamp<int>(l.ListScroll, 1, static_cast<int>(lines.size())));
  const auto first = lines.begin() + (l.ListScroll - 1);
  const auto last = first + LinesThatFit(lines, static_cast<size_t>(l.ListScroll - 1), room, m.fh);

  int contentH = m.fh;
  for (auto line = first; line != last; ++line) contentH += line->height + m.fh;
  const int widest = UserListWidth(lines, m);
  const int frameW = 2 * m.cw + 2 * m.fw + m.hw + widest, frameH = 2 * m.ch + contentH;
  Frame(e, 10, 10, frameW, frameH);
  int top = 10 + m.ch + m.fh;
  for (auto line = first; line != last; ++line) {
    DrawUserLine(e, *line, top, widest, m);
    top += line->height + m.fh;
  }
  const int markerX = 10 + frameW - m.cw - m.fw;
  if (l.ListScroll > 1) Marker(e, kMarkerAbove, markerX, 10 + m.ch);
  if (last != lines.end()) Marker(e, kMarkerBelow, markerX, 10 + frameH - m.ch - m.fh);
  FinishList(e);
}

}  // namespace yw
