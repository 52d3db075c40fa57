#include "common/unique_names.h"

#include <locale.h>
#include <wctype.h>

#include "common/utf8_steps.h"

namespace quill {

namespace {

// The case mappings of the UTF-8 locale, whatever the process's own locale.
locale_t Utf8Locale() {
  static const locale_t locale = [] {
    locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return l != static_cast<locale_t>(0) ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
  }();
  return locale;
}

// Every letter in lower case, beyond ASCII too: Access and the
// case-insensitive file systems (NTFS, FAT, exFAT, a folder of ext4 with
// casefolding) take "Ärger" and "ärger" for one name.
std::string Folded(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  for (std::size_t at = 0; at < name.size();) {
    const CodePoint character = DecodeAt(name, at);
    if (character.value < 0x80) {
      const char c = name[at];
      folded += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    } else if (character.value == kReplacementCharacter) {
      folded.append(name.substr(at, character.length));
    } else {
      AppendUtf8(static_cast<char32_t>(towlower_l(static_cast<wint_t>(character.value), Utf8Locale())), folded);
    }
    at += character.length;
  }
  return folded;
}

}  // namespace

std::string UniqueNames::Claim(const Fit& fit) {
  std::string name = fit("");
  for (int number = 2; !TryClaim(name); ++number) name = fit("_" + std::to_string(number));
  return name;
}

bool UniqueNames::TryClaim(std::string_view name) { return folded_.insert(Folded(name)).second; }

bool UniqueNames::Taken(std::string_view name) const { return folded_.count(Folded(name)) > 0; }

}  // namespace quill
