#pragma once

#include <string>
#include <string_view>

namespace quill {

// Two upper-case hexadecimal digits for each byte appended to out: bytes
// written this way can never end a literal or break a text file.
void AppendHexDigits(std::string& out, std::string_view bytes);

// The same digits as a text of their own.
std::string HexDigits(std::string_view bytes);

}  // namespace quill
