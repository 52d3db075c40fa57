#include "platform/jet/reader/text_file_format.h"

namespace quill {

TextRecordReader::TextRecordReader(std::istream& in, char separator) : in_(in), separator_(separator) {}

bool TextRecordReader::ReadRecord(std::vector<TextValue>& fields) {
  fields.clear();
  TextValue current;
  bool in_quotes = false;
  bool any_content = false;  // the record is more than an empty line
  int c;
  while ((c = in_.get()) != std::char_traits<char>::eof()) {
    const char ch = static_cast<char>(c);
    if (in_quotes) {
      if (ch == '"') {
        if (in_.peek() == '"') {
          in_.get();
          current.text += '"';
        } else {
          in_quotes = false;
        }
      } else {
        current.text += ch;
      }
      continue;
    }
    if (ch == '"' && !current.quoted && current.text.empty()) {
      in_quotes = true;
      current.quoted = true;
      any_content = true;
    } else if (ch == separator_) {
      fields.push_back(std::move(current));
      current = TextValue{};
      any_content = true;
    } else if (ch == '\n' || (ch == '\r' && in_.peek() == '\n')) {
      if (ch == '\r') in_.get();
      if (!any_content && current.text.empty()) continue;  // an empty line
      fields.push_back(std::move(current));
      return true;
    } else {
      current.text += ch;
      any_content = true;
    }
  }
  if (!any_content && current.text.empty()) return false;
  fields.push_back(std::move(current));
  return true;
}

char DetectSeparator(std::string_view first_line) {
  constexpr char kCandidates[] = {';', ',', '\t'};
  int counts[3] = {0, 0, 0};
  size_t first_seen[3] = {std::string_view::npos, std::string_view::npos, std::string_view::npos};
  bool in_quotes = false;
  for (size_t i = 0; i < first_line.size(); ++i) {
    const char ch = first_line[i];
    if (ch == '"') in_quotes = !in_quotes;
    if (in_quotes) continue;
    for (int k = 0; k < 3; ++k) {
      if (ch == kCandidates[k]) {
        ++counts[k];
        if (first_seen[k] == std::string_view::npos) first_seen[k] = i;
      }
    }
  }
  int best = 0;
  for (int k = 1; k < 3; ++k) {
    if (counts[k] > counts[best] || (counts[k] == counts[best] && counts[k] > 0 && first_seen[k] < first_seen[best])) {
      best = k;
    }
  }
  return kCandidates[best];
}

void SkipByteOrderMark(std::istream& in) {
  char bom[3];
  in.read(bom, 3);
  if (in.gcount() == 3 && bom[0] == '\xEF' && bom[1] == '\xBB' && bom[2] == '\xBF') return;
  in.clear();
  in.seekg(0);
}

}  // namespace quill
