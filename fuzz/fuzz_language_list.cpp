// A language list (".lng"): its lines, and the file name as a menu caption
// and a welcome page.
#include "fuzz_support.h"
#include "shell/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = quill::fuzz::Bytes(data, size);
  for (const quill::LanguageLine& line : quill::ParseLanguageList(bytes)) {
    if (line.key.find("//") != std::string::npos) __builtin_trap();  // comments are left out
  }
  const std::string file_name(bytes.substr(0, 64));
  quill::WelcomePageOfLanguage(file_name);
  quill::LanguageMenuCaption(file_name);
  return 0;
}
