#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/jet/writer/column_definition.h"
#include "platform/jet/writer/jet_format.h"
#include "platform/jet/writer/page_file.h"

namespace quill::jet {

// The primary-key index as the table definition describes it.
struct PrimaryKeyDefinition {
  std::string name;
  std::vector<std::uint16_t> column_numbers;  // in the key's order, at most kMaxKeyColumns
  std::uint32_t used_pages = 0;  // row pointer of the index's usage map
  std::uint32_t root_page = 0;
};

struct TableDefinition {
  bool system = false;
  std::uint32_t row_count = 0;
  std::vector<ColumnDefinition> columns;
  std::uint32_t used_pages = 0;  // row pointers of the table's usage maps
  std::uint32_t free_pages = 0;
  std::optional<PrimaryKeyDefinition> key;
};

// Writes the table definition at first_page, continuing on new pages when it
// does not fit one.
void WriteTableDefinition(const TableDefinition& table, std::uint32_t first_page, PageFile& file,
                          const JetFormat& format);

}  // namespace quill::jet
