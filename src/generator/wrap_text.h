#pragma once

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

// The wrapped text appended to the script as one item, straight into its
// buffer.
void AppendWrappedItem(ScriptBuffer& script, std::string_view text, int limit);

}  // namespace quill
