// A small screen with a party, items and scripts for the party and fight
// menu tests. Members and items have no pictures, so a line's text starts
// one hand's width right of its pointer.
#pragma once

#include <string>
#include <vector>

#include "list_screen.h"
#include "menus/list_menu.h"
#include "test_support.h"

namespace yw::test {

constexpr int32_t kEnter = 13, kEsc = 27, kUp = 38, kDown = 40;
constexpr uint32_t kHand = Rgb(0xEE, 0x11, 0x77);

struct PartyScreen {
  TestEngine t;
  Engine& e = t.engine;
  World& w = e.world;

  explicit PartyScreen(int width = 320, int height = 240) {
    UseSmallScreen(e, width, height);
    for (int y = 0; y < 8; ++y)  // the pointer; its mask, the right half, is all black
      for (int x = 0; x < 8; ++x) e.pics.HandPic.Set(x, y, kHand);
  }
  int AddMember(const std::string& name, Character c = {}) {
    w.Party.Resize(++w.PartyCount);
    w.Party[w.PartyCount] = PartyMember{name, 1, c};
    return w.PartyCount;
  }
  int16_t AddItem(const std::string& name, uint8_t type, int16_t number, std::string script = "",
                  std::string fightScript = "", bool visible = true) {
    w.Items.Resize(++w.ItemCount);
    w.Items[w.ItemCount] =
        Item{name, type, visible, std::move(script), std::move(fightScript), 0, number};
    return w.ItemCount;
  }
  void AddScript(const std::string& name) {
    w.Scripts.Resize(++w.ScriptCount);
    w.Scripts[w.ScriptCount] = ScriptEntry{"BEGIN\r\nEND\r\n", name};
  }
  void Open(int32_t list) {
    e.win.GameMode = Mode::Menu;
    Drawlist(e, list, true);
  }
  void Key(int32_t key, int times = 1) {
    for (int i = 0; i < times; ++i) MenuKey(e, e.lists.CurrentList, key);
  }
  // `cells` characters of text row `row` (0 = the first) of every line.
  std::vector<std::string> Lines(int cells, int row = 0) const {
    std::vector<std::string> out;
    for (int i = 1; i <= e.lists.ListRowCount; ++i) {
      const ListRow& r = e.lists.ListRows[i];
      out.push_back(ReadCells(e.pics.Frontbuf, r.handX + 8, r.handY + row * 8, 8, cells));
    }
    return out;
  }
  // The text at the left margin of a window at (10, 10) that begins with
  // `start`, `cells` characters; "" when there is none.
  std::string Row(std::string_view start, int cells) const {
    for (int y = 0; y < e.pics.Frontbuf.Height(); ++y) {
      const std::string text = ReadCells(e.pics.Frontbuf, 26, y, 8, cells);
      if (text.starts_with(start)) return text;
    }
    return "";
  }
  bool HandAt(int x, int y) const { return e.pics.Frontbuf.At(x, y) == kHand; }
  bool Shows(int code) const {
    const Surface& s = e.pics.Frontbuf;
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x)
        if (CodeAt(s, x, y) == code) return true;
    return false;
  }
};

}  // namespace yw::test
