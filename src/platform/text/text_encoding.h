#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quill {

// True when every byte is ASCII (below 0x80): its characters are its bytes.
bool IsAscii(std::string_view bytes);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

// Windows-1252 bytes as UTF-8; the five unassigned bytes map to U+FFFD.
std::string Windows1252ToUtf8(std::string_view bytes);

// The text of a file the program reads: its bytes when they are UTF-8, else
// read as Windows-1252.
std::string TextFileToUtf8(std::string_view bytes);

// Appends one code point (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string& out, uint32_t code_point);

// Characters (code points) in a UTF-8 text.
size_t Utf8Length(std::string_view text);

}  // namespace quill
