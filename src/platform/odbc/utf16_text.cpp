#include "platform/odbc/utf16_text.h"

#include <algorithm>

#include <cstdint>

namespace quill {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(char32_t code, std::string& out) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Decodes one code point at text[index]; advances index past it.
char32_t DecodeUtf8(std::string_view text, std::size_t& index) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned char lead = byte(index);
  int length = 0;
  char32_t code = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    ++index;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, minimum = 0x10000;
  } else {
    ++index;
    return kReplacement;
  }
  if (index + length > text.size()) {
    ++index;
    return kReplacement;
  }
  for (int k = 1; k < length; ++k) {
    const unsigned char next = byte(index + k);
    if ((next & 0xC0) != 0x80) {
      ++index;
      return kReplacement;
    }
    code = (code << 6) | (next & 0x3F);
  }
  index += length;
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  return code;
}

}  // namespace

void AppendUtf16AsUtf8(const SQLWCHAR* text, std::size_t length, std::string& out) {
  out.reserve(out.size() + length);
  for (std::size_t i = 0; i < length; ++i) {
    const char32_t unit = text[i];
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
    } else if (IsHighSurrogate(unit) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
      const char32_t low = text[++i];
      AppendCodePoint(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendCodePoint(kReplacement, out);
    } else {
      AppendCodePoint(unit, out);
    }
  }
}

std::string Utf16ToUtf8(const SQLWCHAR* text, std::size_t length) {
  std::string out;
  AppendUtf16AsUtf8(text, length, out);
  return out;
}

std::string Utf16ToUtf8(const WideText& text) { return Utf16ToUtf8(text.data(), text.size()); }

std::size_t TerminatedLength(const SQLWCHAR* text, std::size_t reported, std::size_t capacity) {
  std::size_t length = std::min(reported, capacity);
  while (length < capacity && text[length] != 0) ++length;
  return length;
}

WideText Utf8ToUtf16(std::string_view text) {
  WideText out;
  out.reserve(text.size());
  std::size_t index = 0;
  while (index < text.size()) {
    const char32_t code = DecodeUtf8(text, index);
    if (code >= 0x10000) {
      out.push_back(static_cast<SQLWCHAR>(0xD800 + ((code - 0x10000) >> 10)));
      out.push_back(static_cast<SQLWCHAR>(0xDC00 + ((code - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<SQLWCHAR>(code));
    }
  }
  return out;
}

}  // namespace quill
