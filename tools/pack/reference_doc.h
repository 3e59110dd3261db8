// The authors' reference of the script language (docs/reference.md),
// written from the language's own tables: the commands with their
// parameter counts and keywords, the fields scripts read and write, the
// error texts, with the explanations of reference_text.h.
#pragma once

#include <string>
#include <vector>

namespace yw::pack {

// The reference as Markdown.
std::string ScriptReference();

// The language's words that have no explanation yet (command words, error
// codes): empty when the reference covers them all.
std::vector<std::string> UnexplainedWords();

}  // namespace yw::pack
