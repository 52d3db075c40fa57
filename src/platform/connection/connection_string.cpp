#include "platform/connection/connection_string.h"

#include <algorithm>
#include <cctype>

namespace quill {
namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace

std::optional<std::string> ConnectionStringValue(const std::string& connection_string, const std::string& key) {
  std::size_t start = 0;
  while (start <= connection_string.size()) {
    const std::size_t equals = connection_string.find('=', start);
    if (equals == std::string::npos) break;
    const std::string name = Trimmed(connection_string.substr(start, equals - start));
    std::size_t value_start = equals + 1;
    while (value_start < connection_string.size() && connection_string[value_start] == ' ') ++value_start;
    std::string value;
    std::size_t end;
    if (value_start < connection_string.size() && connection_string[value_start] == '"') {
      const std::size_t closing = connection_string.find('"', value_start + 1);
      const std::size_t value_end = closing == std::string::npos ? connection_string.size() : closing;
      value = connection_string.substr(value_start + 1, value_end - value_start - 1);
      end = connection_string.find(';', value_end);
    } else {
      end = connection_string.find(';', value_start);
      value = Trimmed(connection_string.substr(value_start, end == std::string::npos ? std::string::npos : end - value_start));
    }
    if (EqualIgnoringCase(name, key)) return value;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace quill
