#pragma once

#include "platform/jet/writer/data_page_writer.h"

namespace quill::jet {

// Places memo and OLE values: a short value stays in the row, one that fits a
// page goes into a shared long-value (LVAL) page, a longer one into a chain of
// LVAL pages, each naming the next. The row keeps a 12-byte reference.
class LongValueWriter {
 public:
  LongValueWriter(PageFile& file, const JetFormat& format);

  // The reference the row stores for value.
  Bytes Store(const Bytes& value);
  void Flush() { shared_.Flush(); }

  // Values up to this many bytes stay in the row.
  static constexpr std::size_t kInlineLimit = 64;
  // Longest value a reference can describe.
  static constexpr std::size_t kMaxLength = 0x3FFFFFFF;

 private:
  PageFile& file_;
  const JetFormat& format_;
  DataPageWriter shared_;
};

// The owner word of LVAL pages ("LVAL" in the file).
constexpr std::uint32_t kLongValueOwner = 'L' | ('V' << 8) | ('A' << 16) | (static_cast<std::uint32_t>('L') << 24);

}  // namespace quill::jet
