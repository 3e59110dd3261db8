// The state of a running game: every record, table and scalar the loaders
// fill, the scripts change and the renderer draws. Tables are 1-based and
// always hold element 1; each has its own count.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "world/event_cells.h"
#include "world/game_mode.h"
#include "world/script_value.h"
#include "world/table.h"

namespace yw {

struct Character {
  std::string NAME;
  int16_t MAXHP = 0, HP = 0, MAXMP = 0, MP = 0;
  int16_t STR = 0, CON = 0, INI = 0, WIS = 0, DEX = 0, EP = 0;
  int16_t STDWEP = 0, STDARM = 0;
  int16_t DOOLEFT = 0, DOOUP = 0, DOORIGHT = 0, DOODOWN = 0;
  int16_t DOOLEFTANI = 0, DOOUPANI = 0, DOORIGHTANI = 0, DOODOWNANI = 0;
  int16_t WEP = 0, ARM = 0;
  bool operator==(const Character&) const = default;
};

// Item TYPE values that equipment depends on.
inline constexpr uint8_t kItemWeapon = 1;
inline constexpr uint8_t kItemArmour = 3;

struct Item {
  std::string NAME;
  uint8_t TYPE = 0;
  bool VISIBLE = false;
  std::string SCRIPT;
  std::string FIGHTSCRIPT;
  int16_t DOODAD = 0;
  int16_t NUMBER = 0;
  int16_t VALUE = 0;
  bool operator==(const Item&) const = default;
};

struct PartyMember {
  std::string NAME;
  int32_t STATE = 0;
  Character character;
  int16_t NPC = 0;
  bool acted = false;  // has had its turn in the running fight round; not saved
  bool operator==(const PartyMember&) const = default;
};

struct Enemy {
  int32_t STATE = 0;
  Character character;
  int16_t NPC = 0;
  bool acted = false;  // has had its turn in the running fight round
  int16_t CHAR = 0;    // the character it was made from; its figure shows it
  bool operator==(const Enemy&) const = default;
};

// Actor actions of a cut-scene order.
enum class ActorAction : int32_t {
  None = 0,
  Nothing = 1,
  Walk = 2,
  Turn = 3,
  Step = 4,
  Invisible = 5,
  Jump = 6,
  Leave = 7,
};

// A cut-scene order for the player or an NPC; never saved.
struct ActorOrder {
  bool active = false;
  int32_t direction = 0;
  float speed = 0;  // cells per 4 x TimeWalkTime; 0 = no order
  int16_t steps = 0;
  int16_t stepsGiven = 0;
  ActorAction action = ActorAction::None;
  float blink = 0;  // blink value of a leaving or hit unit; 0 = drawn normally
  bool operator==(const ActorOrder&) const = default;
};

struct Npc {
  float POS_X = 0, POS_Y = 0;
  float stepOffsetX = 0, stepOffsetY = 0;
  int32_t DIRECTION = 0;
  int16_t CHAR = 0;
  std::string SCRIPT;
  int16_t SPEED = 0;
  Millis nextTime = 0;  // in a saved game's records: the time left until it
  int16_t frameCount = 0;
  int16_t prevFrameCount = 0;
  ActorOrder actor;
  bool operator==(const Npc&) const = default;
};

struct MapCell {
  int16_t TILE = 0;
  int16_t DOODAD = 0;
};

// The cover links of the map's cells: for each cell, the cell whose doodad
// picture reaches into it, so that the renderer draws that doodad again
// over the units standing there (see DooReLink). Drawing state only: never
// loaded nor saved. The links are held apart from the tiles, which keeps a
// cell at 4 bytes, and storage is taken only once a link is set: a map
// without doodad pictures costs nothing here.
class CoverLinks {
 public:
  struct Link {
    int16_t x = 0, y = 0;
  };

  // No links. Each clearing counts as a new drawing state (see Generation).
  void Clear() {
    links_.clear();
    width_ = height_ = 0;
    ++generation_;
  }
  // The link of cell (x, y); (0, 0) when it has none.
  Link At(int x, int y) const {
    if (x < 1 || y < 1 || x > width_ || y > height_) return {};
    return links_[static_cast<size_t>(y - 1) * static_cast<size_t>(width_) + (x - 1)];
  }
  // Links cell (x, y) of a width x height map; cells outside are ignored.
  void Set(int x, int y, Link to, int width, int height) {
    if (x < 1 || y < 1 || x > width || y > height) return;
    if (width != width_ || height != height_) {
      width_ = width;
      height_ = height;
      links_.assign(static_cast<size_t>(width) * static_cast<size_t>(height), Link{});
    }
    links_[static_cast<size_t>(y - 1) * static_cast<size_t>(width) + (x - 1)] = to;
  }
  // Counts the clearings: the renderer redraws in full when it changes.
  uint32_t Generation() const { return generation_; }

 private:
  int width_ = 0, height_ = 0;
  std::vector<Link> links_;
  uint32_t generation_ = 0;
};

struct TileDef {
  int16_t x = 0, y = 0;
  int16_t NEXT = 0;
  bool operator==(const TileDef&) const = default;
};

struct SpriteDef {
  int16_t picX = 0, picY = 0;
  int16_t maskX = 0, maskY = 0;
  int16_t width = 0, height = 0;
  int16_t NEXT = 0;
  bool operator==(const SpriteDef&) const = default;
};

// A script's text, held once and shared by the script table and every
// running level of the script: starting a script, even one that starts
// itself a thousand times over, never copies its text.
class ScriptText {
 public:
  ScriptText() = default;
  ScriptText(std::string text) : text_(std::make_shared<const std::string>(std::move(text))) {}
  ScriptText(const char* text) : ScriptText(std::string(text)) {}

  const std::string& Str() const { return text_ ? *text_ : Empty(); }
  operator const std::string&() const { return Str(); }
  std::shared_ptr<const std::string> Share() const {
    return text_ ? text_ : std::make_shared<const std::string>();
  }
  friend bool operator==(const ScriptText& a, std::string_view b) { return a.Str() == b; }

 private:
  static const std::string& Empty() {
    static const std::string empty;
    return empty;
  }
  std::shared_ptr<const std::string> text_;
};

struct ScriptEntry {
  ScriptText Text;
  std::string Name;
};

// One level of the script stack. The script's text is shared and never
// changes; the level's remaining text is the part from `pos` on, so taking
// a line only moves `pos` and never copies the rest of the script.
struct ScriptLevel {
  std::shared_ptr<const std::string> text;
  size_t pos = 0;
  Mode returnMode = Mode::Start;  // GameMode restored when the level ends
  bool beginFound = false;

  std::string_view Remaining() const {
    if (!text || pos >= text->size()) return {};
    return std::string_view(*text).substr(pos);
  }
  bool Finished() const { return Remaining().empty(); }
  // Drops n characters from the front of the remaining text.
  void Consume(size_t n) { pos = text ? std::min(pos + n, text->size()) : 0; }
  // Empties the remaining text (END).
  void Clear() { pos = text ? text->size() : 0; }
};

// A doodad flying from one cell to another.
struct FlyingDoodad {
  int16_t doodad = 0;
  float targetX = 0, targetY = 0;
  float distX = 0, distY = 0;
  Millis endTime = 0, startTime = 0;
  float x = 0, y = 0;  // screen position this frame
  bool drawn = false;
};

// A number floating above the map for a while.
struct Popup {
  int16_t number = 0;
  Millis endTime = 0, startTime = 0;
  float x = 0, y = 0;
  int16_t style = 0;
};

// An entry of the list a script builds with ADDLISTITEM.
struct UserListItem {
  int16_t doodad = 0;  // item sprite shown before the text; 0 = none
  std::string text;
  int16_t value = 0;
};

// The four sprite families that animate.
enum class FrameFamily : int { All = 0, Tiles = 1, Doodads = 2, Units = 3, Items = 4, Map = 5 };

struct World {
  Table<Character> Characters;
  int16_t CharacterCount = 0;

  Table<SpriteDef> UnitDefs, UnitFrames;
  int16_t UnitDefCount = 0;
  std::string UnitPicture, UnitDoodadmapFile;

  Table<Item> Items;
  int16_t ItemCount = 0;
  Table<SpriteDef> ItemDefs, ItemFrames;
  int16_t ItemDefCount = 0;
  std::string ItemPicture, ItemDoodadmapFile;

  Table<PartyMember> Party;
  int16_t PartyCount = 0;
  Table<Enemy> Enemies;
  int16_t EnemyCount = 0;
  Table<Npc> Npcs;
  int16_t NpcCount = 0;

  Grid<MapCell> MapTiles;
  CoverLinks DoodadLinks;
  EventGrid MapEvents;
  int16_t MapWidth = 0, MapHeight = 0;

  Table<TileDef> TileDefs, TileFrames;
  int16_t TileDefCount = 0;
  std::string TilePicture;
  int16_t TileWidth = 0, TileHeight = 0;

  Table<SpriteDef> DoodadDefs, DoodadFrames;
  int16_t DoodadDefCount = 0;
  std::string DoodadPicture;

  std::string MapFile, TilemapFile, DoodadmapFile;
  std::string EventmapFile, EventmapMapFile;

  Table<ScriptEntry> Scripts;
  int16_t ScriptCount = 0;
  Table<std::string> GameList;
  int16_t GameCount = 0;

  float Zoom = 1.0f;
  int32_t UnitPhase = 1;
  float PlayerPosX = 0, PlayerPosY = 0;
  int32_t PlayerDirection = 0;
  ActorOrder PlayerActor;
  int16_t ListItemVal = 0;

  // The script stack, levels 1..ScriptDepth; the top is ScriptDepth.
  Table<ScriptLevel> ScriptStack;
  int16_t ScriptDepth = 0;
  std::string ErrorLine;  // the line the interpreter took last
  bool MapChanged = false;

  // The fighter chosen as target: a party member or an enemy by number.
  int16_t TargetIndex = 0;
  bool TargetIsParty = false;
  // The party-member chooser asks who acts (true) or for a target (false).
  bool ChoosingUser = false;

  // Script variables A to J (slots 0 to 9 used). They live for the whole
  // run: neither saved nor reset by loading a game or by InitWorld.
  std::array<ScriptVariable, 11> Variables{};

  Table<FlyingDoodad> Voodoos;
  int16_t VoodooCount = 0;
  Table<Popup> Popups;
  int16_t PopupCount = 0;
  Table<UserListItem> UserList;
  int16_t UserListCount = 0;
  bool UserListActive = false;  // Escape may close the list (SHOWLIST without NOESC)

  std::string AmbientName;  // the ambient music playing; saved
};

// Empties the world: every table back to one zeroed element with count 0.
// Scripts, the game list, the eventmap names, the player's position and
// direction, Zoom and the script variables are left as they are.
void InitWorld(World& w);

// Copies every definition into its frame table (families with a count).
void ResetFrames(World& w);

// One animation step of the chosen families (see FrameFamily).
void StepFrames(World& w, FrameFamily kind = FrameFamily::All);

// Items carried minus those in use by party members (-1 for a bad index).
int16_t ItmCount(const World& w, int wepIndex);

// Puts members back to their standard weapon or armour when the equipped
// item is no longer carried or no longer visible.
void CheckPartyItems(World& w);

// A party member or enemy is alive when its STATE is not 0 and HP >= 1.
inline bool IsAlive(int32_t state, int16_t hp) { return state != 0 && hp >= 1; }

}  // namespace yw
