#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

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

}  // namespace quill
