#include "common/utf8_steps.h"

namespace quill {

CodePoint DecodeAt(std::string_view bytes, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char first = byte(at);
  if (first < 0x80) return {first, 1};
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if (first >= 0xC2 && first <= 0xDF) {
    length = 2, value = first & 0x1F, minimum = 0x80;
  } else if (first >= 0xE0 && first <= 0xEF) {
    length = 3, value = first & 0x0F, minimum = 0x800;
  } else if (first >= 0xF0 && first <= 0xF4) {
    length = 4, value = first & 0x07, minimum = 0x10000;
  } else {
    return {kReplacementCharacter, 1};
  }
  if (at + length > bytes.size()) return {kReplacementCharacter, 1};
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = byte(at + i);
    if ((next & 0xC0) != 0x80) return {kReplacementCharacter, 1};
    value = (value << 6) | (next & 0x3F);
  }
  // Overlong forms, surrogates and values past the last plane are not text.
  if (value < minimum || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return {kReplacementCharacter, 1};
  return {value, length};
}

std::size_t PreviousCharacterStart(std::string_view bytes, std::size_t at) {
  for (std::size_t back = 2; back <= 4 && back <= at; ++back) {
    if (DecodeAt(bytes, at - back).length == back) return at - back;
  }
  return at - 1;
}

void AppendUtf8(char32_t value, std::string& out) {
  if (value < 0x80) {
    out += static_cast<char>(value);
  } else if (value < 0x800) {
    out += static_cast<char>(0xC0 | (value >> 6));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else if (value < 0x10000) {
    out += static_cast<char>(0xE0 | (value >> 12));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (value >> 18));
    out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  }
}

namespace {

bool IsBadByte(const CodePoint& character) { return character.length == 1 && character.value == kReplacementCharacter; }

}  // namespace

std::string ValidUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() + 8);
  for (std::size_t at = 0; at < bytes.size();) {
    const CodePoint character = DecodeAt(bytes, at);
    if (IsBadByte(character)) {
      AppendUtf8(kReplacementCharacter, text);
    } else {
      text.append(bytes.substr(at, character.length));
    }
    at += character.length;
  }
  return text;
}

}  // namespace quill
