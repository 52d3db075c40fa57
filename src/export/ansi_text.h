#pragma once

#include <string>
#include <string_view>

namespace quill {

// UTF-8 text in the ANSI code page (Windows-1252), as the CSV files are
// written. A character that code page has no byte for, and a byte that is not
// part of well-formed UTF-8, becomes "?", the code page's default character.
std::string Utf8ToWindows1252(std::string_view text);

}  // namespace quill
