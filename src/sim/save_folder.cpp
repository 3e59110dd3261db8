#include "sim/save_folder.h"

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "core/engine.h"

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

void ChooseSaveFolder(Engine& e) {
  const bool own = e.UserSaveRoot.empty() || !e.CanWriteFolder || e.CanWriteFolder(e.CurrentDir);
  e.SaveDir = own ? e.CurrentDir : UserSaveFolder(e.UserSaveRoot, e.CurrentDir);
}

const fs::path& SaveFolder(const Engine& e) { return e.SaveDir.empty() ? e.CurrentDir : e.SaveDir; }

}  // namespace yw
