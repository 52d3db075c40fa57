#include "platform/jet/reader/rowset_dataset.h"

#include <memory>
#include <utility>

namespace quill {

void RowsetDataset::AddTextColumn(const std::string& name) {
  fields_.push_back(std::make_unique<Field>(name, "TWideStringField", FieldKind::ftWideString, 255, FieldCount()));
}

void RowsetDataset::AddIntegerColumn(const std::string& name) {
  fields_.push_back(std::make_unique<Field>(name, "TIntegerField", FieldKind::ftInteger, 0, FieldCount()));
}

void RowsetDataset::AddRow(std::vector<Cell> cells) {
  cells.resize(fields_.size());
  rows_.push_back(std::move(cells));
  if (rows_.size() == 1) First();
}

void RowsetDataset::Next() {
  if (position_ < rows_.size()) ++position_;
  LoadRow();
}

void RowsetDataset::First() {
  position_ = 0;
  LoadRow();
}

void RowsetDataset::LoadRow() {
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

namespace quill {

std::unique_ptr<RowsetDataset> MakeSchemaRowset(SchemaKind kind) {
  auto rowset = std::make_unique<RowsetDataset>();
  rowset->AddTextColumn("TABLE_CATALOG");
  rowset->AddTextColumn("TABLE_SCHEMA");
  rowset->AddTextColumn("TABLE_NAME");
  switch (kind) {
    case SchemaKind::Tables:
      rowset->AddTextColumn("TABLE_TYPE");
      break;
    case SchemaKind::Columns:
      rowset->AddTextColumn("COLUMN_NAME");
      rowset->AddIntegerColumn("ORDINAL_POSITION");
      rowset->AddIntegerColumn("CHARACTER_MAXIMUM_LENGTH");
      break;
    case SchemaKind::PrimaryKeys:
      rowset->AddTextColumn("COLUMN_NAME");
      rowset->AddIntegerColumn("ORDINAL");
      rowset->AddTextColumn("PK_NAME");
      break;
  }
  return rowset;
}

}  // namespace quill
