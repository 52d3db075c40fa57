#include "platform/jet/writer/long_value_writer.h"

#include <algorithm>

#include "platform/jet/writer/byte_order.h"
#include "platform/jet/writer/jet_write_error.h"

namespace quill::jet {
namespace {

constexpr std::uint32_t kInlineFlag = 0x80000000;
constexpr std::uint32_t kSingleRowFlag = 0x40000000;

Bytes Reference(std::uint32_t length_and_flags, std::uint32_t pointer) {
  Bytes out(12, 0);
  PutU32(out.data(), length_and_flags);
  PutU32(out.data() + 4, pointer);
  return out;
}

}  // namespace

LongValueWriter::LongValueWriter(PageFile& file, const JetFormat& format)
    : file_(file), format_(format), shared_(file, format, kLongValueOwner) {}

Bytes LongValueWriter::Store(const Bytes& value) {
  if (value.size() > kMaxLength) throw JetWriteError("The value is longer than a long value can be.");
  const auto length = static_cast<std::uint32_t>(value.size());
  if (value.size() <= kInlineLimit) {
    Bytes out = Reference(length | kInlineFlag, 0);
    out.insert(out.end(), value.begin(), value.end());
    return out;
  }
  if (value.size() <= shared_.MaxRowSize()) {
    return Reference(length | kSingleRowFlag, shared_.Add(value));
  }
  // A chain: every page holds one row, the pointer to the next row and a part.
  const std::size_t part = shared_.MaxRowSize() - 4;
  const auto count = static_cast<std::uint32_t>((value.size() + part - 1) / part);
  const std::uint32_t first = file_.Allocate(count);
  std::vector<std::uint8_t> page(format_.page_size);
  for (std::uint32_t k = 0; k < count; ++k) {
    const std::size_t begin = k * part;
    const std::size_t size = std::min(part, value.size() - begin);
    std::fill(page.begin(), page.end(), 0);
    page[0] = 0x01;
    page[1] = 0x01;
    PutU32(&page[4], kLongValueOwner);
    PutU16(&page[format_.data_row_count_offset], 1);
    const std::size_t top = format_.page_size - size - 4;
    PutU16(&page[format_.data_header_size], static_cast<std::uint32_t>(top));
    PutU16(&page[2], static_cast<std::uint32_t>(top - format_.data_header_size - 2));
    PutU32(&page[top], k + 1 < count ? RowPointer(first + k + 1, 0) : 0);
    std::copy(value.begin() + static_cast<std::ptrdiff_t>(begin),
              value.begin() + static_cast<std::ptrdiff_t>(begin + size), page.begin() + static_cast<std::ptrdiff_t>(top + 4));
    file_.Write(first + k, page.data());
  }
  return Reference(length, RowPointer(first, 0));
}

}  // namespace quill::jet
