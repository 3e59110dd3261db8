// The fight rounds: fighters entering and leaving the scene, the order of
// turns by initiative, the round limit, enemy weapon scripts, and the end
// of a fight.
#include <algorithm>
#include <set>

#include "audio/sound.h"
#include "fake_audio_device.h"
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
  static void Fighter(yw::Character& c, int ini, int hp) {
    c.INI = static_cast<int16_t>(ini);
    c.HP = c.MAXHP = static_cast<int16_t>(hp);
  }
  void Member(const std::string& name, int ini, int hp = 10) {
    w().Party.Resize(++w().PartyCount);
    PartyMember& m = w().Party[w().PartyCount];
    m = PartyMember{name, 1, w().Characters[Character(name)], 0, false};
    Fighter(m.character, ini, hp);
  }
  void Foe(int ini, int hp = 10, int wep = 0, int stdwep = 0) {
    w().Enemies.Resize(++w().EnemyCount);
    Enemy& en = w().Enemies[w().EnemyCount];
    en = Enemy{1, {}, 0, false, Character("Wolf")};
    Fighter(en.character, ini, hp);
    en.character.WEP = static_cast<int16_t>(wep);
    en.character.STDWEP = static_cast<int16_t>(stdwep);
  }
  // An item whose fight script is `script` (a one-line script of that name
  // exists when the name is not empty).
  void Weapon(const std::string& script) {
    w().Items.Resize(++w().ItemCount);
    w().Items[w().ItemCount].FIGHTSCRIPT = script;
    if (script.empty()) return;
    w().Scripts.Resize(++w().ScriptCount);
    w().Scripts[w().ScriptCount] = ScriptEntry{"BEGIN\r\nEND\r\n' " + script, script};
  }
  void Start(int rounds) {
    PrepareFight(e);
    e.win.FightRounds = static_cast<int16_t>(rounds);
    e.win.GameMode = 12;
  }
  // One fight turn, as the main loop would run it: cut-scenes end at once.
  // Returns whose turn it was ("P2", "E1") or "end" when the fight is over.
  // A party member waits; an enemy's weapon script is taken off the stack.
  std::string Act() {
    for (int guard = 0; guard < 10; ++guard) {
      const int16_t depth = w().ScriptDepth;
      FightRoundFrame(e);
      const int32_t mode = e.win.GameMode;
      if (mode == 9) {
        EXPECT_TRUE(e.win.FightAfterMovie);
        StopMovie(e);
        EXPECT_EQ(e.win.GameMode, 12);
        continue;
      }
      const std::string who = (e.win.FightDranPlayer ? "P" : "E") + std::to_string(e.win.FightDran);
      if (mode == 7) {
        e.win.GameMode = 12;
        return who;
      }
      if (mode == 8 && w().ScriptDepth == depth) return "end";
      if (mode == 8) {
        scripts.push_back(*w().ScriptStack[w().ScriptDepth].text);
        EXPECT_EQ(w().ScriptStack[w().ScriptDepth].returnMode, 12);
        --w().ScriptDepth;
        e.win.GameMode = 12;
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
  std::vector<std::string> scripts;
};

// The scene has three slots a side; the party waits right of the view and
// jumps in facing left, the enemies wait left of it and jump in facing
// right. Each figure shows its fighter's character.
TEST_F(FightRounds, FightersJumpOntoTheirSideOfTheScene) {
  Member("Ayla", 1);
  Member("Brom", 1);
  Foe(1);
  Start(0);
  ASSERT_EQ(w().NpcCount, 6);
  e.win.FightMode = true;
  w().PlayerPosX = w().PlayerPosY = 14;  // out of sight: the view stays at the corner
  FightRoundFrame(e);
  EXPECT_EQ(e.win.GameMode, 9);
  EXPECT_EQ(e.view.ViewX, 1);
  EXPECT_EQ(e.view.ViewY, 1);
  EXPECT_EQ(w().Party[1].NPC, 1);
  EXPECT_EQ(w().Party[2].NPC, 2);
  EXPECT_EQ(w().Enemies[1].NPC, 4);
  const Npc& brom = w().Npcs[2];
  EXPECT_EQ(brom.CHAR, 2);
  EXPECT_EQ(brom.DIRECTION, 3);
  EXPECT_EQ(brom.actor.action, ActorAction::Jump);
  EXPECT_EQ(brom.actor.direction, 3);
  EXPECT_EQ(brom.actor.speed, 4.0f);
  // The jump started: one cell of the two (11 - (10 - 1)) is under way.
  EXPECT_EQ(brom.POS_X, 10);
  EXPECT_EQ(brom.actor.steps, 2);
  EXPECT_EQ(brom.actor.stepsGiven, 4);
  const Npc& wolf = w().Npcs[4];
  EXPECT_EQ(wolf.CHAR, w().Enemies[1].CHAR);
  EXPECT_EQ(wolf.POS_X, 1);
  EXPECT_EQ(wolf.actor.direction, 4);
  EXPECT_EQ(wolf.actor.stepsGiven, 4);
  EXPECT_NE(brom.POS_Y, w().Npcs[1].POS_Y);
  EXPECT_EQ(w().Npcs[3].actor.active, false) << "a free slot stays idle";
}

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

// A fighter who falls leaves with "death.wav" before anyone else acts and
// frees its slot for a fighter still waiting; the fight ends when a side
// is gone.
TEST_F(FightRounds, TheFallenLeaveAndTheLastSideStandingWins) {
  FakeAudioDevice fake;
  te.platform.SetAudio(&fake);
  e.win.SoundOn = true;
  SoundInit(e);
  WriteFile(te.dir.path() / "death.wav", "RIFF");
  Member("Ayla", 1);
  for (int i = 0; i < 4; ++i) Foe(5 - i);  // one more than the scene holds
  Start(0);
  EXPECT_EQ(Acts(5), (std::vector<std::string>{"E1", "E2", "E3", "P1", "E1"}));
  EXPECT_EQ(w().Enemies[4].NPC, 0) << "no room for the fourth";

  fake.calls.clear();
  w().Enemies[2].character.HP = 0;
  const int16_t slot = w().Enemies[2].NPC;
  FightRoundFrame(e);
  EXPECT_EQ(e.win.GameMode, 9);
  EXPECT_EQ(w().Enemies[2].NPC, 0);
  const ActorOrder& leave = w().Npcs[slot].actor;
  EXPECT_EQ(leave.action, ActorAction::Leave);
  EXPECT_EQ(leave.direction, 3);
  EXPECT_EQ(leave.speed, 1.0f);
  EXPECT_EQ(std::count_if(fake.calls.begin(), fake.calls.end(),
                          [](const std::string& c) { return c.starts_with("SampleLoad death.wav"); }),
            1);
  StopMovie(e);
  FightRoundFrame(e);  // the fourth enemy takes the freed slot
  EXPECT_EQ(w().Enemies[4].NPC, slot);
  StopMovie(e);

  for (int i = 1; i <= 4; ++i) w().Enemies[i].character.HP = 0;
  EXPECT_EQ(Act(), "end");
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(w().Enemies[i].NPC, 0);
}

TEST_F(FightRounds, DefeatAndAFightWithoutEnemiesEndAtOnce) {
  Member("Ayla", 0);
  Foe(1, 0);  // fallen before the fight
  Start(0);
  EXPECT_EQ(Act(), "end");
  EXPECT_FALSE(w().Party[1].acted);

  Foe(1);
  EXPECT_EQ(Act(), "E2");
  w().Party[1].character.HP = 0;
  EXPECT_EQ(Act(), "end");
}

// An enemy tosses a coin between its weapon and its standard weapon; an
// item without a fight script counts as none, and with neither the enemy
// loses its turn.
TEST_F(FightRounds, EnemiesAttackWithTheirWeaponScripts) {
  Weapon("bite.skr");
  Weapon("claw.skr");
  Weapon("");
  Member("Ayla", 0);
  Foe(5, 10, 1, 2);
  Start(0);
  for (int i = 0; i < 30; ++i) {
    e.win.Wait4Relase = false;
    e.pics.Extrabuf.Resize(8, 8);
    ASSERT_EQ(Act(), "E1");
    EXPECT_TRUE(e.win.Wait4Relase);
    EXPECT_EQ(e.pics.Extrabuf.Width(), 1);
    ASSERT_EQ(Act(), "P1");
  }
  const std::string bite = w().Scripts[1].Text, claw = w().Scripts[2].Text;
  EXPECT_EQ(std::set<std::string>(scripts.begin(), scripts.end()), (std::set<std::string>{bite, claw}));

  scripts.clear();
  w().Enemies[1].character.WEP = 3;  // no fight script: the standard weapon always
  for (int i = 0; i < 10; ++i) Acts(2);
  EXPECT_EQ(scripts, std::vector<std::string>(10, claw));

  scripts.clear();
  w().Enemies[1].character.STDWEP = 9;  // beyond the items
  EXPECT_EQ(Acts(2), (std::vector<std::string>{"E1", "P1"}));
  EXPECT_TRUE(scripts.empty());
}

}  // namespace
}  // namespace yw::test
