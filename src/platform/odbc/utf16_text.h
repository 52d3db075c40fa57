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

}  // namespace quill
