#include "generator/valid_utf8_text.h"

#include "common/utf8_steps.h"
#include "platform/text/text_encoding.h"

namespace quill {

void KeepValidUtf8(LostValueCounts& lost_values, const Field& field, bool is_text, std::string& text) {
  if (!is_text || IsAscii(text) || IsValidUtf8(text)) return;
  text = ValidUtf8(text);
  lost_values.Count(field.Name(), kNotUtf8Changed);
}

}  // namespace quill
