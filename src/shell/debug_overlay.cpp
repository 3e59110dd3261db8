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

void PlayerLines(const World& w, std::vector<std::string>& out) {
  const int x = static_cast<int>(std::lround(w.PlayerPosX));
  const int y = static_cast<int>(std::lround(w.PlayerPosY));
  const int dir = w.PlayerDirection >= 1 && w.PlayerDirection <= 4 ? w.PlayerDirection : 0;
  out.push_back("Player " + Cell(x, y) + " facing " + kDirections[dir] + " (" +
                std::to_string(w.PlayerDirection) + ")");
  static constexpr int kDx[] = {0, 0, 0, -1, 1}, kDy[] = {0, -1, 1, 0, 0};
  const int ax = x + kDx[dir], ay = y + kDy[dir];
  if (dir == 0 || ax < 1 || ay < 1 || ax > w.MapWidth || ay > w.MapHeight) {
    out.push_back("Ahead: off the map");
    return;
  }
  const EventCell& c = w.MapEvents.At(ax, ay);
  out.push_back("Ahead " + Cell(ax, ay) + ": ENTERSCRIPT " + OrDash(c.ENTERSCRIPT) +
                "  LEAVESCRIPT " + OrDash(c.LEAVESCRIPT));
  out.push_back("  USESCRIPT " + OrDash(c.USESCRIPT) + "  PUSHSCRIPT " + OrDash(c.PUSHSCRIPT) +
                "  OBSTACLE " + YesNo(!c.passable) + "  BOX " + YesNo(c.BOX));
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
  const std::vector<std::string> lines = DebugOverlayLines(e);
  size_t longest = 0;
  for (const std::string& l : lines) longest = std::max(longest, l.size());
  const int pad = 2 * scale;
  const int panelW = std::min(onto.Width(), static_cast<int>(longest) * glyphW * scale + 2 * pad);
  const int panelH =
      std::min(onto.Height(), static_cast<int>(lines.size()) * glyphH * scale + 2 * pad);
  for (int y = 0; y < panelH; ++y) {
    uint32_t* row = onto.Row(y);
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
        uint32_t* row = onto.Row(y);
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
