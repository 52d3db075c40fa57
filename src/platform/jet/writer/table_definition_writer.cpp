#include "platform/jet/writer/table_definition_writer.h"

#include <algorithm>

#include "platform/jet/writer/byte_order.h"
#include "platform/jet/writer/text_encoding.h"

namespace quill::jet {
namespace {

constexpr std::uint8_t kUserTable = 0x4E;
constexpr std::uint8_t kSystemTable = 0x53;
constexpr std::uint8_t kFixedColumn = 0x01;
constexpr std::uint8_t kNullableColumn = 0x02;
constexpr std::uint8_t kCompressedUnicode = 0x01;
constexpr std::uint8_t kUniqueIndex = 0x01;
constexpr std::uint8_t kRequiredIndex = 0x08;
constexpr std::uint8_t kPrimaryKeyIndex = 0x01;
constexpr std::uint16_t kWindows1252 = 0x4E4;

void AppendName(Bytes& out, const std::string& name, const JetFormat& format) {
  const std::u32string characters = DecodeUtf8(name);
  if (format.IsJet4()) {
    const Bytes text = EncodeJet4Text(characters, false);
    AppendU16(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
  } else {
    const Bytes text = EncodeJet3Text(characters, name);
    AppendU8(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
  }
}

std::uint8_t ColumnFlags(const ColumnDefinition& column) {
  std::uint8_t flags = 0;
  if (column.fixed) flags |= kFixedColumn;
  if (column.nullable) flags |= kNullableColumn;
  return flags;
}

void AppendColumn(Bytes& out, const ColumnDefinition& column, const JetFormat& format) {
  const std::size_t at = out.size();
  const bool text = column.type == JetType::kText || column.type == JetType::kMemo;
  if (format.IsJet4()) {
    AppendZeros(out, 25);
    std::uint8_t* c = &out[at];
    c[0] = static_cast<std::uint8_t>(column.type);
    PutU16(c + 5, column.number);
    PutU16(c + 7, column.var_index);
    PutU16(c + 9, column.number);
    if (text) {
      PutU16(c + 11, format.text_sort_order);
    } else if (column.type == JetType::kNumeric) {
      c[11] = column.precision;
      c[12] = column.scale;
    }
    c[15] = ColumnFlags(column);
    if (text && column.compressed_unicode) c[16] = kCompressedUnicode;
    PutU16(c + 21, column.fixed_offset);
    PutU16(c + 23, DeclaredLength(column, format));
  } else {
    AppendZeros(out, 18);
    std::uint8_t* c = &out[at];
    c[0] = static_cast<std::uint8_t>(column.type);
    PutU16(c + 1, column.number);
    PutU16(c + 3, column.var_index);
    PutU16(c + 5, column.number);
    if (text) {
      PutU16(c + 7, format.text_sort_order);
      PutU16(c + 9, kWindows1252);
    }
    c[13] = ColumnFlags(column);
    PutU16(c + 14, column.fixed_offset);
    PutU16(c + 16, DeclaredLength(column, format));
  }
}

Bytes BuildDefinition(const TableDefinition& table, const JetFormat& format) {
  const bool jet4 = format.IsJet4();
  const std::uint32_t index_count = table.key ? 1 : 0;
  std::uint16_t var_count = 0;
  for (const ColumnDefinition& column : table.columns) var_count = static_cast<std::uint16_t>(var_count + !column.fixed);

  Bytes out(8, 0);
  out[0] = 0x02;
  out[1] = 0x01;
  AppendU32(out, 0);  // total length, set below
  if (jet4) AppendU32(out, 0);
  AppendU32(out, table.row_count);
  AppendU32(out, 0);  // next autonumber
  if (jet4) {
    AppendU8(out, 0);
    AppendZeros(out, 3);
    AppendU32(out, 0);
    AppendZeros(out, 8);
  }
  AppendU8(out, table.system ? kSystemTable : kUserTable);
  AppendU16(out, static_cast<std::uint32_t>(table.columns.size()));  // most columns a row has
  AppendU16(out, var_count);
  AppendU16(out, static_cast<std::uint32_t>(table.columns.size()));
  AppendU32(out, index_count);
  AppendU32(out, index_count);
  AppendU32(out, table.used_pages);
  AppendU32(out, table.free_pages);
  for (std::uint32_t i = 0; i < index_count; ++i) {
    AppendU32(out, 0);
    AppendU32(out, table.row_count);
    if (jet4) AppendU32(out, 0);
  }
  for (const ColumnDefinition& column : table.columns) AppendColumn(out, column, format);
  for (const ColumnDefinition& column : table.columns) AppendName(out, column.name, format);
  if (table.key) {
    // The physical index: ten column slots, its usage map, its root page.
    if (jet4) AppendU32(out, 0);
    // Each used slot: the column number and 0x01 for ascending order.
    const std::vector<std::uint16_t>& numbers = table.key->column_numbers;
    for (std::size_t slot = 0; slot < kMaxKeyColumns; ++slot) {
      const bool used = slot < numbers.size();
      AppendU16(out, used ? numbers[slot] : 0xFFFF);
      AppendU8(out, used ? 0x01 : 0x00);
    }
    AppendU32(out, table.key->used_pages);
    AppendU32(out, table.key->root_page);
    // Jet 4 keeps four more bytes before the flags (at 46 of the block's 52).
    if (jet4) AppendZeros(out, 4);
    AppendU8(out, kUniqueIndex | kRequiredIndex);
    if (jet4) AppendZeros(out, 5);
    // The logical index: number 0 backed by physical index 0, no relation.
    if (jet4) AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU8(out, 0);
    AppendU32(out, 0xFFFFFFFF);
    AppendU32(out, 0);
    AppendU8(out, 0);
    AppendU8(out, 0);
    AppendU8(out, kPrimaryKeyIndex);
    if (jet4) AppendZeros(out, 4);
    AppendName(out, table.key->name, format);
  }
  AppendU16(out, 0xFFFF);  // no column has usage maps of its own
  PutU32(&out[8], static_cast<std::uint32_t>(out.size()));
  return out;
}

}  // namespace

void WriteTableDefinition(const TableDefinition& table, std::uint32_t first_page, PageFile& file,
                          const JetFormat& format) {
  const Bytes definition = BuildDefinition(table, format);
  std::vector<std::uint8_t> page(format.page_size);
  std::size_t at = 0;
  std::uint32_t page_number = first_page;
  bool first = true;
  while (at < definition.size()) {
    std::fill(page.begin(), page.end(), 0);
    std::size_t used = 0;
    if (first) {
      used = std::min(format.page_size, definition.size());
      std::copy(definition.begin(), definition.begin() + static_cast<std::ptrdiff_t>(used), page.begin());
    } else {
      // A continuation page: its own 8-byte header, then the next part.
      used = 8 + std::min(format.page_size - 8, definition.size() - at);
      std::copy(definition.begin() + static_cast<std::ptrdiff_t>(at),
                definition.begin() + static_cast<std::ptrdiff_t>(at + used - 8), page.begin() + 8);
    }
    at += first ? used : used - 8;
    page[0] = 0x02;
    page[1] = 0x01;
    if (format.IsJet4()) {
      PutU16(&page[2], static_cast<std::uint32_t>(format.page_size - used));
    } else {
      page[2] = 'V';
      page[3] = 'C';
    }
    const std::uint32_t next = at < definition.size() ? file.Allocate() : 0;
    PutU32(&page[4], next);
    file.Write(page_number, page.data());
    page_number = next;
    first = false;
  }
}

}  // namespace quill::jet
