#include "usage.h"

namespace yw::pack {

std::string_view UsageText() {
  return "usage: yarrowind-pack new DIR\n"
         "       yarrowind-pack build SRC_DIR OUT_DIR [--strict]\n"
         "       yarrowind-pack unpack GAME_DIR SRC_DIR [--format json|tmx]\n"
         "       yarrowind-pack check GAME_DIR [--program-dir DIR] [--strict]\n"
         "       yarrowind-pack reference [FILE]\n"
         "       yarrowind-pack --help\n"
         "--strict: warnings fail too (exit code 1)\n"
         "see yarrowind-pack(1) and /usr/share/doc/yarrowind/authoring.md\n";
}

}  // namespace yw::pack
