#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quill {

// Splits text at every occurrence of delimiter; the piece after the last
// delimiter is always an item, so "a;b;" gives "a", "b" and "".
std::vector<std::string> SplitString(std::string_view text, std::string_view delimiter);

}  // namespace quill
