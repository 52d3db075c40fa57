#include "platform/jet/writer/row_format.h"

#include <algorithm>
#include <array>

#include "platform/jet/writer/byte_order.h"

namespace quill::jet {
namespace {

struct RowShape {
  std::size_t column_count = 0;
  std::size_t var_count = 0;
  std::size_t fixed_size = 0;
  std::size_t mask_size = 0;
};

RowShape ShapeOf(const std::vector<ColumnDefinition>& columns) {
  RowShape shape;
  shape.column_count = columns.size();
  for (const ColumnDefinition& column : columns) {
    if (column.fixed) {
      shape.fixed_size = std::max(shape.fixed_size, column.fixed_offset + FixedSize(column.type));
    } else {
      ++shape.var_count;
    }
  }
  shape.mask_size = (columns.size() + 7) / 8;
  return shape;
}

}  // namespace

void EncodeRow(const std::vector<ColumnDefinition>& columns, const std::vector<CellValue>& cells,
               const JetFormat& format, Bytes& row) {
  const RowShape shape = ShapeOf(columns);
  const std::size_t count_size = format.IsJet4() ? 2 : 1;
  row.assign(count_size + shape.fixed_size, 0);
  if (format.IsJet4()) {
    PutU16(row.data(), static_cast<std::uint32_t>(shape.column_count));
  } else {
    PutU8(row.data(), static_cast<std::uint32_t>(shape.column_count));
  }
  // At most 255 columns: 32 bytes of mask, 256 offsets.
  std::array<std::uint8_t, 32> mask{};
  std::array<std::size_t, 257> var_offsets{};
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnDefinition& column = columns[i];
    const CellValue& cell = cells[i];
    const bool bit = column.type == JetType::kBoolean ? cell.boolean : cell.present;
    if (bit) mask[column.number / 8] |= static_cast<std::uint8_t>(1u << (column.number % 8));
    if (column.fixed && cell.present) {
      std::copy(cell.bytes.begin(), cell.bytes.end(), row.begin() + count_size + column.fixed_offset);
    }
  }
  // Variable columns in column order; a Null one takes no bytes.
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnDefinition& column = columns[i];
    if (column.fixed) continue;
    var_offsets[column.var_index] = row.size();
    if (cells[i].present) row.insert(row.end(), cells[i].bytes.begin(), cells[i].bytes.end());
  }
  var_offsets[shape.var_count] = row.size();  // end of the variable data
  if (shape.var_count == 0) {
    row.insert(row.end(), mask.begin(), mask.begin() + static_cast<std::ptrdiff_t>(shape.mask_size));
    return;
  }
  if (format.IsJet4()) {
    // Lowest address first: end offset, then the entries from last to first.
    for (std::size_t k = shape.var_count + 1; k-- > 0;) AppendU16(row, static_cast<std::uint32_t>(var_offsets[k]));
    AppendU16(row, static_cast<std::uint32_t>(shape.var_count));
  } else {
    // One-byte offsets; the jump table names, for every 256-byte boundary of
    // the row, the first entry at or past it (0xFF where no entry is).
    const std::size_t fixed_tail = (shape.var_count + 1) + 1 + shape.mask_size;
    std::size_t jumps = 0;
    while (true) {
      const std::size_t length = row.size() + fixed_tail + jumps;
      const std::size_t needed = (length - 1) / 256;
      if (needed == jumps) break;
      jumps = needed;
    }
    for (std::size_t k = shape.var_count + 1; k-- > 0;) AppendU8(row, static_cast<std::uint32_t>(var_offsets[k] & 0xFF));
    std::array<std::uint8_t, 32> jump_table;
    jump_table.fill(0xFF);
    for (std::size_t j = 0; j < jumps; ++j) {
      for (std::size_t k = 0; k <= shape.var_count; ++k) {
        if (var_offsets[k] >= 256 * (j + 1)) {
          jump_table[j] = static_cast<std::uint8_t>(k);
          break;
        }
      }
    }
    for (std::size_t j = jumps; j-- > 0;) row.push_back(jump_table[j]);
    AppendU8(row, static_cast<std::uint32_t>(shape.var_count));
  }
  row.insert(row.end(), mask.begin(), mask.begin() + static_cast<std::ptrdiff_t>(shape.mask_size));
}

CellValue DecodeCell(const std::uint8_t* row, std::size_t size, const std::vector<ColumnDefinition>& columns,
                     const ColumnDefinition& column, const JetFormat& format) {
  const RowShape shape = ShapeOf(columns);
  const std::size_t count_size = format.IsJet4() ? 2 : 1;
  const std::uint8_t* mask = row + size - shape.mask_size;
  const bool bit = (mask[column.number / 8] >> (column.number % 8)) & 1;
  CellValue cell;
  if (column.type == JetType::kBoolean) {
    cell.present = true;
    cell.boolean = bit;
    return cell;
  }
  if (!bit) return cell;
  cell.present = true;
  if (column.fixed) {
    const std::uint8_t* at = row + count_size + column.fixed_offset;
    cell.bytes.assign(at, at + FixedSize(column.type));
    return cell;
  }
  std::size_t start = 0;
  std::size_t end = 0;
  const std::size_t table_end = size - shape.mask_size - (format.IsJet4() ? 2 : 1);  // var_len sits here
  if (format.IsJet4()) {
    auto entry = [&](std::size_t k) { return GetU16(row + table_end - 2 * (k + 1)); };
    start = entry(column.var_index);
    end = entry(column.var_index + 1u);
  } else {
    const std::size_t jumps = (size - 1) / 256;
    const std::uint8_t* jump_table_end = row + table_end;  // jump entry j at jump_table_end - 1 - j
    const std::uint8_t* offsets_end = jump_table_end - jumps;
    auto entry = [&](std::size_t k) {
      std::size_t used = 0;
      while (used < jumps && *(jump_table_end - 1 - used) <= k) ++used;
      return static_cast<std::size_t>(*(offsets_end - 1 - k)) + 256 * used;
    };
    start = entry(column.var_index);
    end = entry(column.var_index + 1u);
  }
  cell.bytes.assign(row + start, row + end);
  return cell;
}

}  // namespace quill::jet
