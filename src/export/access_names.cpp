#include "export/access_names.h"

#include "common/unique_names.h"
#include "common/utf8_steps.h"
#include "platform/jet/writer/text_encoding.h"

namespace quill {

namespace {

constexpr std::size_t kMaxNameCharacters = 64;

bool RefusedInNames(const CodePoint& character, bool access_97) {
  const char32_t c = character.value;
  if (character.length == 1 && c == kReplacementCharacter) return true;  // not UTF-8
  if (c < 0x20 || c == 0x7F) return true;
  if (c == U'.' || c == U'!' || c == U'`' || c == U'[' || c == U']') return true;
  return access_97 && !jet::InWindows1252(c);
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); at += DecodeAt(text, at).length) ++count;
  return count;
}

}  // namespace

bool IsAccess97File(const Settings& settings) { return settings.access == 0; }

std::string AccessObjectName(std::string_view name, bool access_97, std::string_view suffix) {
  const std::size_t suffix_characters = CharacterCount(suffix);
  const std::size_t room = suffix_characters < kMaxNameCharacters ? kMaxNameCharacters - suffix_characters : 1;
  std::string result;
  std::size_t characters = 0;
  for (std::size_t at = 0; at < name.size() && characters < room; ++characters) {
    const CodePoint character = DecodeAt(name, at);
    if (RefusedInNames(character, access_97) || (characters == 0 && character.value == U' ')) {
      result += '_';
    } else {
      result.append(name.substr(at, character.length));
    }
    at += character.length;
  }
  if (result.empty()) result = "_";
  return result + std::string(suffix);
}

std::vector<std::string> AccessColumnNames(const std::vector<std::string>& field_names, bool access_97) {
  std::vector<std::string> names(field_names.size());
  UniqueNames taken;
  // Names that stand as they are come first, so a changed name never takes
  // the place of one the source really has.
  for (std::size_t k = 0; k < field_names.size(); ++k) {
    if (AccessObjectName(field_names[k], access_97) == field_names[k] && taken.TryClaim(field_names[k])) {
      names[k] = field_names[k];
    }
  }
  for (std::size_t k = 0; k < field_names.size(); ++k) {
    if (!names[k].empty()) continue;
    names[k] = taken.Claim(
        [&](std::string_view suffix) { return AccessObjectName(field_names[k], access_97, suffix); });
  }
  return names;
}

}  // namespace quill
