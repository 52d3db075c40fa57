#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/script_buffer.h"

namespace quill {

// Wraps one statement text so that its lines stay near `limit` characters,
// breaking with CR LF only after a comma outside quoted values and names
// (', " and `, each closed by itself). A line with no
// usable comma stays longer; a quoted value is never split; CR LF already in
// the text (outside quotes) starts a new line. Characters are UTF-8 code
// points.
std::string WrapText(std::string_view text, int limit);

// The row head every row statement of a table starts with ("INSERT INTO t
// VALUES("), wrapped once for the table: its lines before the last, and
// where the scan stands at its end. A row is then scanned from the head's
// end on, with the same result as the whole statement's wrap.
struct WrappedHead {
  std::string head;
  int limit = 0;
  std::string lines_before_last;  // wrapped, each with its CR LF
  size_t last_line_start = 0;     // in head
  size_t last_line_length = 0;    // characters of the last line
};

// The head wrapped at `limit`; none when a row's wrap could reach back into
// it (a usable comma on its last line, an open quote, a comma or line break
// at its end).
std::optional<WrappedHead> WrapRowHead(std::string_view head, int limit);

// The wrapped text appended to the script as one item, straight into its
// buffer. With `head` a text that starts with it is scanned from its end on.
void AppendWrappedItem(ScriptBuffer& script, std::string_view text, int limit, const WrappedHead* head = nullptr);

// The commas a row statement holds outside quotes after its head, recorded
// by the writer as it writes them: the separators between values and the
// commas of its expressions (decode('..','hex')). They are the only places
// the wrap may break a row at, so the row is wrapped from them and its
// values are never read again.
class RowCommas {
 public:
  // Starts the next row: nothing recorded.
  void Clear() {
    at_.clear();
    complete_ = true;
  }
  // Appends "," to the row text and records where it stands.
  void Append(std::string& text) {
    at_.push_back(text.size());
    text += ',';
  }
  // Records a comma the writer has just written at `offset`, after every
  // comma recorded so far.
  void Record(size_t offset) { at_.push_back(offset); }
  // Records the commas outside quotes of an expression the writer has just
  // appended to the row text from `from` on, a few words of its own around
  // quoted literals (TO_DATE('..','..')). An expression that could end inside
  // quotes or holds a line break outside them leaves the row to the scanning
  // wrap.
  void RecordExpression(std::string_view text, size_t from);

  // Whether the row's commas are all recorded and it holds no line break
  // outside quotes after its head.
  bool Complete() const { return complete_; }
  std::span<const size_t> Offsets() const { return at_; }

 private:
  std::vector<size_t> at_;
  bool complete_ = true;
};

// The row statement `text`, which starts with `head` and after it holds
// commas outside quotes exactly at `commas` and no line break outside quotes,
// wrapped at the head's limit and appended as one item: the bytes of
// AppendWrappedItem, found from the commas alone.
void AppendWrappedRow(ScriptBuffer& script, std::string_view text, const WrappedHead& head,
                      std::span<const size_t> commas);

}  // namespace quill
