// The fight and reward commands: staging a fight, choosing targets and
// users, DAMAGE and AWARD.
#include <set>
#include <sstream>

#include "interpreter_test_support.h"
#include "script/field_access.h"
#include "world/data_files.h"

namespace yw::test {
namespace {

class Combat : public ScriptFixture {
 protected:
  // A party of the named characters (each joins with HP = MAXHP = 10 x its
  // number, see AddCharacters).
  void Party(std::initializer_list<std::string_view> names) {
    AddCharacters(names);
    for (int i = 1; i <= w().CharacterCount; ++i)
      ASSERT_EQ(RunBody({"ADDCHARACTER " + std::to_string(i)}), 0);
  }
  Character& Member(int i) { return w().Party[i].character; }
  // Enemies made from character 1 with the given hit points.
  void Enemies(std::initializer_list<int> hitPoints) {
    e().win.FightMode = true;
    for (int hp : hitPoints) {
      ASSERT_EQ(RunBody({"ADDENEMY 1"}), 0);
      w().Enemies[w().EnemyCount].character.HP = static_cast<int16_t>(hp);
      w().Enemies[w().EnemyCount].character.MAXHP = static_cast<int16_t>(hp);
    }
  }
  // n figures on the scene; fighters are linked to them by the tests.
  void Figures(int n) {
    w().NpcCount = static_cast<int16_t>(n);
    w().Npcs.Resize(n);
    for (int i = 1; i <= n; ++i) {
      w().Npcs[i].POS_X = static_cast<float>(i);
      w().Npcs[i].POS_Y = 2.4f;
    }
  }
  void EnemyTurn(int n) {
    e().win.FightDran = static_cast<int16_t>(n);
    e().win.FightDranPlayer = false;
  }
  std::vector<std::string> MessageLines() {
    std::vector<std::string> lines;
    std::string text = e().win.Message;
    for (size_t at; (at = text.find("\r\n")) != std::string::npos; text.erase(0, at + 2))
      lines.push_back(text.substr(0, at));
    EXPECT_EQ(text, "") << "every line ends with CR LF";
    return lines;
  }
};

// Every failing line returns its code and changes no hit or experience
// points, and no target.
TEST_F(Combat, FailingLinesGiveTheirCodesAndChangeNothing) {
  Party({"Ayla", "Brom"});
  e().CurrentDir = te.dir.path();
  const std::pair<std::string_view, int> beforeInit[] = {
      {"ADDENEMY 1", 18}, {"ADDENEMY", 15}, {"FIGHTINIT", 15}, {"FIGHTEND", 19},
      {"SELECTTARGET ALLY", 13}, {"SELECTTARGET FOE", 21}, {"FIGHTINIT \"nowhere.map\"", 3},
  };
  for (const auto& [line, code] : beforeInit) EXPECT_EQ(RunBody({line}), code) << line;
  EXPECT_TRUE(std::filesystem::exists(te.dir.path() / "temp.tmp"))
      << "FIGHTINIT wrote the snapshot before it missed the map";
  EXPECT_FALSE(e().win.FightMode);
  e().win.FightMode = true;

  EnemyTurn(1);
  w().TargetIndex = 1;
  w().TargetIsParty = false;
  const std::pair<std::string_view, int> cases[] = {
      {"ADDENEMY 0", 12}, {"ADDENEMY 3", 12}, {"SELECTTARGET", 15}, {"SELECTTARGET FOE", 20},
      {"DAMAGE PARTY \\ 1 \\ 5", 15}, {"DAMAGE ENEMY \\ 1 \\ 5", 15}, {"DAMAGE TARGET \\ 5", 15},
      {"DAMAGE FRIENDS \\ 1 \\ 5", 13}, {"DAMAGE ALL \\ 1 \\ 5", 13},
      {"DAMAGE PARTY \\ 3 \\ 1 \\ 1", 12}, {"DAMAGE PARTY \\ 0 \\ 1 \\ 1", 12},
      {"DAMAGE ENEMY \\ 1 \\ 1 \\ 1", 23}, {"DAMAGE TARGET \\ 1 \\ 1", 23},
      {"DAMAGE USER \\ 1 \\ 1", 23}, {"AWARD ENEMY \\ 1 \\ 1 \\ 1", 13},
      {"AWARD ALLFOE \\ 1 \\ 1", 13}, {"AWARD PARTY \\ 3 \\ 1 \\ 1", 12},
      {"AWARD TARGET \\ 5 \\ 5", 25}, {"AWARD USER \\ 5 \\ 5", 25}, {"AWARD ALL \\ 5", 15},
  };
  for (const auto& [line, code] : cases) EXPECT_EQ(RunBody({line}), code) << line;

  e().win.FightDranPlayer = true;
  e().win.FightDran = 3;
  EXPECT_EQ(RunBody({"SELECTTARGET FRIEND"}), 20);
  e().win.FightDran = 1;
  EXPECT_EQ(RunBody({"SELECTTARGET FOE"}), 21);

  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(Member(i).HP, 10 * i);
    EXPECT_EQ(Member(i).EP, 0);
  }
  EXPECT_EQ(w().EnemyCount, 0);
  EXPECT_EQ(w().TargetIndex, 1);
  EXPECT_EQ(w().PopupCount, 0);
}

// DAMAGE keeps HP within 0..MAXHP, and the number shown is what really
// changed: negative for damage, positive for healing.
TEST_F(Combat, DamageClampsHitPointsAndShowsTheRealChange) {
  Party({"Ayla", "Brom"});  // Brom lives on: numbers float while anyone does
  e().pics.DigitPic.Resize(10, 20);
  w().UnitDefCount = 2;
  w().UnitFrames.Resize(2);
  w().UnitFrames[2].height = 48;
  Member(1).DOODOWN = Member(2).DOODOWN = 2;
  Member(1).MAXHP = 100;
  w().PlayerPosX = 4.5f;  // rounds to the even 4
  w().PlayerPosY = 7.2f;
  struct Case {
    int hp;
    std::string_view line;
    int after, shown;
  } const cases[] = {
      {3, "DAMAGE PARTY \\ 1 \\ 5 \\ 5 \\ POPUP", 0, -3},
      {95, "DAMAGE TARGET \\ -10 \\ -10 \\ popup", 100, 5},
      {50, "DAMAGE PARTY \\ 1 \\ 7 \\ 7 \\ POPUP", 43, -7},
      {120, "DAMAGE PARTY \\ 1 \\ 5 \\ 5 \\ POPUP", 100, -20},  // above MAXHP: brought down
  };
  w().TargetIndex = 1;
  w().TargetIsParty = true;
  for (const Case& c : cases) {
    Member(1).HP = static_cast<int16_t>(c.hp);
    ASSERT_EQ(RunBody({c.line}), 0) << c.line;
    EXPECT_EQ(Member(1).HP, c.after) << c.line;
    ASSERT_GE(w().PopupCount, 1);
    const Popup& p = w().Popups[w().PopupCount];
    EXPECT_EQ(p.number, c.shown) << c.line;
    EXPECT_EQ(p.endTime - p.startTime, 4000);
    EXPECT_EQ(p.x, 4);
    EXPECT_EQ(p.y, 7);
    EXPECT_EQ(p.style, 20 / 5 + 48);
  }

  // Without a living party member, or without the marker, nothing floats.
  const int16_t popups = w().PopupCount;
  EXPECT_EQ(RunBody({"DAMAGE PARTY \\ 1 \\ 1 \\ 1"}), 0);
  Member(1).HP = Member(2).HP = 0;
  EXPECT_EQ(RunBody({"DAMAGE PARTY \\ 1 \\ 1 \\ 1 \\ POPUP"}), 0);
  EXPECT_EQ(w().PopupCount, popups);
}

// The selectors take sides from the acting fighter; every member is hit,
// alive or not, each with its own draw from the range. In a fight numbers
// float above the fighters on the scene.
TEST_F(Combat, DamageSelectorsAndRanges) {
  Party({"Ayla", "Brom"});
  Enemies({1000, 1000, 1000, 1000});
  Figures(3);
  w().Enemies[2].NPC = 3;
  w().Party[2].character.HP = 0;  // fallen, still a member of its side

  e().win.FightDranPlayer = true;  // the party acts: foes are the enemies
  std::set<int> losses;
  for (int round = 0; round < 20; ++round) {
    ASSERT_EQ(RunBody({"DAMAGE ALLFOE \\ 1 \\ 3 \\ POPUP"}), 0);
    int total = 0;
    for (int i = 1; i <= 4; ++i) total += 1000 - w().Enemies[i].character.HP;
    for (int i = 1; i <= 4; ++i) {
      losses.insert(1000 - w().Enemies[i].character.HP);
      w().Enemies[i].character.HP = 1000;
    }
    EXPECT_GE(total, 4);
    EXPECT_LE(total, 12);
  }
  EXPECT_EQ(losses, (std::set<int>{1, 2, 3}));
  EXPECT_EQ(w().PopupCount, 20) << "only enemy 2 stands on the scene";
  EXPECT_EQ(w().Popups[1].x, 3);
  EXPECT_EQ(w().Popups[1].y, 2);
  EXPECT_EQ(Member(1).HP, 10);

  ASSERT_EQ(RunBody({"DAMAGE ALLFRIEND \\ -5 \\ -5"}), 0);
  EXPECT_EQ(Member(1).HP, 10);  // already full
  EXPECT_EQ(Member(2).HP, 5);   // the fallen are healed too
  EnemyTurn(4);
  ASSERT_EQ(RunBody({"DAMAGE ALLFOE \\ 2 \\ 2", "DAMAGE USER \\ 10 \\ 10", "DAMAGE ENEMY \\ 1 \\ 7 \\ 7"}), 0);
  EXPECT_EQ(Member(1).HP, 8);
  EXPECT_EQ(Member(2).HP, 3);
  EXPECT_EQ(w().Enemies[4].character.HP, 990);
  EXPECT_EQ(w().Enemies[1].character.HP, 993);
}

// The marker must be POPUP; a wrong one fails after the first member has
// been hit. With more parameters than the marker's place it is ignored.
TEST_F(Combat, DamageMarker) {
  Party({"Ayla", "Brom"});
  EXPECT_EQ(RunBody({"DAMAGE ALLFOE \\ 1 \\ 1 \\ BOOM"}), 13);  // the enemy acts: foes are the party
  EXPECT_EQ(Member(1).HP, 9);
  EXPECT_EQ(Member(2).HP, 20);
  EXPECT_EQ(RunBody({"DAMAGE PARTY \\ 2 \\ 1 \\ 1 \\ BOOM \\ more"}), 0);
  EXPECT_EQ(Member(2).HP, 19);
}

// A level-1 member with 5 EP given 10 reaches level 2: HP and MAXHP
// double, magic points too when it has any, and the message reports it
// line by line; each attribute line names the gain the attribute got.
TEST_F(Combat, AwardRaisesLevelsAndReportsThem) {
  Party({"Ayla", "Brom"});
  Member(1).EP = 5;
  Member(1).MAXMP = 7;
  Member(1).MP = 3;
  Member(2).HP = 15;
  Member(2).EP = 0;
  const Character before1 = Member(1), before2 = Member(2);

  ASSERT_EQ(RunBody({"AWARD PARTY \\ 1 \\ 10 \\ 10 \\ MSG"}), 0);
  EXPECT_EQ(e().win.GameMode, 5);
  EXPECT_EQ(Member(1).EP, 15);
  EXPECT_EQ(LevelFromEP(Member(1).EP), 2);
  EXPECT_EQ(Member(1).HP, 20);
  EXPECT_EQ(Member(1).MAXHP, 20);
  EXPECT_EQ(Member(1).MP, 6);
  EXPECT_EQ(Member(1).MAXMP, 14);
  std::vector<std::string> lines = MessageLines();
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "Ayla: + 10EP");
  EXPECT_EQ(lines[1], "Ayla reaches Level 2!");
  EXPECT_EQ(lines[2], "MaxHP: +10");
  EXPECT_EQ(lines[3], "MaxMP: +7");
  EXPECT_EQ(lines.back(), "");
  const std::pair<std::string, int16_t Character::*> attributes[] = {
      {"Wisdom: +", &Character::WIS},     {"Strenght: +", &Character::STR},
      {"Dexterity: +", &Character::DEX},  {"Initiative: +", &Character::INI},
      {"Constitution: +", &Character::CON},
  };
  size_t at = 4;
  for (const auto& [label, field] : attributes) {
    const int gain = Member(1).*field - before1.*field;
    if (at < lines.size() && lines[at].starts_with(label)) {
      EXPECT_EQ(lines[at], label + std::to_string(gain));
      EXPECT_GE(gain, 1);
      EXPECT_LE(gain, 5);
      ++at;
    } else {
      EXPECT_EQ(gain, 0) << label;  // attributes of 0 always lose the contest: see below
    }
  }
  EXPECT_EQ(at, lines.size() - 1);
  // Attributes of 0 never win a contest, so all five grew.
  EXPECT_EQ(lines.size(), 4u + 5u + 1u);

  // Two levels at once (EP 0 to 31): HP x 2 x 1.5; no MP line without
  // magic; one block per level. A fallen member gets nothing.
  Member(1).HP = 0;
  ASSERT_EQ(RunBody({"AWARD ALL \\ 31 \\ 31 \\ msg"}), 0);
  EXPECT_EQ(Member(1).EP, 15);
  EXPECT_EQ(Member(2).EP, 31);
  EXPECT_EQ(Member(2).HP, 45);
  EXPECT_EQ(Member(2).MAXHP, 60);
  EXPECT_EQ(Member(2).MAXMP, before2.MAXMP);
  lines = MessageLines();
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Brom: + 31EP");
  EXPECT_EQ(lines[1], "Brom reaches Level 3!");
  EXPECT_EQ(lines[2], "MaxHP: +20");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), ""), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "MaxHP: +20"), 2);
}

// EP stop at the largest value they hold; without the marker no message
// opens; a negative award shows its sign without the blank.
TEST_F(Combat, AwardLimitsAndMarker) {
  Party({"Ayla"});
  Member(1).EP = 32000;
  Member(1).HP = Member(1).MAXHP = 1;
  ASSERT_EQ(RunBody({"AWARD PARTY \\ 1 \\ 30000 \\ 30000"}), 0);
  EXPECT_EQ(Member(1).EP, 32767);
  EXPECT_EQ(LevelFromEP(32767), 81);
  EXPECT_EQ(e().win.GameMode, 8);
  ASSERT_EQ(RunBody({"AWARD ALL \\ -7 \\ -7 \\ MSG"}), 0);
  EXPECT_EQ(MessageLines().at(0), "Ayla: +-7EP");
  EXPECT_EQ(RunBody({"AWARD ALL \\ 1 \\ 1 \\ MESSAGE"}), 13);
  EXPECT_EQ(Member(1).EP, 32761) << "the member got its EP before the marker was read";
}

// On an enemy's turn the target is drawn among the fighters on the scene:
// FOE from the party, FRIEND from the enemies; with nobody there it stays.
TEST_F(Combat, EnemyChoosesTargetsAtRandom) {
  Party({"Ayla", "Brom", "Cato"});
  Enemies({5, 5});
  Figures(4);
  w().Party[1].NPC = 1;
  w().Party[3].NPC = 2;
  w().Party[2].NPC = 9;  // not on the scene
  EnemyTurn(2);
  std::set<int> chosen;
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(RunBody({"SELECTTARGET FOE"}), 0);
    EXPECT_TRUE(w().TargetIsParty);
    chosen.insert(w().TargetIndex);
  }
  EXPECT_EQ(chosen, (std::set<int>{1, 3}));

  const int16_t last = w().TargetIndex;
  ASSERT_EQ(RunBody({"SELECTTARGET FRIEND"}), 0);
  EXPECT_EQ(w().TargetIndex, last) << "no enemy on the scene: unchanged";
  EXPECT_TRUE(w().TargetIsParty);
  w().Enemies[2].NPC = 4;
  ASSERT_EQ(RunBody({"SELECTTARGET friend"}), 0);
  EXPECT_EQ(w().TargetIndex, 2);
  EXPECT_FALSE(w().TargetIsParty);
  EXPECT_EQ(e().win.GameMode, 8);
}

// The player chooses through the lists: SELECTTARGET FRIEND and SELECTUSER
// open the party chooser, SELECTTARGET FOE the enemy pointer; each waits.
TEST_F(Combat, PlayerChoosesTargetsAndUsers) {
  Party({"Ayla"});
  ASSERT_EQ(RunBody({"SELECTUSER", "A 1"}), 0);
  EXPECT_TRUE(w().ChoosingUser);
  EXPECT_EQ(e().win.GameMode, 7);
  EXPECT_FALSE(Var('A').value.IsNumber()) << "the script waits for the choice";

  ASSERT_EQ(RunBody({"SELECTTARGET FRIEND"}), 0);
  EXPECT_FALSE(w().ChoosingUser);
  EXPECT_EQ(e().win.GameMode, 7);

  Enemies({5});
  Figures(2);
  w().Enemies[1].NPC = 2;
  e().win.FightDranPlayer = true;
  e().win.FightDran = 1;
  ASSERT_EQ(RunBody({"SELECTTARGET FOE"}), 0);
  EXPECT_EQ(e().win.GameMode, 13);
  // In a fight the user is the fighter whose turn it is: no question.
  w().ChoosingUser = false;
  ASSERT_EQ(RunBody({"SELECTUSER", "A 2"}), 0);
  EXPECT_EQ(Var('A').value.Number(), 2);
  EXPECT_FALSE(w().ChoosingUser);
}

// FIGHTINIT keeps the world in the snapshot and loads the fight map;
// ADDENEMY copies characters armed with their standard gear; FIGHTSTART
// sets the scene up and hands over to the rounds; FIGHTEND brings the map,
// the NPCs and the player's place back but keeps what the fight did to the
// party.
TEST_F(Combat, FightFromInitToEnd) {
  e().CurrentDir = te.dir.path();
  WriteFile(te.dir.path() / "autoexec.skr", "BEGIN\r\nEND\r\n");
  auto writeMap = [&](const std::string& name, int width, int height) {
    MapFileData map;
    map.tilemapFile = "tiles.til";
    map.width = static_cast<int16_t>(width);
    map.height = static_cast<int16_t>(height);
    map.tiles.assign(static_cast<size_t>(width * height), 1);
    WriteFile(te.dir.path() / name, WriteMapFile(map));
  };
  TileSheetFile tiles;
  tiles.tileWidth = tiles.tileHeight = 32;
  tiles.tiles = {TileDef{0, 0, 1}};
  WriteFile(te.dir.path() / "tiles.til", WriteTileSheetFile(tiles));
  writeMap("town.map", 20, 15);
  writeMap("arena.map", 12, 8);

  Party({"Ayla", "Wolf"});
  w().Characters[2].STDWEP = 4;
  w().Characters[2].STDARM = 5;
  ASSERT_EQ(RunBody({"LOADMAP \"town.map\" \\ ALLES", "SETPOS 7 \\ 9", "ADDNPC 2"}), 0);
  ASSERT_EQ(RunBody({"FIGHTINIT \"ARENA.MAP\"", "ADDENEMY 2", "ADDENEMY 1 + 1"}), 0);
  EXPECT_TRUE(e().win.FightMode);
  EXPECT_TRUE(std::filesystem::exists(te.dir.path() / "temp.tmp"));
  EXPECT_EQ(w().MapWidth, 12);
  EXPECT_EQ(w().NpcCount, 0);
  ASSERT_EQ(w().EnemyCount, 2);
  const Enemy& wolf = w().Enemies[2];
  EXPECT_EQ(wolf.STATE, 1);
  EXPECT_EQ(wolf.character.NAME, "Wolf");
  EXPECT_EQ(wolf.character.WEP, 4);
  EXPECT_EQ(wolf.character.ARM, 5);

  e().win.ScreenHeight = 240;  // 7.5 tiles: 8 by rounding, 3 fighters a side
  ASSERT_EQ(RunBody({"FIGHTSTART 2", "A 1"}), 0);
  EXPECT_EQ(e().win.GameMode, 12);
  EXPECT_EQ(e().win.FightRounds, 2);
  EXPECT_EQ(w().NpcCount, 6);
  EXPECT_FALSE(Var('A').value.IsNumber()) << "the script waits for the fight";

  Member(1).HP = 4;
  Member(1).EP = 40;
  w().Party[1].NPC = 1;
  ASSERT_EQ(RunBody({"FIGHTEND"}), 0);
  EXPECT_FALSE(e().win.FightMode);
  EXPECT_EQ(w().EnemyCount, 0);
  EXPECT_EQ(w().MapWidth, 20);
  EXPECT_EQ(w().PlayerPosX, 7);
  EXPECT_EQ(w().PlayerPosY, 9);
  ASSERT_EQ(w().NpcCount, 1);
  EXPECT_EQ(w().Npcs[1].CHAR, 2);
  EXPECT_EQ(Member(1).HP, 4);
  EXPECT_EQ(Member(1).EP, 40);
  EXPECT_EQ(w().Party[1].NPC, 0);
}

}  // namespace
}  // namespace yw::test
