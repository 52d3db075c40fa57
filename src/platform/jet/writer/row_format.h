#pragma once

#include <vector>

#include "platform/jet/writer/column_definition.h"
#include "platform/jet/writer/jet_format.h"
#include "platform/jet/writer/variant_value.h"

namespace quill::jet {

// One column's value as the row stores it: absent for Null, the stored bytes
// otherwise (a long value's 12-byte reference once it is placed); booleans
// keep their value in the null mask.
struct CellValue {
  bool present = false;
  bool boolean = false;
  Bytes bytes;
};

// A data row: column count, fixed part, variable part, the variable-column
// offset table (with the jump table in Jet 3), its entry count, null mask.
// Into row, whose buffer is reused.
void EncodeRow(const std::vector<ColumnDefinition>& columns, const std::vector<CellValue>& cells,
               const JetFormat& format, Bytes& row);

// The stored value of one column of a row this writer encoded.
CellValue DecodeCell(const std::uint8_t* row, std::size_t size, const std::vector<ColumnDefinition>& columns,
                     const ColumnDefinition& column, const JetFormat& format);

}  // namespace quill::jet
