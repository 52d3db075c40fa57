#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// One line of a language list: the key and, when the line holds an "=", the
// text between the first "=" and the second (or the end of the line).
struct LanguageLine {
  std::string key;
  std::optional<std::string> text;
};

// The lines of a language list in file order, as UTF-8 (the bytes are taken
// as Windows-1252 when they are not valid UTF-8). Lines end at CR LF, a lone
// CR or a lone LF. Comment lines (a key holding "//") are left out; keys and
// texts are kept exactly, blanks included.
std::vector<LanguageLine> ParseLanguageList(std::string_view bytes);

// The welcome page of a language list: "languages/" + the file name with
// every "lng" (any case) replaced by "xml".
std::string WelcomePageOfLanguage(const std::string& file_name);

// A listed language's menu caption: the file name up to its first ".".
std::string LanguageMenuCaption(const std::string& file_name);

}  // namespace quill
