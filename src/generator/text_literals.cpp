#include "generator/text_literals.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quill {

namespace {

// Eight bytes of a text as one word, to look at them together.
constexpr uint64_t kEveryByte = 0x0101010101010101;
constexpr uint64_t kHighBits = 0x8080808080808080;

uint64_t WordAt(std::string_view text, size_t i) {
  uint64_t word = 0;
  std::memcpy(&word, text.data() + i, sizeof word);
  return word;
}

// The last bytes of a text, fewer than eight, as one word filled up with
// blanks, which none of the looks below find.
uint64_t LastWordAt(std::string_view text, size_t i) {
  char bytes[sizeof(uint64_t)] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  std::memcpy(bytes, text.data() + i, text.size() - i);
  uint64_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// Not zero when a byte of the word is below `limit` (at most 0x80): a byte
// below it borrows into its own high bit, which the byte did not have.
uint64_t BytesBelow(uint64_t word, unsigned limit) { return (word - kEveryByte * limit) & ~word & kHighBits; }

// Not zero when a byte of the word is c.
uint64_t BytesEqual(uint64_t word, char c) {
  return BytesBelow(word ^ (kEveryByte * static_cast<unsigned char>(c)), 1);
}

// What one pass over a text finds: a byte below 0x20, a byte beyond ASCII,
// a single quote, the substitution mark.
struct TextBytes {
  bool low = false;
  bool beyond_ascii = false;
  bool quote = false;
  bool mark = false;
};

TextBytes ScanTextBytes(std::string_view text, char mark) {
  uint64_t low = 0;
  uint64_t high = 0;
  uint64_t quote = 0;
  uint64_t marks = 0;
  for (size_t i = 0; i < text.size(); i += sizeof(uint64_t)) {
    const uint64_t word = i + sizeof(uint64_t) <= text.size() ? WordAt(text, i) : LastWordAt(text, i);
    low |= BytesBelow(word, 0x20);
    high |= word & kHighBits;
    quote |= BytesEqual(word, '\'');
    if (mark != '\0') marks |= BytesEqual(word, mark);
  }
  return {low != 0, high != 0, quote != 0, marks != 0};
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsWordCharacter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

// Whether text starts with `word` (upper case), any case, as a whole word.
bool StartsWithWord(std::string_view text, std::string_view word) {
  if (text.size() < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i) {
    const char c = text[i] >= 'a' && text[i] <= 'z' ? static_cast<char>(text[i] - 'a' + 'A') : text[i];
    if (c != word[i]) return false;
  }
  return text.size() == word.size() || !IsWordCharacter(text[word.size()]);
}

// Calls visit for each line of text (split at CR LF, CR and LF) until it
// gives true; gives whether one did.
template <typename Visit>
bool AnyLine(std::string_view text, Visit visit) {
  size_t start = 0;
  bool after_break = false;
  while (true) {
    const size_t brk = text.find_first_of("\r\n", start);
    const bool last = brk == std::string_view::npos;
    const std::string_view line = text.substr(start, last ? std::string_view::npos : brk - start);
    if (visit(ValueLine{line, after_break, !last})) return true;
    if (last) return false;
    start = brk + (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n' ? 2 : 1);
    after_break = true;
  }
}

void AppendDoublingQuotes(std::string& out, std::string_view text) {
  size_t start = 0;
  for (size_t found = text.find('\''); found != std::string_view::npos; found = text.find('\'', start)) {
    out.append(text.substr(start, found + 1 - start));
    out += '\'';
    start = found + 1;
  }
  out.append(text.substr(start));
}

// One literal without joins: the prefix, the quotes, each quote doubled.
void AppendPlainLiteral(std::string& out, std::string_view text, std::string_view prefix, bool prefix_non_ascii) {
  if (!prefix.empty()) {
    const bool beyond_ascii =
        std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (!prefix_non_ascii || beyond_ascii) out += prefix;
  }
  out += '\'';
  AppendDoublingQuotes(out, text);
  out += '\'';
}

// CONCAT of two arguments, nested as a balanced tree so a text of many lines
// stays a shallow expression.
void AppendConcat(std::string& out, const std::vector<std::string>& pieces, size_t begin, size_t end) {
  if (end - begin == 1) {
    out += pieces[begin];
    return;
  }
  const size_t middle = begin + (end - begin) / 2;
  out += "CONCAT(";
  AppendConcat(out, pieces, begin, middle);
  out += ',';
  AppendConcat(out, pieces, middle, end);
  out += ')';
}

bool IsSubstitutionAt(std::string_view text, size_t i, const LiteralForm& form) {
  return form.substitution_mark != '\0' && text[i] == form.substitution_mark && form.substitutes(text.substr(i + 1));
}

void AppendJoinedLiteral(std::string& out, std::string_view text, const LiteralForm& form, std::string_view prefix,
                         bool prefix_non_ascii) {
  std::vector<std::string> pieces;
  if (form.long_text > 0 && text.size() > form.long_text) pieces.emplace_back(form.long_start);
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    const bool split = i < text.size() && (text[i] == '\r' || text[i] == '\n' || IsCommandByte(text[i]) ||
                                           IsSubstitutionAt(text, i, form));
    if (i < text.size() && !split) continue;
    if (i > start) {
      pieces.emplace_back();
      AppendPlainLiteral(pieces.back(), text.substr(start, i - start), prefix, prefix_non_ascii);
    }
    if (split) {
      pieces.push_back(std::string(form.char_function) + "(" +
                       std::to_string(static_cast<unsigned char>(text[i])) + ")");
    }
    start = i + 1;
  }
  if (form.join.empty()) {
    AppendConcat(out, pieces, 0, pieces.size());
    return;
  }
  for (size_t k = 0; k < pieces.size(); ++k) {
    if (k > 0) out += form.join;
    out += pieces[k];
  }
}

bool HoldsLowByte(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// Whether text holds a byte below 0x20 or the form's substitution mark: one
// pass that rules out every further look for most texts.
bool MayNeedJoins(std::string_view text, const LiteralForm& form) {
  const char mark = form.substitution_mark;
  return std::any_of(text.begin(), text.end(),
                     [mark](char c) { return static_cast<unsigned char>(c) < 0x20 || (mark != '\0' && c == mark); });
}

bool HoldsSubstitution(std::string_view text, const LiteralForm& form) {
  if (form.substitution_mark == '\0') return false;
  for (size_t i = text.find(form.substitution_mark); i != std::string_view::npos;
       i = text.find(form.substitution_mark, i + 1)) {
    if (form.substitutes(text.substr(i + 1))) return true;
  }
  return false;
}

}  // namespace

bool IsSqlPlusSubstitution(std::string_view after) {
  return !after.empty() && (IsWordCharacter(after.front()) || (after.front() >= '0' && after.front() <= '9') ||
                            after.front() == '&' || static_cast<unsigned char>(after.front()) >= 0x80);
}

bool IsBatchVariable(std::string_view after) { return after.starts_with("("); }

bool IsBatchCommandLine(const ValueLine& line) {
  if (!line.starts_line) return false;
  std::string_view text = line.text;
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  if (text.starts_with("!!") || text.starts_with(":")) return true;
  for (const std::string_view word : {"GO", "EXIT", "QUIT", "ED", "RESET"}) {
    if (StartsWithWord(text, word)) return true;
  }
  return false;
}

bool IsSqlPlusCommandLine(const ValueLine& line) {
  const std::string_view text = TrimBlanks(line.text);
  if (line.starts_line && line.ends_line && (text.empty() || text == "/" || text == ".")) return true;
  if (line.starts_line && text.starts_with("#")) return true;
  return line.ends_line && text.ends_with(";");
}

bool IsSlashLine(const ValueLine& line) {
  return line.starts_line && line.ends_line && TrimBlanks(line.text) == "/";
}

bool HoldsCommandLine(std::string_view text, const LiteralForm& form) {
  if (form.command_line == nullptr || text.find_first_of("\r\n") == std::string_view::npos) return false;
  return AnyLine(text, form.command_line);
}

void AppendTextLiteral(std::string& out, std::string_view text, const LiteralForm* form, std::string_view prefix,
                       bool prefix_non_ascii) {
  // One pass finds what the text holds; most texts hold no byte below 0x20,
  // no mark and no quote, and are copied as they are.
  const TextBytes found = ScanTextBytes(text, form != nullptr ? form->substitution_mark : '\0');
  const bool may_need_joins = form != nullptr && (found.low || found.mark);
  if (may_need_joins &&
      (std::any_of(text.begin(), text.end(), IsCommandByte) || HoldsCommandLine(text, *form) ||
       HoldsSubstitution(text, *form))) {
    AppendJoinedLiteral(out, text, *form, prefix, prefix_non_ascii);
    return;
  }
  if (!prefix_non_ascii || found.beyond_ascii) out += prefix;
  out += '\'';
  if (found.quote) {
    AppendDoublingQuotes(out, text);
  } else {
    out += text;
  }
  out += '\'';
}

size_t FindQuoteOrLowByte(std::string_view text, size_t from, char extra) {
  size_t i = from;
  // Whole words while they hold none of the bytes; the word that holds one
  // is looked at byte by byte below.
  for (; i + sizeof(uint64_t) <= text.size(); i += sizeof(uint64_t)) {
    const uint64_t word = WordAt(text, i);
    if ((BytesBelow(word, 0x20) | BytesEqual(word, '\'') | BytesEqual(word, extra)) != 0) break;
  }
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (static_cast<unsigned char>(c) < 0x20 || c == '\'' || c == extra) return i;
  }
  return std::string_view::npos;
}

std::string ScriptName(std::string_view name, const LiteralForm* form) {
  std::string written(name);
  if (form == nullptr ? !HoldsLowByte(name) : !MayNeedJoins(name, *form)) return written;
  const bool one_line = form != nullptr && HoldsCommandLine(name, *form);
  for (size_t i = 0; i < written.size(); ++i) {
    const char c = name[i];
    if (IsCommandByte(c) || (one_line && (c == '\r' || c == '\n')) ||
        (form != nullptr && IsSubstitutionAt(name, i, *form))) {
      written[i] = ' ';
    }
  }
  return written;
}

bool RemoveNulCharacters(std::string& text) {
  const size_t first = text.find('\0');
  if (first == std::string::npos) return false;
  text.erase(std::remove(text.begin() + static_cast<std::ptrdiff_t>(first), text.end(), '\0'), text.end());
  return true;
}

}  // namespace quill
