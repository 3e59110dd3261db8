// What `yarrowind-pack --help` prints: one line per command, then the
// options. The man page (packaging/yarrowind-pack.1) describes the same.
#pragma once

#include <string_view>

namespace yw::pack {

std::string_view UsageText();

}  // namespace yw::pack
