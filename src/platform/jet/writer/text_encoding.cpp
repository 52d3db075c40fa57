#include "platform/jet/writer/text_encoding.h"

#include <array>
#include <cstdio>
#include <optional>

#include "platform/jet/writer/jet_write_error.h"

namespace quill::jet {
namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five unassigned bytes.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void Invalid() { throw JetWriteError("The text is not valid UTF-8."); }

}  // namespace

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      Invalid();
    }
    if (i + length > text.size()) Invalid();
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) Invalid();
      code = (code << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) Invalid();
    out.push_back(code);
    i += length;
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

Bytes EncodeJet4Text(std::u32string_view text, bool compress) {
  bool compressible = compress && text.size() > 2;
  for (std::size_t i = 0; compressible && i < text.size(); ++i) {
    compressible = text[i] >= 0x01 && text[i] <= 0xFF;
  }
  Bytes out;
  if (compressible) {
    out.reserve(text.size() + 2);
    out.push_back(0xFF);
    out.push_back(0xFE);
    for (char32_t c : text) out.push_back(static_cast<std::uint8_t>(c));
    return out;
  }
  out.reserve(text.size() * 2);
  auto unit = [&out](char32_t u) {
    out.push_back(static_cast<std::uint8_t>(u));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  };
  for (char32_t c : text) {
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10));
      unit(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      unit(c);
    }
  }
  return out;
}

namespace {

// The Windows-1252 byte of c, or nothing.
std::optional<std::uint8_t> Windows1252Byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<std::uint8_t>(c);
  for (std::size_t k = 0; k < kWindows1252High.size(); ++k) {
    if (kWindows1252High[k] == c && c != 0) return static_cast<std::uint8_t>(0x80 + k);
  }
  return std::nullopt;
}

}  // namespace

bool InWindows1252(char32_t c) { return Windows1252Byte(c).has_value(); }

Bytes EncodeJet3Text(std::u32string_view text, std::string_view column_name) {
  Bytes out;
  out.reserve(text.size());
  for (char32_t c : text) {
    const std::optional<std::uint8_t> byte = Windows1252Byte(c);
    if (!byte) {
      throw JetWriteError("The character U+" + [c] {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%04X", static_cast<unsigned>(c));
        return std::string(buffer);
      }() + " cannot be stored in column '" + std::string(column_name) + "' of an Access 97 database (code page 1252).");
    }
    out.push_back(*byte);
  }
  return out;
}

std::u32string DecodeJet4Text(const std::uint8_t* bytes, std::size_t size) {
  std::u32string out;
  if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    // Compressed: one byte per character; a zero byte switches to two-byte
    // characters and back.
    bool single = true;
    for (std::size_t i = 2; i < size;) {
      if (bytes[i] == 0) {
        single = !single;
        ++i;
      } else if (single) {
        out.push_back(bytes[i++]);
      } else if (i + 1 < size) {
        out.push_back(bytes[i] | (bytes[i + 1] << 8));
        i += 2;
      } else {
        break;
      }
    }
    return out;
  }
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    char32_t unit = bytes[i] | (bytes[i + 1] << 8);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < size) {
      const char32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
      unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    out.push_back(unit);
  }
  return out;
}

std::u32string DecodeJet3Text(const std::uint8_t* bytes, std::size_t size) {
  std::u32string out;
  out.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t b = bytes[i];
    out.push_back(b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : b);
  }
  return out;
}

}  // namespace quill::jet
