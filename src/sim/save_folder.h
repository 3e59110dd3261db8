// Where a game's saved games and fight snapshot are kept. A game whose
// folder can be written keeps them in its folder; a game installed where
// the player cannot write (a system-wide library) keeps them in the
// player's data folder, one folder per game.
#pragma once

#include <filesystem>

namespace yw {

class Engine;

// Whether a file can be created in `folder`, found out by creating one and
// removing it again (permission bits alone do not tell, e.g. for root or
// on a read-only mount).
bool FolderIsWritable(const std::filesystem::path& folder);

// The player's folder for the saves of the game in `gameDir`:
// `userSaveRoot`/<the game folder's name>.
std::filesystem::path UserSaveFolder(const std::filesystem::path& userSaveRoot,
                                     const std::filesystem::path& gameDir);

// Decides where the game now current keeps its saves: its own folder when
// Engine::CanWriteFolder says it can be written (or when there is no user
// folder to go to), the user save folder otherwise. Run when a game is
// opened, so that a game keeps one place for the whole session.
void ChooseSaveFolder(Engine& e);

// The folder saves are written to and read from: the chosen one, else the
// current folder.
const std::filesystem::path& SaveFolder(const Engine& e);

}  // namespace yw
