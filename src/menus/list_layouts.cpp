// How lists are laid out and drawn: the framed window, one line per entry
// 2 font cells apart, the pointer hand before the selected line and the
// markers for entries hidden above (code 127) and below (code 128).
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/engine.h"
#include "core/window_state.h"
#include "menus/list_kinds.h"
#include "menus/list_menu.h"
#include "menus/list_state.h"
#include "render/dialogs.h"
#include "render/frames.h"
#include "render/surfaces.h"
#include "render/text.h"
#include "sim/fight_rounds.h"
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
  int right;   // the x a window at the left edge ends before
  bool fight;  // a fight is on: windows keep clear of the enemies
};

Metrics MetricsOf(const Engine& e) {
  const WindowState& w = e.win;
  return {std::max<int>(w.FontWidth, 1),
          std::max<int>(w.FontHeight, 1),
          w.Frame.CornerWidth,
          w.Frame.CornerHeight,
          e.pics.HandPic.Width() / 2,
          w.ScreenWidth,
          w.ScreenHeight,
          w.FightMode ? FightListsRight(e) : w.ScreenWidth - 10,
          w.FightMode};
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

// A picture line laid out: its height and the room its picture takes.
struct LaidLine {
  const PictureLine* line;
  int height;
  int pictureW;  // the picture and a cell of space; 0 without a picture
};

int SpriteWidth(const PictureLine& line) {
  return line.sprite ? std::max<int>(line.sprite->width, 0) : 0;
}

int TextCells(const PictureLine& line) {
  size_t m = 0;
  for (const std::string& text : line.texts) m = std::max(m, text.size());
  return static_cast<int>(m);
}

std::vector<LaidLine> LayOut(const PictureList& list, const Metrics& m) {
  std::vector<LaidLine> lines;
  int column = 0;
  for (const PictureLine& line : list.lines) {
    const int textH = std::max<int>(static_cast<int>(line.texts.size()), 1) * m.fh;
    const int pictureW = line.sprite ? SpriteWidth(line) + m.fw : 0;
    column = std::max(column, pictureW);
    lines.push_back({&line, std::max<int>(textH, line.sprite ? line.sprite->height : 0), pictureW});
  }
  if (list.alignText)
    for (LaidLine& laid : lines) laid.pictureW = column;
  return lines;
}

// Lines from `first` (0-based) that fit into `room` pixels of content, one
// font cell before, between and after them; at least one.
int LinesThatFit(const std::vector<LaidLine>& lines, size_t first, int room, int fh) {
  int used = fh, n = 0;
  for (size_t i = first; i < lines.size(); ++i) {
    used += lines[i].height + fh;
    if (used > room && n > 0) break;
    ++n;
  }
  return n;
}

// The first line from which all the rest fit.
int LastScroll(const std::vector<LaidLine>& lines, int room, int fh) {
  if (lines.empty()) return 1;
  int used = fh;
  size_t first = lines.size();
  while (first > 0 && used + lines[first - 1].height + fh <= room)
    used += lines[--first].height + fh;
  if (first == lines.size()) first = lines.size() - 1;  // a line taller than the room
  return static_cast<int>(first) + 1;
}

void DrawSprite(Engine& e, const Surface& sheet, const SpriteDef& s, int x, int y) {
  BitBlt(e.pics.Frontbuf, x, y, s.width, s.height, sheet, s.maskX, s.maskY, Rop::SrcAnd);
  BitBlt(e.pics.Frontbuf, x, y, s.width, s.height, sheet, s.picX, s.picY, Rop::SrcInvert);
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
  DrawMsg(e, message, Mode::Quit);
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
  if (count > l.ListScroll + v)
    Marker(e, kMarkerBelow, markerX, m.ch + 10 + 2 * m.fh + v * 2 * m.fh);
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

namespace {

// The widest line (picture, a cell of space, text), or the heading, cut to
// the screen.
int PictureListWidth(const PictureList& list, const std::vector<LaidLine>& lines,
                     const Metrics& m) {
  int widest = 0;
  for (const LaidLine& laid : lines)
    widest = std::max(widest, TextCells(*laid.line) * m.fw + std::max(laid.pictureW, m.fw));
  // A heading starts where the hand stands.
  for (const std::string& text : list.heading)
    widest = std::max(widest, static_cast<int>(text.size()) * m.fw - m.hw - m.fw);
  const int screenRoom = m.sw - 20 - 2 * m.cw - 2 * m.fw - m.hw;
  int room = m.right - 10 - 2 * m.cw - 2 * m.fw - m.hw;
  // In a fight the window ends left of the enemies, down to a single
  // character on a scene too narrow for more.
  if (m.fight) room = std::max(room, m.fw);
  return std::min({widest, room, screenRoom});
}

// Draws one line whose top is `top`: picture, then the text rows cut to
// what is left of `widest`, both centred on the line's height. The hand
// stands before the first text row.
void DrawPictureLine(Engine& e, const LaidLine& laid, int top, int widest, const Metrics& m) {
  const PictureLine& line = *laid.line;
  const int rows = std::max<int>(static_cast<int>(line.texts.size()), 1);
  const int handX = 10 + m.cw + m.fw;
  const int textY = top + (laid.height - rows * m.fh) / 2;
  int textX = handX + m.hw;
  if (line.sprite && line.sheet)
    DrawSprite(e, *line.sheet, *line.sprite, textX, top + (laid.height - line.sprite->height) / 2);
  textX += laid.pictureW;
  AddRow(e.lists, line.value, handX, textY);
  const int cells = (handX + m.hw + widest - textX) / m.fw;
  for (size_t k = 0; k < line.texts.size(); ++k)
    Text(e, CutText(line.texts[k], cells), textX, textY + static_cast<int>(k) * m.fh);
}

}  // namespace

// A window at the top left with its heading rows and as many lines as the
// screen holds; longer lists scroll. A list without lines is an empty
// window with nothing to select.
int DrawPictureList(Engine& e, const PictureList& list) {
  ListState& l = e.lists;
  ClearRows(l);
  const Metrics m = MetricsOf(e);
  const std::vector<LaidLine> lines = LayOut(list, m);
  const int headH = static_cast<int>(list.heading.size()) * m.fh;

  const int room = m.sh - 20 - 2 * m.ch - headH;
  l.ListMaxScroll = Clamp16(LastScroll(lines, room, m.fh));
  const int count = static_cast<int>(lines.size());
  l.ListScroll = static_cast<int16_t>(std::clamp<int>(l.ListScroll, 1, std::max(count, 1)));
  const size_t firstIndex = static_cast<size_t>(std::min(l.ListScroll - 1, count));
  const auto first = lines.begin() + static_cast<ptrdiff_t>(firstIndex);
  const auto last = first + LinesThatFit(lines, firstIndex, room, m.fh);

  int contentH = m.fh;
  for (auto line = first; line != last; ++line) contentH += line->height + m.fh;
  const int widest = PictureListWidth(list, lines, m);
  const int frameW = 2 * m.cw + 2 * m.fw + m.hw + widest, frameH = 2 * m.ch + headH + contentH;
  Frame(e, 10, 10, frameW, frameH);
  const int handX = 10 + m.cw + m.fw;
  const int headCells = (frameW - 2 * m.cw - m.fw) / m.fw;
  for (size_t k = 0; k < list.heading.size(); ++k)
    Text(e, CutText(list.heading[k], headCells), handX, 10 + m.ch + static_cast<int>(k) * m.fh);
  int top = 10 + m.ch + headH + m.fh;
  for (auto line = first; line != last; ++line) {
    DrawPictureLine(e, *line, top, widest, m);
    top += line->height + m.fh;
  }
  const int markerX = 10 + frameW - m.cw - m.fw;
  if (l.ListScroll > 1) Marker(e, kMarkerAbove, markerX, 10 + m.ch + headH);
  if (last != lines.end()) Marker(e, kMarkerBelow, markerX, 10 + frameH - m.ch - m.fh);
  FinishList(e);
  return 10 + frameH;
}

// The list a script built: its entries with their item pictures. An empty
// list hands 0 back to the script at once.
void DrawUserList(Engine& e) {
  World& w = e.world;
  PictureList list;
  for (int i = 1; i <= w.UserListCount && w.UserList.Has(i); ++i) {
    UserListItem& item = w.UserList[i];
    if (item.doodad < 1 || item.doodad > w.ItemDefCount) item.doodad = 0;
    const SpriteDef* sprite = item.doodad != 0 ? w.ItemFrames.Find(item.doodad) : nullptr;
    list.lines.push_back({&e.pics.ItemDoo, sprite, {item.text}, item.value});
  }
  if (list.lines.empty()) {
    ClearRows(e.lists);
    e.win.GameMode = Mode::Script;
    w.ListItemVal = 0;
    return;
  }
  e.win.GameMode = Mode::Menu;
  e.lists.CurrentList = list::kUserList;
  const int bottom = DrawPictureList(e, list);
  // The question left standing under its answers stays only when the list
  // ends above the message window. A longer list would cover it: then the
  // screen under the message comes back, as when a message closes, and the
  // list is drawn over that.
  if (!std::exchange(e.win.QuestionStanding, false)) return;
  Surfaces& pics = e.pics;
  if (bottom > CInt(e.win.ScreenHeight / 2.0)) {
    BitBlt(pics.Frontbuf, 0, 0, pics.Frontbuf.Width(), pics.Frontbuf.Height(), pics.Extrabuf, 0, 0,
           Rop::SrcCopy);
    DrawPictureList(e, list);
  }
  pics.Extrabuf.Resize(1, 1);
  pics.Extrabuf.Clear();
}

}  // namespace yw
