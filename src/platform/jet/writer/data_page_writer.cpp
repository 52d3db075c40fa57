#include "platform/jet/writer/data_page_writer.h"

#include <cstring>

#include "platform/jet/writer/byte_order.h"
#include "platform/jet/writer/jet_write_error.h"

namespace quill::jet {

DataPageWriter::DataPageWriter(PageFile& file, const JetFormat& format, std::uint32_t owner)
    : file_(file), format_(format), owner_(owner), page_(format.page_size, 0) {}

std::size_t DataPageWriter::MaxRowSize() const { return format_.page_size - format_.data_header_size - 2; }

bool DataPageWriter::Fits(std::size_t size) const {
  if (!open_) return true;
  const std::size_t header_end = format_.data_header_size + 2 * (row_count_ + 1);
  return row_count_ < kMaxRowsPerPage && top_ >= header_end + size;
}

void DataPageWriter::Begin() {
  std::memset(page_.data(), 0, page_.size());
  page_[0] = 0x01;
  page_[1] = 0x01;
  PutU32(&page_[4], owner_);
  page_number_ = file_.Allocate();
  pages_.push_back(page_number_);
  row_count_ = 0;
  top_ = format_.page_size;
  open_ = true;
}

std::uint32_t DataPageWriter::Add(const std::uint8_t* row, std::size_t size) {
  if (size > MaxRowSize()) throw JetWriteError("The row is too large for a data page.");
  if (!Fits(size)) {
    Flush();
    open_ = false;
  }
  if (!open_) Begin();
  top_ -= size;
  std::memcpy(&page_[top_], row, size);
  PutU16(&page_[format_.data_header_size + 2 * row_count_], static_cast<std::uint32_t>(top_));
  ++row_count_;
  PutU16(&page_[format_.data_row_count_offset], static_cast<std::uint32_t>(row_count_));
  const std::size_t header_end = format_.data_header_size + 2 * row_count_;
  PutU16(&page_[2], static_cast<std::uint32_t>(top_ - header_end));
  return RowPointer(page_number_, static_cast<std::uint32_t>(row_count_ - 1));
}

void DataPageWriter::StartNewPage() {
  if (!open_) return;
  Flush();
  open_ = false;
}

void DataPageWriter::Flush() {
  if (open_) file_.Write(page_number_, page_.data());
}

void DataPageWriter::ForEachRow(const std::function<void(std::uint32_t, const std::uint8_t*, std::size_t)>& visit) const {
  std::vector<std::uint8_t> buffer(format_.page_size);
  for (std::uint32_t page : pages_) {
    const std::uint8_t* data = page_.data();
    if (!(open_ && page == page_number_)) {
      file_.Read(page, buffer.data());
      data = buffer.data();
    }
    const std::size_t rows = GetU16(data + format_.data_row_count_offset);
    std::size_t end = format_.page_size;
    for (std::size_t r = 0; r < rows; ++r) {
      const std::size_t start = GetU16(data + format_.data_header_size + 2 * r) & 0x1FFF;
      visit(RowPointer(page, static_cast<std::uint32_t>(r)), data + start, end - start);
      end = start;
    }
  }
}

}  // namespace quill::jet
