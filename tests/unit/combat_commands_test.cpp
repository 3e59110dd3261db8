// The fight and reward commands: their codes, choosing targets and users,
// DAMAGE and AWARD. A whole fight with FIGHTINIT and FIGHTEND is played by
// the end-to-end fight game.

#include "interpreter_test_support.h"
#include "script/field_access.h"
#include "world/data_files.h"
#include "sim/game_files.h"

namespace yw::test {
namespace {

class Combat : public ScriptFixture {
 protected:
  // A party of the named characters (HP = MAXHP = 10 x its number).
  void Party(std::initializer_list<std::string_view> names) {
    AddCharacters(names);
    for (int i = 1; i <= w().CharacterCount; ++i)
      ASSERT_EQ(RunBody({"ADDCHARACTER " + std::to_string(i)}), 0);
  }
  Character& Member(int i) { return w().Party[i].character; }
  void Turn(bool party, int n) {
    e().win.FightDran = static_cast<int16_t>(n);
    e().win.FightDranPlayer = party;
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
// points and no target.
TEST_F(Combat, FailingLinesGiveTheirCodesAndChangeNothing) {
  Party({"Ayla", "Brom"});
  const std::pair<std::string_view, int> outside[] = {
      {"ADDENEMY 1", 18},        {"FIGHTINIT", 15},        {"FIGHTEND", 19},
      {"SELECTTARGET ALLY", 13}, {"SELECTTARGET FOE", 21},
  };
  for (const auto& [line, code] : outside) EXPECT_EQ(RunBody({line}), code) << line;
  EXPECT_FALSE(e().win.FightMode);

  e().win.FightMode = true;
  Turn(false, 1);
  w().TargetIndex = 1;
  w().TargetIsParty = false;
  const std::pair<std::string_view, int> inFight[] = {
      {"ADDENEMY 3", 12},
      {"SELECTTARGET", 15},
      {"SELECTTARGET FOE", 20},
      {"DAMAGE PARTY \\ 1 \\ 5", 15},
      {"DAMAGE ALL \\ 1 \\ 5", 13},
      {"DAMAGE PARTY \\ 3 \\ 1 \\ 1", 12},
      {"DAMAGE TARGET \\ 1 \\ 1", 23},
      {"AWARD ENEMY \\ 1 \\ 1 \\ 1", 13},
      {"AWARD TARGET \\ 5 \\ 5", 25},
      {"AWARD USER \\ 5 \\ 5", 25},
  };
  for (const auto& [line, code] : inFight) EXPECT_EQ(RunBody({line}), code) << line;
  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(Member(i).HP, 10 * i);
    EXPECT_EQ(Member(i).EP, 0);
  }
  EXPECT_EQ(w().EnemyCount, 0);
  EXPECT_EQ(w().TargetIndex, 1);
  EXPECT_EQ(w().PopupCount, 0);
}

// FIGHTINIT writes the snapshot, then loads the fight map with its sheets
// and clears the scene; FIGHTEND brings the world back. A snapshot that
// cannot be written stops it before the map (17); a map that is there but
// will not load fails after the snapshot (4).
TEST_F(Combat, FightInitLoadsTheArenaAndFightEndRestoresTheWorld) {
  const std::filesystem::path dir = te.dir.path();
  e().CurrentDir = dir;
  WriteFile(dir / "arena.map", WriteMapFile({"arena.til", "", 2, 2, {1, 1, 1, 1}, {}}));
  WriteFile(dir / "arena.til", WriteTileSheetFile({"", 16, 16, {{0, 0, 1}}}));
  WriteFile(dir / "broken.map", "xx");
  MakeMap(6, 5);
  for (int y = 1; y <= 5; ++y)
    for (int x = 1; x <= 6; ++x) w().MapTiles(x, y).TILE = 1;
  w().MapFile = "town.map";
  Party({"Ayla"});
  ASSERT_EQ(RunBody({"ADDNPC 1", "ADDNPC 1"}), 0);

  ASSERT_EQ(RunBody({"FIGHTINIT \"arena.map\"", "ADDENEMY 1"}), 0);
  EXPECT_TRUE(e().win.FightMode);
  EXPECT_EQ(ReadSaveDescription(e(), "temp.tmp"), "FightTemp");
  EXPECT_EQ(w().MapFile, "arena.map");
  EXPECT_EQ(w().TilemapFile, "arena.til");
  EXPECT_EQ(w().TileDefCount, 1);
  EXPECT_EQ(w().NpcCount, 0);
  EXPECT_EQ(w().EnemyCount, 1);
  ASSERT_EQ(RunBody({"FIGHTEND"}), 0);
  EXPECT_FALSE(e().win.FightMode);
  EXPECT_EQ(w().MapFile, "town.map");
  EXPECT_EQ(w().MapWidth, 6);
  EXPECT_EQ(w().NpcCount, 2);
  EXPECT_EQ(w().EnemyCount, 0);

  std::filesystem::remove(dir / "temp.tmp");
  EXPECT_EQ(RunBody({"FIGHTINIT \"broken.map\""}), 4);
  EXPECT_TRUE(std::filesystem::exists(dir / "temp.tmp"));
  EXPECT_FALSE(e().win.FightMode);
  std::filesystem::remove(dir / "temp.tmp");
  std::filesystem::create_directories(dir / "temp.tmp" / "in the way");
  EXPECT_EQ(RunBody({"FIGHTINIT \"arena.map\""}), 17);
  EXPECT_EQ(w().MapFile, "town.map");
  EXPECT_FALSE(e().win.FightMode);
}

// DAMAGE keeps HP within 0..MAXHP, and the number shown is what really
// changed: negative for damage, positive for healing. Outside a fight it
// floats above the player while anyone in the party lives.
TEST_F(Combat, DamageClampsHitPointsAndShowsTheRealChange) {
  Party({"Ayla", "Brom"});
  e().pics.DigitPic.Resize(10, 20);
  w().UnitDefCount = 2;
  w().UnitFrames.Resize(2);
  w().UnitFrames[2].height = 48;
  Member(1).DOODOWN = Member(2).DOODOWN = 2;
  Member(1).MAXHP = 100;
  w().PlayerPosX = 4.5f;  // rounds to the even 4
  w().PlayerPosY = 7.2f;
  w().TargetIndex = 1;
  w().TargetIsParty = true;
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
  for (const Case& c : cases) {
    Member(1).HP = static_cast<int16_t>(c.hp);
    ASSERT_EQ(RunBody({c.line}), 0) << c.line;
    EXPECT_EQ(Member(1).HP, c.after) << c.line;
    ASSERT_GE(w().PopupCount, 1);
    const Popup& p = w().Popups[w().PopupCount];
    EXPECT_EQ(p.number, c.shown) << c.line;
    EXPECT_EQ(p.endTime - p.startTime, 4000);
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(4.0f, 7.0f));
    EXPECT_EQ(p.style, 20 / 5 + 48);
  }
  const int16_t popups = w().PopupCount;
  EXPECT_EQ(RunBody({"DAMAGE PARTY \\ 1 \\ 1 \\ 1"}), 0);
  Member(1).HP = Member(2).HP = 0;
  EXPECT_EQ(RunBody({"DAMAGE PARTY \\ 1 \\ 1 \\ 1 \\ POPUP"}), 0);
  EXPECT_EQ(w().PopupCount, popups);
}

// A level-1 member with 5 EP given 10 reaches level 2: HP and MAXHP
// double, magic points too when it has any, and each attribute that loses
// its contest (attributes of 0 always do) grows by 1 to 5, line by line.
// Two levels at once give one block each; the fallen get nothing.
TEST_F(Combat, AwardRaisesLevelsAndReportsThem) {
  Party({"Ayla", "Brom"});
  Member(1).EP = 5;
  Member(1).MAXMP = 7;
  Member(1).MP = 3;
  Member(2).HP = 15;
  ASSERT_EQ(RunBody({"AWARD PARTY \\ 1 \\ 10 \\ 10 \\ MSG"}), 0);
  EXPECT_EQ(e().win.GameMode, Mode::Message);
  EXPECT_EQ(Member(1).EP, 15);
  EXPECT_EQ(std::vector<int>({Member(1).HP, Member(1).MAXHP, Member(1).MP, Member(1).MAXMP}),
            std::vector<int>({20, 20, 6, 14}));
  std::vector<std::string> lines = MessageLines();
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[0], "Ayla: + 10EP");
  EXPECT_EQ(lines[1], "Ayla reaches Level 2!");
  EXPECT_EQ(lines[2], "MaxHP: +10");
  EXPECT_EQ(lines[3], "MaxMP: +7");
  const std::pair<std::string, int16_t Character::*> attributes[] = {
      {"Wisdom: +", &Character::WIS},    {"Strenght: +", &Character::STR},
      {"Dexterity: +", &Character::DEX}, {"Initiative: +", &Character::INI},
      {"Constitution: +", &Character::CON},
  };
  for (size_t i = 0; i < 5; ++i) {
    const int gain = Member(1).*attributes[i].second;
    EXPECT_EQ(lines[4 + i], attributes[i].first + std::to_string(gain));
    EXPECT_TRUE(gain >= 1 && gain <= 5) << gain;
  }
  EXPECT_EQ(lines[9], "");

  Member(1).HP = 0;
  ASSERT_EQ(RunBody({"AWARD ALL \\ 31 \\ 31 \\ msg"}), 0);
  EXPECT_EQ(Member(1).EP, 15);
  EXPECT_EQ(Member(2).EP, 31);
  EXPECT_EQ(Member(2).HP, 45);  // x 2 x 1.5
  EXPECT_EQ(Member(2).MAXHP, 60);
  lines = MessageLines();
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 3),
            (std::vector<std::string>{"Brom: + 31EP", "Brom reaches Level 3!", "MaxHP: +20"}));
  EXPECT_EQ(std::count(lines.begin(), lines.end(), ""), 2);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "MaxHP: +20"), 2);
}

}  // namespace
}  // namespace yw::test
