#include "shell/debug_overlay.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/engine.h"
#include "core/window_state.h"
#include "render/surface.h"
#include "render/surfaces.h"
#include "shell/author_tools.h"

namespace yw {

namespace {

// Levels of the script stack shown, the top ones; deeper ones are counted.
constexpr int kShownLevels = 6;
// Longest text value shown of a variable.
constexpr size_t kShownText = 20;
// Longest line of the lists that wrap (party, enemies, items).
constexpr size_t kLineWidth = 66;
// Share of the screen's width the panel may take in a fight.
constexpr int kFightPanelPercent = 60;

constexpr const char* kModeNames[] = {"start",       "quit",          "title",        "game list",
                                      "game menu",   "message",       "map",          "menu",
                                      "script",      "cut-scene",     "save list",    "text input",
                                      "fight round", "target choice", "screen effect"};

constexpr const char* kDirections[] = {"?", "up", "down", "left", "right"};

std::string Number(double v) {
  char text[32];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, v);
  return ec == std::errc() ? std::string(text, end) : std::string("?");
}

std::string Cell(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

std::string OrDash(const std::string& s) { return s.empty() ? std::string("-") : s; }

std::string YesNo(bool b) { return b ? "yes" : "no"; }

std::string MapLine(const World& w) {
  std::string line = "Map " + OrDash(w.MapFile) + " " + std::to_string(w.MapWidth) + "x" +
                     std::to_string(w.MapHeight);
  if (!w.EventmapFile.empty()) line += "  events " + w.EventmapFile;
  return line;
}

// The event fields of cell (x, y), in two lines after `label`.
void CellLines(const World& w, const std::string& label, int x, int y,
               std::vector<std::string>& out) {
  const EventCell& c = w.MapEvents.At(x, y);
  out.push_back(label + " " + Cell(x, y) + ": ENTERSCRIPT " + OrDash(c.ENTERSCRIPT) +
                "  LEAVESCRIPT " + OrDash(c.LEAVESCRIPT));
  out.push_back("  USESCRIPT " + OrDash(c.USESCRIPT) + "  PUSHSCRIPT " + OrDash(c.PUSHSCRIPT) +
                "  OBSTACLE " + YesNo(!c.passable) + "  BOX " + YesNo(c.BOX));
}

bool OnMap(const World& w, int x, int y) {
  return x >= 1 && y >= 1 && x <= w.MapWidth && y <= w.MapHeight;
}

// The NPC the player would use on cell (x, y): the first one standing
// exactly there. 0 when none.
int NpcAt(const World& w, int x, int y) {
  for (int i = 1; i <= w.NpcCount && w.Npcs.Has(i); ++i)
    if (w.Npcs[i].POS_X == static_cast<float>(x) && w.Npcs[i].POS_Y == static_cast<float>(y))
      return i;
  return 0;
}

std::string CharacterName(const World& w, int c) {
  return c >= 1 && c <= w.CharacterCount && w.Characters.Has(c) ? w.Characters[c].NAME
                                                                : std::string("?");
}

void NpcLine(const World& w, int x, int y, std::vector<std::string>& out) {
  const int n = NpcAt(w, x, y);
  if (n == 0) return;
  const Npc& npc = w.Npcs[n];
  out.push_back("  NPC " + std::to_string(n) + " " + CharacterName(w, npc.CHAR) + " (CHAR " +
                std::to_string(npc.CHAR) + ")  SCRIPT " + OrDash(npc.SCRIPT) + "  SPEED " +
                std::to_string(npc.SPEED));
}

void PlayerLines(const World& w, std::vector<std::string>& out) {
  const int x = static_cast<int>(std::lround(w.PlayerPosX));
  const int y = static_cast<int>(std::lround(w.PlayerPosY));
  const int dir = w.PlayerDirection >= 1 && w.PlayerDirection <= 4 ? w.PlayerDirection : 0;
  out.push_back("Player " + Cell(x, y) + " facing " + kDirections[dir] + " (" +
                std::to_string(w.PlayerDirection) + ")");
  if (OnMap(w, x, y)) CellLines(w, "Here", x, y, out);
  static constexpr int kDx[] = {0, 0, 0, -1, 1}, kDy[] = {0, -1, 1, 0, 0};
  const int ax = x + kDx[dir], ay = y + kDy[dir];
  if (dir == 0 || !OnMap(w, ax, ay)) {
    out.push_back("Ahead: off the map");
    return;
  }
  CellLines(w, "Ahead", ax, ay, out);
  NpcLine(w, ax, ay, out);
}

std::string Condition(const std::string& name, const Character& c) {
  return name + " HP " + std::to_string(c.HP) + "/" + std::to_string(c.MAXHP) + " MP " +
         std::to_string(c.MP) + "/" + std::to_string(c.MAXMP);
}

// Entries after `title`, as many to a line as fit, at most `maxLines`
// lines; what does not fit is counted on the last.
void Wrapped(const std::string& title, const std::vector<std::string>& entries, size_t maxLines,
             std::vector<std::string>& out) {
  std::string line = title;
  size_t lines = 0, shown = 0;
  for (const std::string& entry : entries) {
    if (line.size() + 2 + entry.size() > kLineWidth && line.size() > 2) {
      if (lines + 1 == maxLines) break;
      out.push_back(line);
      ++lines;
      line = " ";
    }
    line += "  " + entry;
    ++shown;
  }
  if (shown < entries.size()) line += "  +" + std::to_string(entries.size() - shown) + " more";
  out.push_back(line);
}

void PartyLines(const World& w, bool fight, std::vector<std::string>& out) {
  std::vector<std::string> members;
  for (int i = 1; i <= w.PartyCount && w.Party.Has(i); ++i)
    members.push_back(Condition(w.Party[i].NAME, w.Party[i].character));
  if (!members.empty()) Wrapped("Party", members, 3, out);
  if (!fight) return;
  std::vector<std::string> enemies;
  for (int i = 1; i <= w.EnemyCount && w.Enemies.Has(i); ++i)
    enemies.push_back(std::to_string(i) + " " +
                      Condition(w.Enemies[i].character.NAME, w.Enemies[i].character));
  if (!enemies.empty()) Wrapped("Enemies", enemies, 3, out);
}

// NUMBER and VALUE of every item: where games keep their progress.
void ItemLines(const World& w, std::vector<std::string>& out) {
  std::vector<std::string> items;
  for (int i = 1; i <= w.ItemCount && w.Items.Has(i); ++i)
    items.push_back(std::to_string(i) + " " + w.Items[i].NAME + " " +
                    std::to_string(w.Items[i].NUMBER) + "/" + std::to_string(w.Items[i].VALUE));
  if (!items.empty()) Wrapped("Items NUMBER/VALUE", items, 4, out);
}

// The script a level runs: the table entry sharing its text, else one with
// the same text (the table was read again since the level started).
std::string ScriptName(const World& w, const ScriptLevel& level) {
  if (!level.text) return "?";
  for (int i = 1; i <= w.ScriptCount && w.Scripts.Has(i); ++i)
    if (&w.Scripts[i].Text.Str() == level.text.get()) return w.Scripts[i].Name;
  for (int i = 1; i <= w.ScriptCount && w.Scripts.Has(i); ++i)
    if (w.Scripts[i].Text.Str() == *level.text) return w.Scripts[i].Name;
  return "(an earlier text)";
}

// The line the level took last (1 before it has taken any).
int CurrentLine(const ScriptLevel& level) {
  if (!level.text || level.pos == 0) return 1;
  const size_t end = std::min(level.pos - 1, level.text->size());
  return 1 + static_cast<int>(std::count(level.text->begin(), level.text->begin() + end, '\n'));
}

void ScriptLines(const World& w, std::vector<std::string>& out) {
  out.push_back("Scripts: " + std::to_string(w.ScriptDepth) +
                (w.ScriptDepth == 1 ? " level" : " levels"));
  const int first = std::max(1, w.ScriptDepth - kShownLevels + 1);
  if (first > 1) out.push_back("  ... " + std::to_string(first - 1) + " below");
  for (int i = first; i <= w.ScriptDepth && w.ScriptStack.Has(i); ++i) {
    const ScriptLevel& level = w.ScriptStack[i];
    out.push_back("  " + std::to_string(i) + " " + ScriptName(w, level) + " line " +
                  std::to_string(CurrentLine(level)));
  }
}

std::string Variable(const World& w, int i) {
  static constexpr const char* kKinds[] = {"number", "text", "undecided"};
  const ScriptVariable& v = w.Variables[static_cast<size_t>(i)];
  std::string value = "-";
  if (v.value.IsNumber()) value = Number(v.value.Number());
  if (v.value.IsText()) {
    const std::string t = v.value.Text();
    value = '"';
    value += t.substr(0, kShownText);
    value += t.size() > kShownText ? "...\"" : "\"";
  }
  const int kind = std::clamp(static_cast<int>(v.kind), 0, 2);
  std::string text = std::string(1, static_cast<char>('A' + i)) + " " + value + " " + kKinds[kind];
  return text;
}

void VariableLines(const World& w, std::vector<std::string>& out) {
  for (int i = 0; i < 10; i += 2) {
    std::string left = Variable(w, i);
    left.resize(std::max<size_t>(left.size() + 2, 34), ' ');
    out.push_back(left + Variable(w, i + 1));
  }
}

// The stroke pixels of a glyph of the font sheet: rows 0-6 hold the
// glyphs of codes 33 to 255, rows 7-13 their masks, black on the stroke.
bool Stroke(const Surface& font, int cellW, int cellH, int code, int px, int py) {
  const int i = code - 33;
  const int x = (i % 32) * cellW + px, y = (i / 32 + 7) * cellH + py;
  if (x < 0 || y < 0 || x >= font.Width() || y >= font.Height()) return false;
  return (font.At(x, y) & kPixelMask) == 0;
}

}  // namespace

std::string RunningScriptPlace(const Engine& e) {
  const World& w = e.world;
  if (w.ScriptDepth < 1 || !w.ScriptStack.Has(w.ScriptDepth)) return {};
  const ScriptLevel& level = w.ScriptStack[w.ScriptDepth];
  return ScriptName(w, level) + " line " + std::to_string(CurrentLine(level));
}

std::vector<std::string> DebugOverlayLines(const Engine& e) {
  const World& w = e.world;
  std::vector<std::string> out;
  out.push_back(MapLine(w));
  PlayerLines(w, out);
  const auto mode = static_cast<int32_t>(e.win.GameMode);
  out.push_back("GameMode " + std::to_string(mode) + " " +
                (mode >= 0 && mode <= 14 ? kModeNames[mode] : "(no state)"));
  ScriptLines(w, out);
  VariableLines(w, out);
  PartyLines(w, e.win.FightMode, out);
  ItemLines(w, out);
  if (!e.author.lastScriptError.empty()) out.push_back(e.author.lastScriptError);
  out.push_back("FPS " + std::to_string(e.author.fps));
  return out;
}

void DrawDebugOverlay(const Engine& e, Surface& onto) {
  const Surface& font = e.pics.FontPic;
  // The font as drawn at a zoom of 1: every zoom-th pixel of the sheet.
  const int step = std::max(1, static_cast<int>(e.world.Zoom));
  const int cellW = e.win.FontWidth, cellH = e.win.FontHeight;
  const int glyphW = cellW / step, glyphH = cellH / step;
  if (font.Empty() || glyphW < 1 || glyphH < 1 || onto.Empty()) return;
  // Large screens get the text at twice the size.
  const int scale = std::max(1, onto.Width() / 800);
  std::vector<std::string> lines = DebugOverlayLines(e);
  const int pad = 2 * scale;
  // In a fight the panel keeps to the right, clear of the fight menus at
  // the left edge; lines too long for it are cut.
  const bool fight = e.win.FightMode;
  const int widest = fight ? onto.Width() * kFightPanelPercent / 100 : onto.Width();
  const size_t fits = static_cast<size_t>(std::max(1, (widest - 2 * pad) / (glyphW * scale)));
  size_t longest = 0;
  for (std::string& l : lines) {
    if (l.size() > fits) l.resize(fits);
    longest = std::max(longest, l.size());
  }
  const int panelW = std::min(widest, static_cast<int>(longest) * glyphW * scale + 2 * pad);
  const int panelH =
      std::min(onto.Height(), static_cast<int>(lines.size()) * glyphH * scale + 2 * pad);
  const int panelX = fight ? onto.Width() - panelW : 0;
  for (int y = 0; y < panelH; ++y) {
    uint32_t* row = onto.Row(y) + panelX;
    for (int x = 0; x < panelW; ++x) row[x] = (row[x] >> 3) & 0x1F1F1Fu;
  }
  constexpr uint32_t kInk = Rgb(255, 255, 160);
  for (size_t n = 0; n < lines.size(); ++n) {
    const int top = pad + static_cast<int>(n) * glyphH * scale;
    for (size_t k = 0; k < lines[n].size(); ++k) {
      const int code = static_cast<unsigned char>(lines[n][k]);
      if (code <= 32) continue;
      const int left = pad + static_cast<int>(k) * glyphW * scale;
      for (int gy = 0; gy < glyphH * scale; ++gy) {
        const int y = top + gy;
        if (y >= panelH) break;
        uint32_t* row = onto.Row(y) + panelX;
        for (int gx = 0; gx < glyphW * scale; ++gx) {
          const int x = left + gx;
          if (x >= panelW) break;
          if (Stroke(font, cellW, cellH, code, gx / scale * step, gy / scale * step)) row[x] = kInk;
        }
      }
    }
  }
}

}  // namespace yw
