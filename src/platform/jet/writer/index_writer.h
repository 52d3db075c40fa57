#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/jet/writer/jet_format.h"
#include "platform/jet/writer/page_file.h"
#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

// One index entry: the key bytes, the row they point at and, on the levels
// above the leaves, the page below whose last entry this is.
struct IndexEntry {
  std::string_view key;
  std::uint32_t row_pointer;
  std::uint32_t child = 0;
};

struct IndexPages {
  std::uint32_t root = 0;
  std::vector<std::uint32_t> pages;
};

// Writes a B-tree over entries, which must be sorted by key: leaf pages with
// every entry, linked left to right, and levels of intermediate pages whose
// entries name the last entry of each page below, up to a single root.
IndexPages WriteIndex(const std::vector<IndexEntry>& entries, std::uint32_t table_page, PageFile& file,
                      const JetFormat& format);

}  // namespace quill::jet
