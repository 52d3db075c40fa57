#include "shell/language_file.h"

#include <cctype>

#include "common/split_string.h"
#include "common/text_lines.h"
#include "platform/text/text_encoding.h"

namespace quill {

std::vector<LanguageLine> ParseLanguageList(std::string_view bytes) {
  const std::string text = TextFileToUtf8(bytes);
  std::vector<LanguageLine> result;
  for (const std::string& line : TextLines(text)) {
    const std::vector<std::string> pieces = SplitString(line, "=");
    LanguageLine parsed;
    parsed.key = pieces[0];
    if (parsed.key.find("//") != std::string::npos) continue;
    if (pieces.size() > 1) parsed.text = pieces[1];
    result.push_back(std::move(parsed));
  }
  return result;
}

std::string WelcomePageOfLanguage(const std::string& file_name) {
  std::string page;
  for (size_t i = 0; i < file_name.size();) {
    if (i + 3 <= file_name.size() && std::tolower(static_cast<unsigned char>(file_name[i])) == 'l' &&
        std::tolower(static_cast<unsigned char>(file_name[i + 1])) == 'n' &&
        std::tolower(static_cast<unsigned char>(file_name[i + 2])) == 'g') {
      page += "xml";
      i += 3;
    } else {
      page += file_name[i++];
    }
  }
  return "languages/" + page;
}

std::string LanguageMenuCaption(const std::string& file_name) { return file_name.substr(0, file_name.find('.')); }

}  // namespace quill
