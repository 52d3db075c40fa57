#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

// The characters (code points) of a UTF-8 text; throws JetWriteError when the
// bytes are not well-formed UTF-8.
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);

// Jet 4 text: UTF-16 little endian; with compress set and when every
// character is one of U+0001..U+00FF (and the text is long enough to gain),
// the compressed form: FF FE, then one byte per character.
Bytes EncodeJet4Text(std::u32string_view text, bool compress);

// Whether Windows-1252, the code page of Jet 3 text, has a byte for c.
bool InWindows1252(char32_t c);

// Jet 3 text: Windows-1252. A character that code page has no byte for is an
// error, not a silent "?".
Bytes EncodeJet3Text(std::u32string_view text, std::string_view column_name);

// The reverse of both, for rows this writer reads back.
std::u32string DecodeJet4Text(const std::uint8_t* bytes, std::size_t size);
std::u32string DecodeJet3Text(const std::uint8_t* bytes, std::size_t size);

}  // namespace quill::jet
