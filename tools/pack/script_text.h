// The text of a script source made what the game reads: 8-bit Windows-1252
// text with CR LF line ends, whatever the author's editor saved.
#pragma once

#include <string>
#include <string_view>

#include "diagnostics.h"

namespace yw::pack {

// Scripts saved as UTF-8 (with or without a byte-order mark) are converted
// to Windows-1252; a character that code page cannot hold is an error at its
// line and column. LF ends become CR LF; CR-only or mixed ends are made CR
// LF too, with one warning naming what the file had. `file` names the
// script in the report.
std::string GameScriptText(const std::string& file, std::string bytes, Report& report);

// Warns at each line of a game's script whose text looks like UTF-8: the
// game would show two or three odd characters for each accented one.
void WarnUtf8Lines(const std::string& file, std::string_view bytes, Report& report);

}  // namespace yw::pack
