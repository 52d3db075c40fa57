#pragma once

#include <sql.h>
#include <sqlext.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace quill {

// The ODBC wide API speaks UTF-16 (SQLWCHAR is 16 bits with unixODBC); the
// program keeps UTF-8. A lone surrogate, which no valid text holds, becomes
// U+FFFD instead of producing invalid UTF-8.
using WideText = std::basic_string<SQLWCHAR>;

void AppendUtf16AsUtf8(const SQLWCHAR* text, std::size_t length, std::string& out);
std::string Utf16ToUtf8(const SQLWCHAR* text, std::size_t length);
std::string Utf16ToUtf8(const WideText& text);
// Invalid UTF-8 bytes become U+FFFD.
WideText Utf8ToUtf16(std::string_view text);

// The length in units of a terminated text that a driver wrote into a buffer
// of `capacity` units and said is `reported` units long: MariaDB's driver
// says some UTF-16 texts (values, names) are one unit shorter than what it
// wrote, so the length runs on from there to the terminator.
std::size_t TerminatedLength(const SQLWCHAR* text, std::size_t reported, std::size_t capacity);

}  // namespace quill
