#pragma once

#include <string_view>

#include "common/script_text.h"

namespace quill {

// The case folding of one character; the shell gives the toolkit's.
using CaseFold = char32_t (*)(char32_t);

// Replaces every occurrence of `find` in `text` by `with`, left to right and
// not overlapping, in one pass over the pieces into a new text. With `fold`,
// characters match when their folded forms are equal; without, bytes match.
// Gives whether the text changed: occurrences that are already what replaces
// them change nothing, and the text is then left as it was (undo included).
bool ReplaceEvery(ScriptText& text, std::string_view find, std::string_view with, CaseFold fold);

}  // namespace quill
