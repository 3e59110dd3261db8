// What the F3 overlay tells an author: the cell under the player and the
// one ahead with the NPC standing there, the party's condition, the items'
// NUMBER and VALUE, and a frame rate that counts the game's own frames per
// second of game time.
#include "shell/debug_overlay.h"

#include <algorithm>

#include "core/window_state.h"
#include "shell/author_tools.h"
#include "test_support.h"

namespace yw {
namespace {

class OverlayLines : public ::testing::Test {
 protected:
  OverlayLines() {
    w.MapWidth = w.MapHeight = 5;
    w.MapTiles.Reset(5, 5);
    w.MapEvents.Reset(5, 5);
    w.PlayerPosX = 2, w.PlayerPosY = 2, w.PlayerDirection = 4;  // facing right
    w.MapEvents(2, 2).ENTERSCRIPT = "porch.skr";
    w.MapEvents(3, 2).USESCRIPT = "door.skr";
    w.CharacterCount = 2, w.Characters.Resize(2);
    w.Characters[1].NAME = "Hero";
    w.Characters[2].NAME = "Guard";
    w.PartyCount = 1, w.Party.Resize(1);
    w.Party[1].NAME = "Ash";
    w.Party[1].character.HP = 7, w.Party[1].character.MAXHP = 12;
    w.Party[1].character.MP = 1, w.Party[1].character.MAXMP = 4;
    w.ItemCount = 2, w.Items.Resize(2);
    w.Items[1].NAME = "Key", w.Items[1].NUMBER = 2, w.Items[1].VALUE = 7;
    w.Items[2].NAME = "Chapter", w.Items[2].VALUE = 3;
  }
  void AddNpc(float x, float y, int16_t character, std::string script) {
    ++w.NpcCount;
    w.Npcs.Resize(w.NpcCount);
    w.Npcs[w.NpcCount].POS_X = x, w.Npcs[w.NpcCount].POS_Y = y;
    w.Npcs[w.NpcCount].CHAR = character;
    w.Npcs[w.NpcCount].SCRIPT = std::move(script);
  }
  bool Shows(std::string_view text) {
    const std::vector<std::string> lines = DebugOverlayLines(t.engine);
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(text) != l.npos; });
  }
  std::string All() {
    std::string all;
    for (const std::string& l : DebugOverlayLines(t.engine)) all += l + "\n";
    return all;
  }

  test::TestEngine t;
  World& w = t.engine.world;
};

TEST_F(OverlayLines, TheCellUnderfootTheCellAheadAndItsNpc) {
  AddNpc(4, 4, 1, "elsewhere.skr");
  AddNpc(3, 2, 2, "guard.skr");
  EXPECT_TRUE(Shows("Here 2,2: ENTERSCRIPT porch.skr")) << All();
  EXPECT_TRUE(Shows("Ahead 3,2: ENTERSCRIPT -")) << All();
  EXPECT_TRUE(Shows("USESCRIPT door.skr")) << All();
  // The NPC a use would find: the one standing ahead, not the first.
  EXPECT_TRUE(Shows("NPC 2 Guard (CHAR 2)  SCRIPT guard.skr")) << All();
  EXPECT_FALSE(Shows("elsewhere.skr")) << All();
  // An NPC halfway to the cell is not there yet.
  w.Npcs[2].POS_X = 3.5f;
  EXPECT_FALSE(Shows("NPC 2")) << All();
}

TEST_F(OverlayLines, PartyItemsAndInAFightTheEnemies) {
  EXPECT_TRUE(Shows("Ash HP 7/12 MP 1/4")) << All();
  EXPECT_TRUE(Shows("1 Key 2/7")) << All();
  EXPECT_TRUE(Shows("2 Chapter 0/3")) << All();
  EXPECT_FALSE(Shows("Enemies")) << All();
  t.engine.win.FightMode = true;
  w.EnemyCount = 1, w.Enemies.Resize(1);
  w.Enemies[1].character.NAME = "Wolf", w.Enemies[1].character.HP = 3;
  w.Enemies[1].character.MAXHP = 8;
  EXPECT_TRUE(Shows("1 Wolf HP 3/8")) << All();
}

TEST_F(OverlayLines, ManyItemsAreCountedNotDrawnOffThePanel) {
  w.ItemCount = 60, w.Items.Resize(60);
  for (int i = 3; i <= 60; ++i) w.Items[i].NAME = "Token" + std::to_string(i);
  const std::vector<std::string> lines = DebugOverlayLines(t.engine);
  const auto first = std::find_if(lines.begin(), lines.end(),
                                  [](const std::string& l) { return l.starts_with("Items"); });
  ASSERT_NE(first, lines.end());
  const auto last = first + 3;
  ASSERT_LT(last, lines.end());
  EXPECT_NE(last->find(" more"), std::string::npos) << All();
  EXPECT_FALSE(Shows("Token60")) << All();
  for (const std::string& l : lines) EXPECT_LE(l.size(), 80u) << l;
}

TEST_F(OverlayLines, FramesPerSecondCountTheGamesFramesOverGameTime) {
  t.engine.author.overlayAllowed = true;
  PressOverlay(t.engine);
  auto at = [&](Millis ms) { t.platform.SetClock(ms); };
  // Ten frames a second for two seconds, the overlay refreshed in between.
  for (Millis ms = 0; ms <= 2000; ms += 100) {
    at(ms);
    t.engine.Show();
    at(ms + 50);
    AuthorToolsTurn(t.engine);
  }
  EXPECT_TRUE(Shows("FPS 10")) << All();
  // Nothing drawn for three seconds: the rate falls to 0 although the
  // overlay itself kept being drawn.
  for (Millis ms = 2050; ms <= 5000; ms += 300) {
    at(ms);
    AuthorToolsTurn(t.engine);
  }
  EXPECT_TRUE(Shows("FPS 0")) << All();
}

}  // namespace
}  // namespace yw
