// Slips in the way a script line is written that the language reads
// without complaint but not as the author meant: parameters not separated
// by backslashes, and operators without blanks around them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/language.h"

namespace yw::pack {

// For a line with fewer parameters than its command needs: the line as it
// was probably meant, its parts separated by backslashes ("IF [a] \ = \ 1"),
// when its words fall into the parts the command takes; empty otherwise.
std::string SeparatedLine(const ParsedLine& line, const ParamCount& count);

// What in an expression reads otherwise than it looks: a number or a
// quoted text followed straight by an operator ("10-2": the '-' ends the
// number and is not an operator) or a decimal point ("2.5"). One message
// each; empty when the expression is clean.
std::vector<std::string> BlankRuleSlips(std::string_view expression);

}  // namespace yw::pack
