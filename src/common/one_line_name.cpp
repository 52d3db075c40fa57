#include "common/one_line_name.h"

#include "common/utf8_steps.h"

namespace quill {

std::string OneLineName(std::string_view name) {
  std::string line;
  line.reserve(name.size());
  for (std::size_t at = 0; at < name.size();) {
    const CodePoint character = DecodeAt(name, at);
    switch (character.value) {
      case 0x0A: AppendUtf8(0x240A, line); break;  // SYMBOL FOR LINE FEED
      case 0x0B: AppendUtf8(0x240B, line); break;  // SYMBOL FOR LINE TABULATION
      case 0x0C: AppendUtf8(0x240C, line); break;  // SYMBOL FOR FORM FEED
      case 0x0D: AppendUtf8(0x240D, line); break;  // SYMBOL FOR CARRIAGE RETURN
      case 0x85:
      case 0x2028:
      case 0x2029: AppendUtf8(0x2424, line); break;  // SYMBOL FOR NEWLINE
      default: line.append(name.substr(at, character.length));
    }
    at += character.length;
  }
  return line;
}

}  // namespace quill
