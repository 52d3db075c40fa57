#pragma once

#include <string>
#include <string_view>

#include "generator/lost_value_counts.h"
#include "platform/dataset/field.h"

namespace quill {

// A text value with bytes that start no UTF-8 sequence (a SQLite file may
// hold any bytes as text, which no engine's text column takes, and a script
// is UTF-8 text): each such byte becomes U+FFFD and the value is counted in
// `lost_values`, so the log names the column and the count.
inline constexpr std::string_view kNotUtf8Changed = "values that are not valid UTF-8: each bad byte written as U+FFFD";
// `is_text`: the column's class holds text (IsTextClass); other values are left as they are.
void KeepValidUtf8(LostValueCounts& lost_values, const Field& field, bool is_text, std::string& text);

}  // namespace quill
