#include "platform/dataset/memory_rowset.h"

#include <memory>
#include <utility>

namespace quill {

void MemoryRowset::AddTextColumn(const std::string& name) {
  fields_.push_back(std::make_unique<Field>(name, "TWideStringField", FieldKind::ftWideString, 255, FieldCount()));
}

void MemoryRowset::AddIntegerColumn(const std::string& name) {
  fields_.push_back(std::make_unique<Field>(name, "TIntegerField", FieldKind::ftInteger, 0, FieldCount()));
}

void MemoryRowset::AddRow(std::vector<Cell> cells) {
  cells.resize(fields_.size());
  rows_.push_back(std::move(cells));
  if (rows_.size() == 1) First();
}

void MemoryRowset::Next() {
  if (position_ < rows_.size()) ++position_;
  LoadRow();
}

void MemoryRowset::First() {
  position_ = 0;
  LoadRow();
}

void MemoryRowset::LoadRow() {
  if (position_ >= rows_.size()) return;
  const std::vector<Cell>& row = rows_[position_];
  for (size_t i = 0; i < fields_.size(); ++i) {
    Field& field = *fields_[i];
    if (const auto* text = std::get_if<std::string>(&row[i])) {
      field.SetText(*text);
    } else if (const auto* number = std::get_if<int64_t>(&row[i])) {
      field.SetInteger(*number);
    } else {
      field.SetNull();
    }
  }
}

}  // namespace quill
