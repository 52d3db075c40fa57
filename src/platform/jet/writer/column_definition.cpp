#include "platform/jet/writer/column_definition.h"

#include <utility>
#include <vector>

#include "platform/jet/writer/jet_write_error.h"
#include "platform/jet/writer/text_encoding.h"

namespace quill::jet {

ColumnDefinition MakeColumn(std::string name, JetType type, std::size_t characters) {
  ColumnDefinition column;
  column.name = std::move(name);
  column.type = type;
  column.max_characters = characters;
  return column;
}

std::size_t FixedSize(JetType type) {
  switch (type) {
    case JetType::kBoolean: return 0;
    case JetType::kByte: return 1;
    case JetType::kInteger: return 2;
    case JetType::kLongInteger: return 4;
    case JetType::kSingle: return 4;
    case JetType::kCurrency:
    case JetType::kDouble:
    case JetType::kDateTime: return 8;
    case JetType::kGuid: return 16;
    case JetType::kNumeric: return 17;
    default: return 0;
  }
}

std::uint16_t DeclaredLength(const ColumnDefinition& column, const JetFormat& format) {
  switch (column.type) {
    case JetType::kText: return static_cast<std::uint16_t>(format.TextBytes(column.max_characters));
    case JetType::kBinary: return 255;
    case JetType::kMemo:
    case JetType::kOle: return 0;
    case JetType::kBoolean: return 1;
    default: return static_cast<std::uint16_t>(FixedSize(column.type));
  }
}

void LayOutColumns(std::vector<ColumnDefinition>& columns) {
  std::uint16_t fixed_offset = 0;
  std::uint16_t var_index = 0;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    ColumnDefinition& column = columns[i];
    column.number = static_cast<std::uint16_t>(i);
    column.fixed = column.type != JetType::kText && column.type != JetType::kBinary && !column.IsLongValue();
    if (column.fixed) {
      column.fixed_offset = fixed_offset;
      fixed_offset = static_cast<std::uint16_t>(fixed_offset + FixedSize(column.type));
    } else {
      column.var_index = var_index++;
    }
  }
}

void CheckObjectName(const std::string& name, const char* what) {
  const std::u32string characters = DecodeUtf8(name);
  if (characters.empty()) throw JetWriteError(std::string("The ") + what + " name is empty.");
  if (characters.size() > 64) {
    throw JetWriteError(std::string("The ") + what + " name '" + name + "' is longer than 64 characters.");
  }
  if (characters.front() == U' ') {
    throw JetWriteError(std::string("The ") + what + " name '" + name + "' starts with a blank.");
  }
  for (char32_t c : characters) {
    if (c < 0x20 || c == U'.' || c == U'!' || c == U'`' || c == U'[' || c == U']') {
      throw JetWriteError(std::string("The ") + what + " name '" + name +
                          "' holds a character Access does not allow in names (. ! ` [ ] or a control character).");
    }
  }
}

}  // namespace quill::jet
