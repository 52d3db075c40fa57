#include "common/text_lines.h"

namespace quill {

std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch == '\r' || ch == '\n') {
      lines.push_back(line);
      line.clear();
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += ch;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace quill
