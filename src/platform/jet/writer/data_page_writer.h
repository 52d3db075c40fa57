#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/jet/writer/jet_format.h"
#include "platform/jet/writer/page_file.h"
#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

// Packs rows into data pages of one owner (a table, or LVAL for long values):
// rows fill a page from its end towards the header, and a full page goes to
// the file at once, so only one page is ever held in memory.
class DataPageWriter {
 public:
  // owner: the table definition page, or the word "LVAL" for long values.
  DataPageWriter(PageFile& file, const JetFormat& format, std::uint32_t owner);

  // Largest row a page holds.
  std::size_t MaxRowSize() const;
  // Whether a row of this size still fits in the page being filled.
  bool Fits(std::size_t size) const;
  // Stores the row and returns its row pointer (page << 8 | row number).
  std::uint32_t Add(const std::uint8_t* row, std::size_t size);
  std::uint32_t Add(const Bytes& row) { return Add(row.data(), row.size()); }
  // Starts a new page even when the current one has room.
  void StartNewPage();
  // Writes the page being filled (it may still take rows afterwards).
  void Flush();

  const std::vector<std::uint32_t>& pages() const { return pages_; }

  // Calls visit for every row stored so far, in order, with its row pointer.
  void ForEachRow(const std::function<void(std::uint32_t, const std::uint8_t*, std::size_t)>& visit) const;

 private:
  void Begin();

  PageFile& file_;
  const JetFormat& format_;
  std::uint32_t owner_;
  std::vector<std::uint8_t> page_;
  std::uint32_t page_number_ = 0;
  bool open_ = false;
  std::size_t row_count_ = 0;
  std::size_t top_ = 0;  // lowest byte used by rows
  std::vector<std::uint32_t> pages_;
};

}  // namespace quill::jet
