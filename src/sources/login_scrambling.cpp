#include "sources/login_scrambling.h"

namespace quill {
namespace {

uint16_t NextKey(uint16_t key, unsigned char scrambled_byte) {
  return static_cast<uint16_t>((static_cast<uint32_t>(key + scrambled_byte) * 52845u + 22719u) & 0xFFFFu);
}

}  // namespace

std::string ScrambleString(const std::string& text, uint16_t key) {
  std::string result(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const auto output = static_cast<unsigned char>(static_cast<unsigned char>(text[i]) ^ (key >> 8));
    result[i] = static_cast<char>(output);
    key = NextKey(key, output);
  }
  return result;
}

std::string UnscrambleString(const std::string& text, uint16_t key) {
  std::string result(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const auto input = static_cast<unsigned char>(text[i]);
    result[i] = static_cast<char>(input ^ (key >> 8));
    key = NextKey(key, input);
  }
  return result;
}

}  // namespace quill
