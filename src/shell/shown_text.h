#pragma once

#include <QString>
#include <cstddef>
#include <string_view>

namespace quill {

// A line's bytes as shown: each character decoded as the caret walks them,
// so positions in the string and in the bytes always match.
QString ShownText(std::string_view bytes);

// The position in the shown string of a byte position in the line, and back.
int ShownIndex(std::string_view bytes, std::size_t position);
std::size_t BytePosition(std::string_view bytes, int index);

}  // namespace quill
