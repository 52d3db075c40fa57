#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/jet/writer/jet_format.h"

namespace quill::jet {

// The most columns one index (and so the primary key) can span.
constexpr std::size_t kMaxKeyColumns = 10;

// Column types of the file format.
enum class JetType : std::uint8_t {
  kBoolean = 0x01,
  kByte = 0x02,
  kInteger = 0x03,
  kLongInteger = 0x04,
  kCurrency = 0x05,
  kSingle = 0x06,
  kDouble = 0x07,
  kDateTime = 0x08,
  kBinary = 0x09,
  kText = 0x0A,
  kOle = 0x0B,
  kMemo = 0x0C,
  kGuid = 0x0F,
  kNumeric = 0x10,
};

// One column as the file holds it, with its place in the row.
struct ColumnDefinition {
  std::string name;  // UTF-8
  JetType type = JetType::kText;
  std::size_t max_characters = 0;  // text columns
  bool nullable = true;
  bool allow_zero_length = true;
  bool compressed_unicode = false;
  std::string description;

  std::uint16_t number = 0;        // position in the table
  bool fixed = false;
  std::uint16_t fixed_offset = 0;  // within the fixed part of a row
  std::uint16_t var_index = 0;     // entry in the row's variable-column table
  std::uint8_t precision = 0;      // numeric columns
  std::uint8_t scale = 0;

  bool IsLongValue() const { return type == JetType::kMemo || type == JetType::kOle; }
};

// A column of the given name and type, text columns up to `characters`; its
// place in the row is laid out with the table.
ColumnDefinition MakeColumn(std::string name, JetType type, std::size_t characters = 0);

// Bytes a fixed column takes in the row (booleans live in the null mask and
// take none); 0 for variable columns.
std::size_t FixedSize(JetType type);

// The length a column declares in the table definition.
std::uint16_t DeclaredLength(const ColumnDefinition& column, const JetFormat& format);

// Gives every column its number, fixed offset or variable-table entry, in
// column order.
void LayOutColumns(std::vector<ColumnDefinition>& columns);

// Throws JetWriteError unless name can name a table or a column: not empty,
// at most 64 characters, no . ! ` [ ], no control characters, no leading blank.
void CheckObjectName(const std::string& name, const char* what);

}  // namespace quill::jet
