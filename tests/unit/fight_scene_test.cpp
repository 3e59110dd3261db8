// Thornwick's fight scene as the player sees it, on screens of several
// sizes: the fight menu, the item and magic lists and the party chooser
// never cover an enemy; the pointer hand over the member whose turn it is
// never covers the number that member just took; and those numbers keep
// rising and fade on time while a fight list waits for the player.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/window_state.h"
#include "menus/list_menu.h"
#include "render/compose.h"
#include "render/surfaces.h"
#include "shell/main_loop.h"
#include "sim/fight_rounds.h"
#include "test_support.h"

namespace yw {
namespace {

namespace fs = std::filesystem;

// Rowan alone against two wolves and a brigand, on Thornwick's glade. The
// wolves are quicker and bite first. The herb, the member and the spell get
// long names, so that every list would reach across the screen if it could.
constexpr std::string_view kFight =
    "BEGIN\r\n"
    "ADDCHARACTER 1\r\n"
    "CHANGE PARTY \\ 1 \\ NAME \\ \"Rowan of the Long Valley and the Hills\"\r\n"
    "CHANGE ITEM \\ 1 \\ NAME \\ \"Herb of the Seven Springs, picked at dawn\"\r\n"
    "CHANGE ITEM \\ 2 \\ NAME \\ \"Mend the Wounds of the Weary and the Lost\"\r\n"
    "CHANGE ITEM \\ 1 \\ NUMBER \\ 99\r\n"
    "FIGHTINIT \"glade.map\"\r\n"
    "SETPOS 22 \\ 15\r\n"
    "ADDENEMY 6\r\n"
    "ADDENEMY 7\r\n"
    "ADDENEMY 6\r\n"
    "FIGHTSTART\r\n"
    "END\r\n";

struct Screen {
  int width, height, zoom;
};

std::string Name(const Screen& s) {
  return std::to_string(s.width) + "x" + std::to_string(s.height) + " zoom " +
         std::to_string(s.zoom);
}

using Pixels = std::vector<bool>;

Pixels Differ(const Surface& a, const Surface& b) {
  Pixels out(static_cast<size_t>(a.Width()) * a.Height());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      out[static_cast<size_t>(y) * a.Width() + x] = a.At(x, y) != b.At(x, y);
  return out;
}

int Count(const Pixels& p) { return static_cast<int>(std::count(p.begin(), p.end(), true)); }

int Shared(const Pixels& a, const Pixels& b) {
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] && b[i];
  return n;
}

void Set(std::string& ini, const std::string& key, int value) {
  const size_t at = ini.find("\n" + key + "=");
  ASSERT_NE(at, std::string::npos) << key;
  const size_t end = ini.find_first_of("\r\n", at + 1);
  ini.replace(at + 1, end - at - 1, key + "=" + std::to_string(value));
}

class ThornwickFight {
 public:
  explicit ThornwickFight(const Screen& s) : t_(fs::path(YW_SOURCE_DIR) / "data") {
    const fs::path game = t_.dir.path() / "thornwick";
    fs::copy(fs::path(YW_SOURCE_DIR) / "data/games/thornwick", game, fs::copy_options::recursive);
    test::WriteFile(game / "autoexec.skr", kFight);
    // The program's own settings, on another screen.
    std::string ini = test::ReadFile(fs::path(YW_SOURCE_DIR) / "data/yarrowind.ini");
    Set(ini, "ScreenWidth", s.width);
    Set(ini, "ScreenHeight", s.height);
    Set(ini, "Zoom", s.zoom);
    test::WriteFile(game / "yarrowind.ini", ini);
    e.CurrentDir = game;
    e.PlayAtStart = true;
    e.win.GameMode = Mode::Start;
    Turn();
  }

  void Turn() {
    now_ += 16;
    t_.platform.SetClock(now_);
    LoopTurn(e);
  }
  void Press(GameKey key) {
    t_.platform.SetKey(key, true);
    Turn();
    t_.platform.SetKey(key, false);
    for (int i = 0; i < 3; ++i) Turn();
  }
  void Press(std::initializer_list<GameKey> keys) {
    for (GameKey key : keys) Press(key);
  }
  // Plays on until the given list is open; false when the fight ends or
  // stalls first.
  bool UntilList(int32_t list, int turns = 4000) {
    for (int i = 0; i < turns; ++i) {
      if (e.win.GameMode == Mode::Menu && e.lists.CurrentList == list) return true;
      if (!e.win.FightMode && i > 50) return false;
      Turn();
    }
    return false;
  }
  // A party member's turn at which that member has a number floating over
  // it; other turns are spent waiting.
  bool UntilHurtMembersTurn() {
    for (int round = 0; round < 8; ++round) {
      if (!UntilList(list::kFightMenu)) return false;
      if (MembersNumber() > 0) return true;
      while (e.lists.ListCursor < e.lists.ListRowCount) Press(GameKey::Down);
      Press(GameKey::Enter);  // Wait
    }
    return false;
  }
  // Popups over the figure of the member whose turn it is.
  int MembersNumber() const {
    const World& w = e.world;
    const int s = w.Party[e.win.FightDran].NPC;
    if (s < 1 || s > w.NpcCount) return 0;
    const Npc& figure = w.Npcs[s];
    int n = 0;
    for (int i = 1; i <= w.PopupCount; ++i)
      n += w.Popups[i].x == figure.POS_X && w.Popups[i].y == figure.POS_Y;
    return n;
  }

  Surface Scene() {
    BufFlip(e);
    return e.pics.Frontbuf;
  }
  // The pixels of the enemies' figures on the scene as it stands.
  Pixels Enemies() {
    const Surface shown = e.pics.Frontbuf;
    const Surface with = Scene();
    World& w = e.world;
    std::vector<std::pair<int, int16_t>> kept;
    for (int i = 1; i <= w.EnemyCount; ++i) {
      const int s = w.Enemies[i].NPC;
      if (s < 1 || s > w.NpcCount) continue;
      kept.emplace_back(s, w.Npcs[s].CHAR);
      w.Npcs[s].CHAR = 0;
    }
    const Surface without = Scene();
    for (const auto& [s, character] : kept) w.Npcs[s].CHAR = character;
    e.pics.Frontbuf = shown;
    return Differ(with, without);
  }
  // What the open list adds to the scene under it (with the pointer over
  // the acting member when `pointer`).
  Pixels ListOver(bool pointer) {
    const Surface shown = e.pics.Frontbuf;
    Scene();
    if (pointer) PointAtActingMember(e);
    const Surface under = e.pics.Frontbuf;
    e.pics.Frontbuf = shown;
    return Differ(shown, under);
  }

  test::TestEngine t_;
  Engine& e = t_.engine;

 private:
  Millis now_ = 1000;
};

const Screen kScreens[] = {{640, 480, 2}, {576, 432, 2}, {400, 300, 2},
                           {320, 240, 2}, {320, 240, 1}, {352, 224, 1}};

TEST(FightScene, NoFightListCoversAnEnemyOnAnyScreen) {
  for (const Screen& s : kScreens) {
    SCOPED_TRACE(Name(s));
    ThornwickFight f(s);
    ASSERT_TRUE(f.UntilList(list::kFightMenu));
    const Pixels enemies = f.Enemies();
    ASSERT_GT(Count(enemies), 0) << "the enemies stand on the screen";
    // The fight menu, then each list it opens.
    const auto check = [&](const char* what, bool pointer) {
      const Pixels list = f.ListOver(pointer);
      EXPECT_GT(Count(list), 0) << what << " is drawn";
      EXPECT_EQ(Shared(list, enemies), 0) << what << " covers an enemy";
    };
    check("the fight menu", true);
    f.Press({GameKey::Down, GameKey::Enter});
    ASSERT_EQ(f.e.lists.CurrentList, list::kFightItems);
    check("the item list", true);
    f.Press({GameKey::Esc, GameKey::Down, GameKey::Down, GameKey::Enter});
    ASSERT_EQ(f.e.lists.CurrentList, list::kFightMagic);
    check("the magic list", true);
    f.Press({GameKey::Esc, GameKey::Down, GameKey::Enter});
    f.Press(GameKey::Enter);  // the herb asks whom it is for
    ASSERT_TRUE(f.UntilList(list::kMemberChooser, 200));
    check("the party chooser", false);
  }
}

TEST(FightScene, ThePointerNeverCoversTheNumberTheActingMemberTook) {
  for (const Screen& s : kScreens) {
    SCOPED_TRACE(Name(s));
    ThornwickFight f(s);
    ASSERT_TRUE(f.UntilHurtMembersTurn());
    World& w = f.e.world;
    const int16_t popups = w.PopupCount;
    w.PopupCount = 0;
    const Surface bare = f.Scene();
    w.PopupCount = popups;
    const Surface numbered = f.Scene();
    PointAtActingMember(f.e);
    const Pixels numbers = Differ(bare, numbered);
    const Pixels hand = Differ(numbered, f.e.pics.Frontbuf);
    EXPECT_GT(Count(numbers), 0);
    EXPECT_GT(Count(hand), 0);
    EXPECT_EQ(Shared(numbers, hand), 0);
  }
}

// The fight menu stays as it was (the same entry chosen, the same state)
// while the numbers under it rise; when the last one has run out the scene
// under the menu is shown without it and the picture stands still.
TEST(FightScene, NumbersKeepRisingUnderAnOpenFightMenu) {
  ThornwickFight f({640, 480, 2});
  ASSERT_TRUE(f.UntilHurtMembersTurn());
  f.Press(GameKey::Down);
  const int16_t cursor = f.e.lists.ListCursor;
  const Surface before = f.e.pics.Frontbuf;
  for (int i = 0; i < 20; ++i) f.Turn();
  EXPECT_GT(Count(Differ(before, f.e.pics.Frontbuf)), 0) << "the numbers moved";
  EXPECT_EQ(f.e.win.GameMode, Mode::Menu);
  EXPECT_EQ(f.e.lists.CurrentList, list::kFightMenu);
  EXPECT_EQ(f.e.lists.ListCursor, cursor);

  for (int i = 0; i < 300 && f.e.world.PopupCount > 0; ++i) f.Turn();
  ASSERT_EQ(f.e.world.PopupCount, 0) << "the numbers run out within their 4 seconds";
  const Surface settled = f.e.pics.Frontbuf;
  f.Turn();
  EXPECT_EQ(Count(Differ(settled, f.e.pics.Frontbuf)), 0);
  // What stands is the scene without numbers, the pointer and the menu.
  f.Scene();
  PointAtActingMember(f.e);
  Drawlist(f.e, list::kFightMenu, false);
  EXPECT_EQ(Count(Differ(settled, f.e.pics.Frontbuf)), 0);
}

}  // namespace
}  // namespace yw
