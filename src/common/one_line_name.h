#pragma once

#include <string>
#include <string_view>

namespace quill {

// A name as one line of a list or a text file: each character that a text
// view or a line reader takes for a line's end (CR, LF, VT, FF, NEL, U+2028,
// U+2029) as a symbol of its own, so that a name holding one stays one
// name. A name without them comes back unchanged.
std::string OneLineName(std::string_view name);

}  // namespace quill
