// The games library and the reading of a game's scripts.
#include <algorithm>
#include <set>
#include <system_error>
#include <vector>

#include "core/engine.h"
#include "core/game_names.h"
#include "sim/game_files.h"
#include "world/binary_io.h"
#include "world/data_files.h"
#include "world/paths.h"

namespace yw {

namespace fs = std::filesystem;

namespace {

struct FolderEntry {
  std::string name;
  fs::path path;
  bool folder = false;
  bool file = false;
  bool linkedFolder = false;  // a link that leads to a folder
};

// The entries of a folder sorted by name, so that every run (and every
// machine) sees them in the same order. A link to a folder is not a folder
// here: the walk over a game's scripts never follows one, so a link cannot
// lead it out of the game or round in a circle.
std::vector<FolderEntry> SortedEntries(const fs::path& dir) {
  std::vector<FolderEntry> entries;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    const bool link = it->is_symlink(typeEc);
    const bool folder = it->is_directory(typeEc);
    FolderEntry entry{it->path().filename().string(), it->path(), !link && folder,
                      it->is_regular_file(typeEc), link && folder};
    entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  return entries;
}

// Removes the folders without an autoexec.skr. After each examination,
// including the step back over a removed entry, the walk stops once i has
// reached the count.
void DropFoldersWithoutAutoexec(World& w, const fs::path& games) {
  if (w.GameCount == 0) return;
  int i = 1;
  for (;;) {
    if (!FileExists(games / w.GameList[i], "autoexec.skr")) {
      w.GameList.Remove(i);
      --w.GameCount;
      --i;
    }
    if (i >= w.GameCount) break;
    ++i;
  }
}

// Script files are those whose trimmed name ends in "skr", any case.
bool IsScriptName(std::string_view name) {
  const std::string lower = ToLower(TrimBlanks(name));
  return lower.size() >= 3 && lower.compare(lower.size() - 3, 3, "skr") == 0;
}

struct ScriptWalk {
  Engine& e;
  std::set<std::string> names;  // names already in Scripts (exact case)
};

bool AddScript(ScriptWalk& walk, const fs::path& file, std::string name) {
  World& w = walk.e.world;
  // The name as the game's scripts and maps spell it (Windows-1252).
  name = GameName(name);
  if (!IsScriptName(name) || walk.names.count(name)) return true;
  // A file link is read only when it stays inside the game or the program
  // folder.
  const Engine& e = walk.e;
  if (!IsInsideFolder(e.CurrentDir, file) && !IsInsideFolder(e.ProgramDir, file)) return true;
  if (static_cast<size_t>(w.ScriptCount) >= kMaxRecords) return false;
  auto text = ReadFileBytes(file);
  if (!text) return false;
  w.Scripts.Resize(w.ScriptCount + 1);
  ScriptEntry& entry = w.Scripts[++w.ScriptCount];
  entry.Text = std::move(*text);
  entry.Name = name;
  walk.names.insert(std::move(name));
  return true;
}

bool ReadScriptFolder(ScriptWalk& walk, const fs::path& dir, const std::string& prefix) {
  for (const FolderEntry& entry : SortedEntries(dir)) {
    if (entry.folder) {
      if (!ReadScriptFolder(walk, entry.path, prefix + entry.name + "\\")) return false;
    } else if (entry.file) {
      if (!AddScript(walk, entry.path, prefix + entry.name)) return false;
    }
  }
  return true;
}

// The name prefix of the scripts below a folder given as ".\sub" (or "sub").
std::string PrefixOf(std::string_view path) {
  std::string base = std::string(path) + "\\";
  if (base.size() >= 2 && base[0] == '.' && (base[1] == '\\' || base[1] == '/'))
    base.erase(0, 2);
  else if (base == ".\\")
    base.clear();
  return base;
}

}  // namespace

void FindGames(Engine& e) {
  World& w = e.world;
  w.GameCount = 0;
  w.GameList.Reset();
  const auto games = ResolvePath(e.ProgramDir, "games");
  if (!games) {
    std::error_code ec;
    fs::create_directory(e.ProgramDir / "games", ec);
    return;
  }
  // The library lists the games by name regardless of letter case, as the
  // games' home platform enumerates folders; equal names (differing only in
  // case) keep byte order so the list is the same on every run.
  std::vector<FolderEntry> entries = SortedEntries(*games);
  std::stable_sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
    return ToLower(a.name) < ToLower(b.name);
  });
  // A link to a game folder is a game the player put there: it is listed,
  // and the folder it leads to becomes the game's own (EnterGame).
  for (const FolderEntry& entry : entries) {
    if (!(entry.folder || entry.linkedFolder) || static_cast<size_t>(w.GameCount) >= kMaxRecords)
      continue;
    w.GameList.Resize(w.GameCount + 1);
    w.GameList[++w.GameCount] = entry.name;
  }
  DropFoldersWithoutAutoexec(w, *games);
}

bool LoadScripts(Engine& e, std::string_view path) {
  World& w = e.world;
  ScriptWalk walk{e, {}};
  if (TrimBlanks(path).empty()) {
    w.ScriptCount = 0;
    w.Scripts.Reset();
    return ReadScriptFolder(walk, e.CurrentDir, "");
  }
  for (int i = 1; i <= w.ScriptCount; ++i) walk.names.insert(w.Scripts[i].Name);
  const auto dir = ResolveGameName(e, path);
  if (!dir) return true;  // nothing to enumerate
  return ReadScriptFolder(walk, *dir, PrefixOf(path));
}

}  // namespace yw
