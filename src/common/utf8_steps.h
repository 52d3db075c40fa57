#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quill {

// One character of UTF-8 text. A byte that does not start a valid sequence
// is a character of its own (U+FFFD, one byte long), so every byte belongs
// to exactly one character and any text can be walked.
struct CodePoint {
  char32_t value = 0;
  std::size_t length = 0;
};

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character starting at `at` (at < bytes.size()).
CodePoint DecodeAt(std::string_view bytes, std::size_t at);
// The start of the character that ends at `at` (0 < at <= bytes.size()).
std::size_t PreviousCharacterStart(std::string_view bytes, std::size_t at);
// The character's UTF-8 bytes appended to `out`.
void AppendUtf8(char32_t value, std::string& out);

// The text with every byte that starts no valid sequence as U+FFFD
// (IsValidUtf8 of platform/text tells whether any does).
std::string ValidUtf8(std::string_view bytes);

}  // namespace quill
