// Where a game's saved games and fight snapshot are kept. A game folder of
// the player's own keeps them in its folder when it can be written; a game
// of the installed program folder (share/yarrowind), and a game folder the
// player cannot write, keeps them in the player's data folder, one folder
// per game. An installed game writes nothing into the installation, even
// run by root, so that removing the package leaves nothing behind.
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

// The installed program folder of the program at `exe`:
// ../share/yarrowind from its folder when that is a folder and no data/
// lies beside the program (a build folder's program folder); empty
// otherwise.
std::filesystem::path InstalledProgramFolder(const std::filesystem::path& exe);

// Decides where the game now current keeps its saves: the user save folder
// for a game inside Engine::InstalledDir, else its own folder when
// Engine::CanWriteFolder says it can be written, else the user save folder.
// Without a user folder to go to, its own. Run when a game is opened, so
// that a game keeps one place for the whole session.
void ChooseSaveFolder(Engine& e);

// The folder saves are written to and read from: the chosen one, else the
// current folder.
const std::filesystem::path& SaveFolder(const Engine& e);

}  // namespace yw
