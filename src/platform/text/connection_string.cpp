#include "platform/text/connection_string.h"

#include <algorithm>
#include <cctype>

namespace quill {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

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

// A quoted value from its opening quote on; `end` is left at the ";" after
// it, or npos.
std::string QuotedValue(const std::string& text, std::size_t opening, std::size_t& end) {
  const char quote = text[opening];
  std::string value;
  std::size_t at = opening + 1;
  while (at < text.size()) {
    if (text[at] == quote) {
      if (at + 1 < text.size() && text[at + 1] == quote) {
        value += quote;
        at += 2;
        continue;
      }
      ++at;
      break;
    }
    value += text[at++];
  }
  end = text.find(';', at);
  return value;
}

}  // namespace

std::optional<std::string> ConnectionStringValue(const std::string& connection_string, const std::string& key) {
  std::size_t start = 0;
  while (start <= connection_string.size()) {
    const std::size_t equals = connection_string.find('=', start);
    if (equals == std::string::npos) break;
    const std::string name = Trimmed(connection_string.substr(start, equals - start));
    std::size_t value_start = equals + 1;
    while (value_start < connection_string.size() && IsBlank(connection_string[value_start])) ++value_start;
    std::string value;
    std::size_t end;
    if (value_start < connection_string.size() &&
        (connection_string[value_start] == '"' || connection_string[value_start] == '\'')) {
      value = QuotedValue(connection_string, value_start, end);
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

std::string ConnectionStringQuoted(const std::string& value) {
  const bool plain = value.find(';') == std::string::npos &&
                     (value.empty() || (value.front() != '"' && value.front() != '\'' && !IsBlank(value.front()) &&
                                        !IsBlank(value.back())));
  if (plain) return value;
  std::string quoted = "\"";
  for (const char c : value) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

}  // namespace quill
