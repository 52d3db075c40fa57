#include "common/text_span.h"

#include <cstring>
#include <stdexcept>

namespace quill {
namespace {

const char* Find(const char* from, const char* end, char byte) {
  const void* found = std::memchr(from, byte, static_cast<std::size_t>(end - from));
  return found == nullptr ? end : static_cast<const char*>(found);
}

}  // namespace

void RecordBreaks(TextSpan& span, std::size_t from) {
  if (span.size > UINT32_MAX) throw std::length_error("TextSpan: a span holds less than 4 GiB");
  const char* data = span.data;
  const char* end = data + span.size;
  // A CR that ended the bytes before was lone; with a LF after it, the two are one break.
  if (from > 0 && from < span.size && data[from - 1] == '\r' && data[from] == '\n' && !span.break_ends.empty() &&
      span.break_ends.back() == from) {
    span.break_ends.pop_back();
  }
  // Both line-end bytes are found with memchr; a CR is followed by its LF in
  // nearly every script, so each search runs over one line.
  const char* next_cr = Find(data + from, end, '\r');
  const char* next_lf = Find(data + from, end, '\n');
  while (next_cr != end || next_lf != end) {
    if (next_lf < next_cr) {
      span.break_ends.push_back(static_cast<std::uint32_t>(next_lf + 1 - data));
      next_lf = Find(next_lf + 1, end, '\n');
      continue;
    }
    if (next_cr + 1 < end && next_cr[1] == '\n') {
      span.break_ends.push_back(static_cast<std::uint32_t>(next_cr + 2 - data));
      next_lf = Find(next_cr + 2, end, '\n');
    } else {
      span.break_ends.push_back(static_cast<std::uint32_t>(next_cr + 1 - data));
    }
    next_cr = Find(next_cr + 1, end, '\r');
  }
}

}  // namespace quill
