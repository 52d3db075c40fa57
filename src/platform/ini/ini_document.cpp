#include "platform/ini/ini_document.h"

#include "platform/ini/name_compare.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace quill {
namespace {

std::string_view Trim(std::string_view text) {
  const auto is_blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; };
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

// A value written in matching single or double quotes reads without them.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

IniDocument::IniDocument(const std::string& text) {
  if (text.find("\r\n") != std::string::npos) line_end_ = "\r\n";
  ends_with_line_end_ = text.empty() || text.back() == '\n';
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines_.push_back(ParseLine(line));
    start = end + 1;
  }
}

IniDocument::Line IniDocument::ParseLine(const std::string& text) {
  Line line;
  line.text = text;
  const std::string_view content = Trim(text);
  if (content.empty() || content.front() == ';' || content.front() == '#') return line;
  if (content.front() == '[') {
    const size_t close = content.find(']');
    if (close == std::string_view::npos) return line;
    line.kind = Line::Kind::kSection;
    line.name = Trim(content.substr(1, close - 1));
    return line;
  }
  const size_t equals = content.find('=');
  if (equals == std::string_view::npos) return line;
  line.kind = Line::Kind::kKey;
  line.name = Trim(content.substr(0, equals));
  line.value = Unquote(Trim(content.substr(equals + 1)));
  return line;
}

std::optional<size_t> IniDocument::FindSection(const std::string& section) const {
  const std::string_view wanted = Trim(section);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Line::Kind::kSection && SameNameIgnoringCase(lines_[i].name, wanted)) return i;
  }
  return std::nullopt;
}

size_t IniDocument::SectionEnd(size_t header) const {
  size_t end = header + 1;
  while (end < lines_.size() && lines_[end].kind != Line::Kind::kSection) ++end;
  return end;
}

std::optional<std::string> IniDocument::Find(const std::string& section, const std::string& key) const {
  const std::optional<size_t> header = FindSection(section);
  if (!header) return std::nullopt;
  const std::string_view wanted = Trim(key);
  for (size_t i = *header + 1; i < SectionEnd(*header); ++i) {
    if (lines_[i].kind == Line::Kind::kKey && SameNameIgnoringCase(lines_[i].name, wanted)) return lines_[i].value;
  }
  return std::nullopt;
}

std::vector<std::string> IniDocument::SectionNames() const {
  std::vector<std::string> names;
  for (const Line& line : lines_) {
    if (line.kind != Line::Kind::kSection) continue;
    const bool seen =
        std::any_of(names.begin(), names.end(), [&](const std::string& name) { return SameNameIgnoringCase(name, line.name); });
    if (!seen) names.push_back(line.name);
  }
  return names;
}

std::vector<std::pair<std::string, std::string>> IniDocument::Entries(const std::string& section) const {
  std::vector<std::pair<std::string, std::string>> entries;
  const std::optional<size_t> header = FindSection(section);
  if (!header) return entries;
  for (size_t i = *header + 1; i < SectionEnd(*header); ++i) {
    const Line& line = lines_[i];
    if (line.kind != Line::Kind::kKey) continue;
    const bool seen = std::any_of(entries.begin(), entries.end(),
                                  [&](const auto& entry) { return SameNameIgnoringCase(entry.first, line.name); });
    if (!seen) entries.emplace_back(line.name, line.value);
  }
  return entries;
}

void IniDocument::Set(const std::string& section, const std::string& key, const std::string& value) {
  // A line break would end the line early and start a line of its own.
  for (const std::string* text : {&section, &key, &value}) {
    if (text->find_first_of("\r\n") != std::string::npos) {
      throw std::invalid_argument("The value of " + key + " holds a line break and cannot be written.");
    }
  }
  const std::string_view wanted = Trim(key);
  std::optional<size_t> header = FindSection(section);
  if (!header) {
    lines_.push_back(ParseLine("[" + section + "]"));
    header = lines_.size() - 1;
  }
  const size_t end = SectionEnd(*header);
  for (size_t i = *header + 1; i < end; ++i) {
    Line& line = lines_[i];
    if (line.kind == Line::Kind::kKey && SameNameIgnoringCase(line.name, wanted)) {
      // Keep the key as it was spelled, with the blanks before the "=".
      line = ParseLine(line.text.substr(0, line.text.find('=')) + "=" + value);
      return;
    }
  }
  // After the section's last non-blank line, so a blank line that separates it
  // from the next section stays where it is.
  size_t position = end;
  while (position > *header + 1 && Trim(lines_[position - 1].text).empty()) --position;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(position), ParseLine(key + "=" + value));
}

std::string IniDocument::Text() const {
  std::string text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    text += lines_[i].text;
    if (i + 1 < lines_.size() || ends_with_line_end_) text += line_end_;
  }
  return text;
}

}  // namespace quill
