// Replacing a file so that a crash, a full disk or a size limit never leaves
// it half written: the saved games and the fight snapshot go through here.
#pragma once

#include <filesystem>
#include <string_view>

namespace yw {

// Writes `bytes` to a new file beside `target`, flushes it to the disk and
// renames it over `target`. On any failure `target` is left exactly as it
// was and false is returned. A symbolic link at `target` is replaced by the
// file, never written through.
bool ReplaceFileDurably(const std::filesystem::path& target, std::string_view bytes);

}  // namespace yw
