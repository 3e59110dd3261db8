// The fight rounds: the order of turns by initiative with random ties, the
// round limit, and a fight that ends at once.
#include <algorithm>
#include <set>

#include "sim/actors.h"
#include "sim/fight_rounds.h"
#include "sim/sim_states.h"
#include "test_support.h"

namespace yw::test {
namespace {

class FightRounds : public ::testing::Test {
 protected:
  FightRounds() {
    World& wd = w();
    wd.TileWidth = wd.TileHeight = 32;
    e.win.ScreenWidth = 320;
    e.win.ScreenHeight = 240;  // 7.5 tiles: 8 by rounding, 3 fighters a side
    e.win.ScreenTileWidth = 10;
    e.win.ScreenTileHeight = 8;
    wd.MapWidth = 14;
    wd.MapHeight = 10;
    wd.MapTiles.Reset(14, 10);
    e.CurrentDir = te.dir.path();
  }
  World& w() { return e.world; }

  int16_t Character(const std::string& name) {
    w().Characters.Resize(++w().CharacterCount);
    w().Characters[w().CharacterCount].NAME = name;
    return w().CharacterCount;
  }
  // Every fighter has 10 HP.
  static void Fighter(yw::Character& c, int ini) {
    c.INI = static_cast<int16_t>(ini);
    c.HP = c.MAXHP = 10;
  }
  void Member(const std::string& name, int ini) {
    w().Party.Resize(++w().PartyCount);
    PartyMember& m = w().Party[w().PartyCount];
    m = PartyMember{name, 1, w().Characters[Character(name)], 0, false};
    Fighter(m.character, ini);
  }
  void Foe(int ini) {
    w().Enemies.Resize(++w().EnemyCount);
    Enemy& en = w().Enemies[w().EnemyCount];
    en = Enemy{1, {}, 0, false, Character("Wolf")};
    Fighter(en.character, ini);
  }
  void Start(int rounds) {
    PrepareFight(e);
    e.win.FightRounds = static_cast<int16_t>(rounds);
    e.win.GameMode = Mode::FightRound;
  }
  // One fight turn, as the main loop would run it: cut-scenes end at once.
  // Returns whose turn it was ("P2", "E1") or "end" when the fight is over.
  // A party member waits; an enemy's weapon script is taken off the stack.
  std::string Act() {
    for (int guard = 0; guard < 10; ++guard) {
      const int16_t depth = w().ScriptDepth;
      FightRoundFrame(e);
      const auto mode = static_cast<int32_t>(e.win.GameMode);
      if (mode == 9) {
        EXPECT_TRUE(e.win.FightAfterMovie);
        StopMovie(e);
        EXPECT_EQ(e.win.GameMode, Mode::FightRound);
        continue;
      }
      const std::string who = (e.win.FightDranPlayer ? "P" : "E") + std::to_string(e.win.FightDran);
      if (mode == 7) {
        e.win.GameMode = Mode::FightRound;
        return who;
      }
      if (mode == 8 && w().ScriptDepth == depth) return "end";
      if (mode == 8) {
        EXPECT_EQ(w().ScriptStack[w().ScriptDepth].returnMode, Mode::FightRound);
        --w().ScriptDepth;
        e.win.GameMode = Mode::FightRound;
      }
      return who;
    }
    ADD_FAILURE() << "no fighter's turn after ten cut-scenes";
    return "stuck";
  }
  std::vector<std::string> Acts(int n) {
    std::vector<std::string> order;
    for (int i = 0; i < n; ++i) order.push_back(Act());
    return order;
  }

  TestEngine te;
  Engine& e = te.engine;
};

// Highest INI first; equal INI in random order at each round; everyone on
// the scene acts once per round.
TEST_F(FightRounds, TurnsFollowInitiativeWithRandomTies) {
  Member("Ayla", 5);
  Member("Brom", 9);
  Foe(7);
  Foe(7);
  Start(0);
  std::set<std::vector<std::string>> orders;
  for (int round = 0; round < 30; ++round) {
    const std::vector<std::string> order = Acts(4);
    ASSERT_EQ(order.front(), "P2");
    ASSERT_EQ(order.back(), "P1");
    ASSERT_TRUE(std::is_permutation(order.begin() + 1, order.end() - 1,
                                    std::vector<std::string>{"E1", "E2"}.begin()))
        << order[1] << order[2];
    orders.insert(order);
  }
  EXPECT_EQ(orders.size(), 2u) << "both enemies go first sometimes";
}

// FightRounds 1 is the last round; above 1 it counts down; 0 never ends.
TEST_F(FightRounds, RoundLimit) {
  for (const int rounds : {1, 3, 0}) {
    SCOPED_TRACE(rounds);
    w().PartyCount = w().EnemyCount = 0;
    Member("Ayla", 3);
    Foe(2);
    Start(rounds);
    const std::vector<std::string> turns = Acts(rounds == 0 ? 20 : 2 * rounds + 1);
    if (rounds == 0) {
      EXPECT_EQ(std::count(turns.begin(), turns.end(), "end"), 0);
      EXPECT_EQ(e.win.FightRounds, 0);
    } else {
      EXPECT_EQ(turns.back(), "end");
      EXPECT_EQ(std::count(turns.begin(), turns.end(), "P1"), rounds);
      EXPECT_EQ(std::count(turns.begin(), turns.end(), "E1"), rounds);
      EXPECT_EQ(e.win.FightRounds, 1);
    }
    w().Party.Reset();
    w().Enemies.Reset();
  }
}

}  // namespace
}  // namespace yw::test
