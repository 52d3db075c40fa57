#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quill {

// A run of text bytes that never moves, with the end of every line break in
// it: CR LF, a lone CR or a lone LF, judged within the span (a CR as its last
// byte is lone until a LF is appended after it).
struct TextSpan {
  const char* data = nullptr;
  std::size_t size = 0;
  std::vector<std::uint32_t> break_ends;  // position just after each break, ascending
};

// Records the breaks of the bytes from `from` to the span's size, after
// bytes whose breaks are recorded already. Spans hold less than 4 GiB.
void RecordBreaks(TextSpan& span, std::size_t from);

}  // namespace quill
