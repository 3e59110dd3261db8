// The configuration file yarrowind.ini: read at every entry to the start
// state, from the current folder first (a game may carry its own), else
// from the program folder. Nothing writes it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace yw {

class Engine;

// Reads one value. A missing file shows the box "Can't find" with the path
// (title "ERROR") and yields "", a missing key yields `fallback`. Values are
// at most 255 characters.
std::string ReadIniValue(Engine& e, const std::filesystem::path& file, std::string_view section,
                         std::string_view key, std::string_view fallback = {});

// Reads every setting in order and applies the display and sound changes.
void LoadIni(Engine& e);

// The conversions of the settings.
// The leading decimal number of a text; 0 when it does not start with one.
double LeadingNumber(std::string_view text);
// Exactly "no" (trimmed, any case) is false; everything else is true.
bool YesNo(std::string_view text);

}  // namespace yw
