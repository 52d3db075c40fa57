#include "platform/text/hex_digits.h"

namespace quill {

void AppendHexDigits(std::string& out, std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const size_t start = out.size();
  out.resize(start + 2 * bytes.size());
  char* digit = out.data() + start;
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    *digit++ = kDigits[b >> 4];
    *digit++ = kDigits[b & 0x0F];
  }
}

std::string HexDigits(std::string_view bytes) {
  std::string hex;
  AppendHexDigits(hex, bytes);
  return hex;
}

}  // namespace quill
