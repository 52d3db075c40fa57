#include "generator/wrap_text.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/text/text_encoding.h"

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

// The characters (UTF-8 code points) of text[from, to) of a text that is not
// all ASCII: every byte that is no continuation byte (10xxxxxx) starts one.
size_t CharactersInUtf8(std::string_view text, size_t from, size_t to) {
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

// The characters of text[from, to); in ASCII text, its bytes. Kept small so
// that the scan's every span does not pay a call.
inline size_t CharactersIn(std::string_view text, size_t from, size_t to, bool ascii) {
  return ascii ? to - from : CharactersInUtf8(text, from, to);
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

// Breaks the line that starts at line_start after its comma at `comma`:
// hands `out` the line up to the comma and CR LF (a CR LF right after the
// comma already is the break), then the commas and line breaks right after
// it, kept as they are but passed over: they do not count on the new line.
// Gives where the new line starts.
template <typename Out>
size_t BreakAfter(std::string_view text, size_t line_start, size_t comma, Out& out) {
  size_t next = comma + 1;
  if (IsLineBreakAt(text, next)) {
    next += kLineBreak.size();
    out.append(text.substr(line_start, next - line_start));
  } else {
    out.append(text.substr(line_start, next - line_start));
    out.append(kLineBreak);
  }
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
  out.append(text.substr(passed_from, next - passed_from));
  return next;
}

// Where the scan of a statement stands.
struct LineScan {
  size_t line_start = 0;   // first byte of the current line in `text`
  size_t scan = 0;         // next byte to scan
  size_t line_length = 0;  // characters of the current line scanned so far
  size_t last_comma = std::string_view::npos;  // last usable comma of the line
  char quote = 0;          // the open quote character, 0 outside quotes
};

// The lines of text from the scan's place on, handed to `out` piece by piece
// (out.append(view)); the last line is left to the caller.
//
// The line is scanned in spans: a quoted stretch up to its closing quote, a
// run of plain characters up to the next quote, comma or CR, then that one
// byte. Where inside a span the limit is met does not matter: a break always
// falls after the last usable comma, which no span moves.
template <typename Out>
void ScanLines(std::string_view text, size_t limit, bool ascii, LineScan& at, Out& result) {
  auto start_line = [&](size_t offset) {
    at.line_start = offset;
    at.scan = offset;
    at.line_length = 0;
    at.last_comma = std::string_view::npos;
    at.quote = 0;
  };

  while (at.scan < text.size()) {
    if (at.quote != 0) {
      // The rest of a quoted stretch in one step: nothing inside it counts
      // but its characters, and a break it reaches falls after the comma
      // before it wherever inside it the limit is met.
      const size_t closing = text.find(at.quote, at.scan);
      const size_t end = closing == std::string_view::npos ? text.size() : closing + 1;
      at.line_length += CharactersIn(text, at.scan, end, ascii);
      at.scan = end;
      if (closing != std::string_view::npos) at.quote = 0;
    } else if (const size_t plain_end = NextSpecial(text, at.scan); plain_end > at.scan) {
      at.line_length += CharactersIn(text, at.scan, plain_end, ascii);
      at.scan = plain_end;
    } else {
      const char c = text[at.scan];
      if (c == '\'' || c == '"' || c == '`') {
        // Back quotes too: a back-quoted name may hold an apostrophe, which
        // must not be taken for the start of a value.
        at.quote = c;
      } else if (c == ',' && at.scan > at.line_start) {
        at.last_comma = at.scan;
      } else if (IsLineBreakAt(text, at.scan)) {
        result.append(text.substr(at.line_start, at.scan + kLineBreak.size() - at.line_start));
        start_line(at.scan + kLineBreak.size());
        continue;
      }
      ++at.line_length;
      ++at.scan;
    }

    if (at.line_length >= limit && at.last_comma != std::string_view::npos && at.last_comma + 1 < text.size()) {
      // The characters scanned after the comma belong to the new line and
      // are scanned again there, outside quotes as the comma was.
      start_line(BreakAfter(text, at.line_start, at.last_comma, result));
    }
  }
}

// The wrapped text, handed to `out` piece by piece. A statement that starts
// with the table's row head is scanned from the head's end on, the head's
// lines written as they were wrapped once for the table.
template <typename Out>
void Wrap(std::string_view text, int limit_characters, const WrappedHead* head, Out& result) {
  const size_t limit = static_cast<size_t>(limit_characters);
  // No line can reach the limit: the text stays as it is.
  if (text.size() < limit) {
    result.append(text);
    return;
  }
  LineScan at;
  if (head != nullptr && head->limit == limit_characters && text.starts_with(head->head)) {
    result.append(head->lines_before_last);
    at.line_start = head->last_line_start;
    at.scan = head->head.size();
    at.line_length = head->last_line_length;
  }
  ScanLines(text, limit, IsAscii(text), at, result);
  result.append(text.substr(at.line_start));
}

// ScriptBuffer's Append under the name std::string uses. The wrap hands it
// empty pieces often (no head lines, nothing passed over after a break),
// which cost the buffer a call each.
struct BufferAppender {
  ScriptBuffer& buffer;
  void append(std::string_view bytes) {
    if (!bytes.empty()) buffer.Append(bytes);
  }
};

}  // namespace

std::string WrapText(std::string_view text, int limit) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  Wrap(text, limit, nullptr, result);
  return result;
}

std::optional<WrappedHead> WrapRowHead(std::string_view head, int limit) {
  // A head whose end a row's scan could see differently: a comma or line
  // break at its end (the break's passing over would run into the values),
  // an open quote, or a usable comma on its last line (a row's break could
  // fall inside the head).
  if (head.empty() || limit <= 0 || head.back() == ',' || head.back() == '\r' || head.back() == '\n') {
    return std::nullopt;
  }
  WrappedHead wrapped{.head = std::string(head), .limit = limit, .lines_before_last = {}, .last_line_start = 0,
                      .last_line_length = 0};
  LineScan at;
  ScanLines(head, static_cast<size_t>(limit), IsAscii(head), at, wrapped.lines_before_last);
  if (at.quote != 0 || at.last_comma != std::string_view::npos) return std::nullopt;
  wrapped.last_line_start = at.line_start;
  wrapped.last_line_length = at.line_length;
  return wrapped;
}

void AppendWrappedItem(ScriptBuffer& script, std::string_view text, int limit, const WrappedHead* head) {
  BufferAppender out{script};
  script.BeginItem();
  Wrap(text, limit, head, out);
  script.EndItem();
}

void RowCommas::RecordExpression(std::string_view text, size_t from) {
  char quote = 0;
  for (size_t i = from; i < text.size(); ++i) {
    const char c = text[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"' || c == '`') {
      quote = c;
    } else if (c == ',') {
      at_.push_back(i);
    } else if (c == '\r') {
      complete_ = false;
    }
  }
  if (quote != 0) complete_ = false;
}

void AppendWrappedRow(ScriptBuffer& script, std::string_view text, const WrappedHead& head,
                      std::span<const size_t> commas) {
  BufferAppender out{script};
  script.BeginItem();
  const size_t limit = static_cast<size_t>(head.limit);
  const size_t values_from = head.head.size();
  // No line can reach the limit: the text stays as it is.
  if (text.size() < limit) {
    out.append(text);
    script.EndItem();
    return;
  }
  // Characters are never more than bytes: a row whose values cannot take the
  // head's last line to the limit gets no break after the head.
  if (head.last_line_length + (text.size() - values_from) < limit) {
    out.append(head.lines_before_last);
    out.append(text.substr(head.last_line_start));
    script.EndItem();
    return;
  }
  const bool ascii = IsAscii(text.substr(values_from));
  out.append(head.lines_before_last);

  // The scan of Wrap, a span between two commas at a time: a span holds no
  // comma, no quote left open and no line break outside quotes, so only its
  // characters count, and a break they bring about falls after the comma
  // before the span wherever inside it the limit is met.
  size_t line_start = head.last_line_start;
  size_t line_length = head.last_line_length;
  size_t scan = values_from;
  size_t next_comma = 0;                       // index in commas of the next comma to scan
  size_t last_comma = std::string_view::npos;  // last usable comma of the line
  size_t after_last_comma = 0;                 // index in commas of the comma after it
  const auto due = [&] {
    return line_length >= limit && last_comma != std::string_view::npos && last_comma + 1 < text.size();
  };
  // The new line is scanned from its start, past the commas passed over.
  const auto break_line = [&] {
    line_start = BreakAfter(text, line_start, last_comma, out);
    scan = line_start;
    line_length = 0;
    last_comma = std::string_view::npos;
    next_comma = after_last_comma;
    while (next_comma < commas.size() && commas[next_comma] < line_start) ++next_comma;
  };
  while (true) {
    const size_t span_end = next_comma < commas.size() ? commas[next_comma] : text.size();
    line_length += CharactersIn(text, scan, span_end, ascii);
    scan = span_end;
    if (due()) {
      break_line();
      continue;
    }
    if (next_comma == commas.size()) break;
    if (scan > line_start) {
      last_comma = scan;
      after_last_comma = next_comma + 1;
    }
    ++line_length;
    ++scan;
    ++next_comma;
    if (due()) break_line();
  }
  out.append(text.substr(line_start));
  script.EndItem();
}

}  // namespace quill
