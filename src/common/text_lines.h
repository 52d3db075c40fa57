#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

// The lines of a text file: each ended by CR LF, LF or CR; a last line
// without an end counts as well, an empty one after the last end does not.
std::vector<std::string> TextLines(std::string_view text);

}  // namespace quill
