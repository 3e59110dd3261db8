// The list menus: drawing a list and handling its keys.
#pragma once

#include <cstdint>

namespace yw {

class Engine;

// The list types, by the numbers the game's state and the menu table use.
namespace list {
inline constexpr int32_t kGames = 1;      // the games library
inline constexpr int32_t kTitleMenu = 2;  // a game's title menu
inline constexpr int32_t kSaveSlots = 3;
inline constexpr int32_t kMainMenu = 4;  // the in-game main menu
inline constexpr int32_t kQuit = 5;      // "Quit Game?"
inline constexpr int32_t kTeam = 6;
inline constexpr int32_t kMemberMenu = 7;  // what to do with a party member
inline constexpr int32_t kStatistics = 8;
inline constexpr int32_t kInventory = 9;
inline constexpr int32_t kMagic = 10;
inline constexpr int32_t kWeapons = 11;    // weapons to equip
inline constexpr int32_t kArmour = 12;     // armour to equip
inline constexpr int32_t kEquipment = 13;  // the equipment screen
inline constexpr int32_t kLoadSlots = 14;
inline constexpr int32_t kFightMenu = 15;
inline constexpr int32_t kFightItems = 16;
inline constexpr int32_t kFightMagic = 17;
inline constexpr int32_t kEnemyChooser = 18;   // a fight's target on the map
inline constexpr int32_t kMemberChooser = 19;  // a party member as user or target
inline constexpr int32_t kUserList = 20;       // the list a script builds
}  // namespace list

// Draws the list of the given type over Frontbuf; reset starts it afresh.
void Drawlist(Engine& e, int32_t listType, bool reset);
// Handles a key for the list on screen.
void MenuKey(Engine& e, int32_t listType, int32_t key);
// One turn of a list open in a fight: while numbers float over the fighters
// (the hits just taken), the scene under the fight menu, the item and magic
// lists and the party chooser is drawn afresh each turn, so the numbers
// rise and fade on time instead of standing still under the list. Nothing
// else changes: the cursor, the list and the game's state stay as they are.
void FightListTurn(Engine& e);
// "New" on a game's title menu: reads the current folder's scripts,
// characters and items and starts autoexec.skr, or shows what failed.
void StartNewGame(Engine& e);

}  // namespace yw
