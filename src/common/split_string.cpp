#include "common/split_string.h"

namespace quill {

std::vector<std::string> SplitString(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> pieces;
  if (delimiter.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  size_t start = 0;
  for (size_t found = text.find(delimiter); found != std::string_view::npos;
       found = text.find(delimiter, start)) {
    pieces.emplace_back(text.substr(start, found - start));
    start = found + delimiter.size();
  }
  pieces.emplace_back(text.substr(start));
  return pieces;
}

}  // namespace quill
