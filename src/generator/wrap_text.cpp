#include "generator/wrap_text.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quill {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

bool IsLineBreakAt(std::string_view text, size_t at) {
  return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n';
}

constexpr uint64_t kHighBits = 0x8080808080808080;

uint64_t WordAt(const char* bytes) {
  uint64_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

// Whether every byte is ASCII (then characters are bytes), eight at a time.
bool IsAscii(std::string_view text) {
  uint64_t all_bits = 0;
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) all_bits |= WordAt(text.data() + i);
  for (; i < text.size(); ++i) all_bits |= static_cast<unsigned char>(text[i]);
  return (all_bits & kHighBits) == 0;
}

// The characters (UTF-8 code points) of text[from, to): every byte that is
// no continuation byte (10xxxxxx) starts one.
size_t CharactersIn(std::string_view text, size_t from, size_t to, bool ascii) {
  if (ascii) return to - from;
  size_t continuations = 0;
  size_t i = from;
  for (; i + 8 <= to; i += 8) {
    const uint64_t word = WordAt(text.data() + i);
    // The top bit set and the next one clear.
    continuations += static_cast<size_t>(std::popcount(word & ~(word << 1) & kHighBits));
  }
  for (; i < to; ++i) continuations += (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80 ? 1 : 0;
  return to - from - continuations;
}

// The bytes the wrap must look at one by one outside quotes: the quotes, the
// comma and CR. Everything between them is counted as a span.
struct SpecialBytes {
  bool table[256] = {};
  constexpr SpecialBytes() {
    for (const char c : {'\'', '"', '`', ',', '\r'}) table[static_cast<unsigned char>(c)] = true;
  }
};
constexpr SpecialBytes kSpecial;

size_t NextSpecial(std::string_view text, size_t from) {
  while (from < text.size() && !kSpecial.table[static_cast<unsigned char>(text[from])]) ++from;
  return from;
}

// The wrapped text, handed to `out` piece by piece (out.append(view)).
//
// The line is scanned in spans: a quoted stretch up to its closing quote, a
// run of plain characters up to the next quote, comma or CR, then that one
// byte. Where inside a span the limit is met does not matter: a break always
// falls after the last usable comma, which no span moves.
template <typename Out>
void Wrap(std::string_view text, int limit_characters, Out& result) {
  const size_t limit = static_cast<size_t>(limit_characters);
  // No line can reach the limit: the text stays as it is.
  if (text.size() < limit) {
    result.append(text);
    return;
  }

  const bool ascii = IsAscii(text);
  size_t line_start = 0;   // first byte of the current line in `text`
  size_t scan = 0;         // next byte to scan
  size_t line_length = 0;  // characters of the current line scanned so far
  size_t last_comma = std::string_view::npos;  // last usable comma of the line
  char quote = 0;          // the open quote character, 0 outside quotes

  auto start_line = [&](size_t at) {
    line_start = at;
    scan = at;
    line_length = 0;
    last_comma = std::string_view::npos;
    quote = 0;
  };

  while (scan < text.size()) {
    if (quote != 0) {
      // The rest of a quoted stretch in one step: nothing inside it counts
      // but its characters, and a break it reaches falls after the comma
      // before it wherever inside it the limit is met.
      const size_t closing = text.find(quote, scan);
      const size_t end = closing == std::string_view::npos ? text.size() : closing + 1;
      line_length += CharactersIn(text, scan, end, ascii);
      scan = end;
      if (closing != std::string_view::npos) quote = 0;
    } else if (const size_t plain_end = NextSpecial(text, scan); plain_end > scan) {
      line_length += CharactersIn(text, scan, plain_end, ascii);
      scan = plain_end;
    } else {
      const char c = text[scan];
      if (c == '\'' || c == '"' || c == '`') {
        // Back quotes too: a back-quoted name may hold an apostrophe, which
        // must not be taken for the start of a value.
        quote = c;
      } else if (c == ',' && scan > line_start) {
        last_comma = scan;
      } else if (IsLineBreakAt(text, scan)) {
        result.append(text.substr(line_start, scan + kLineBreak.size() - line_start));
        start_line(scan + kLineBreak.size());
        continue;
      }
      ++line_length;
      ++scan;
    }

    if (line_length >= limit && last_comma != std::string_view::npos && last_comma + 1 < text.size()) {
      // Break after the last usable comma; the characters scanned after it
      // belong to the new line and are scanned again there, outside quotes as
      // the comma was. A CR LF right after the comma already is the break.
      size_t next = last_comma + 1;
      if (IsLineBreakAt(text, next)) {
        next += kLineBreak.size();
        result.append(text.substr(line_start, next - line_start));
      } else {
        result.append(text.substr(line_start, next - line_start));
        result.append(kLineBreak);
      }
      // Further commas and line breaks right after the break are kept as they
      // are but passed over: they do not count on the new line.
      const size_t passed_from = next;
      while (next < text.size()) {
        if (text[next] == ',') {
          ++next;
        } else if (IsLineBreakAt(text, next)) {
          next += kLineBreak.size();
        } else {
          break;
        }
      }
      result.append(text.substr(passed_from, next - passed_from));
      start_line(next);
    }
  }
  result.append(text.substr(line_start));
}

// ScriptBuffer's Append under the name std::string uses.
struct BufferAppender {
  ScriptBuffer& buffer;
  void append(std::string_view bytes) { buffer.Append(bytes); }
};

}  // namespace

std::string WrapText(std::string_view text, int limit) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  Wrap(text, limit, result);
  return result;
}

void AppendWrappedItem(ScriptBuffer& script, std::string_view text, int limit) {
  BufferAppender out{script};
  script.BeginItem();
  Wrap(text, limit, out);
  script.EndItem();
}

}  // namespace quill
