#pragma once

#include <string_view>

namespace quill {

// INI section and key names, like registry names, compare without regard to ASCII case.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quill
