#include "sim/save_folder.h"

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "core/engine.h"
#include "world/paths.h"

namespace yw {

namespace fs = std::filesystem;

bool FolderIsWritable(const fs::path& folder) {
  std::string name = (folder / ".yarrowind-write-test-XXXXXX").string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(name.c_str());
  return true;
}

fs::path UserSaveFolder(const fs::path& userSaveRoot, const fs::path& gameDir) {
  fs::path name = gameDir.filename();
  if (name.empty()) name = gameDir.parent_path().filename();  // a name ending in '/'
  if (name.empty() || name == "." || name == "..") name = "game";
  return userSaveRoot / name;
}

fs::path InstalledProgramFolder(const fs::path& exe) {
  std::error_code ec;
  const fs::path dir = exe.parent_path();
  if (dir.empty() || fs::is_directory(dir / "data", ec)) return {};
  const fs::path folder = dir.parent_path() / "share" / "yarrowind";
  return fs::is_directory(folder, ec) ? folder : fs::path();
}

void ChooseSaveFolder(Engine& e) {
  const bool installed = !e.InstalledDir.empty() && IsInsideFolder(e.InstalledDir, e.CurrentDir);
  const bool own = e.UserSaveRoot.empty() ||
                   (!installed && (!e.CanWriteFolder || e.CanWriteFolder(e.CurrentDir)));
  e.SaveDir = own ? e.CurrentDir : UserSaveFolder(e.UserSaveRoot, e.CurrentDir);
}

const fs::path& SaveFolder(const Engine& e) { return e.SaveDir.empty() ? e.CurrentDir : e.SaveDir; }

}  // namespace yw
